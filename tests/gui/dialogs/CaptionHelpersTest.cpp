// The caption tables and the file filter every window shares.
#include <gtest/gtest.h>

#include "support/GuiTestSupport.h"
#include "ui/CaptionHelpers.h"

namespace dialvane {
namespace {

using CaptionHelpersTest = testing::GuiTest;

TEST_F(CaptionHelpersTest, CommaListSplitsTrimsAndKeepsEmptyPieces) {
    std::vector<std::string> pieces{"stale"};
    SetCommaList("No., Address, Telephone Number", pieces);
    EXPECT_EQ(pieces, (std::vector<std::string>{"No.", "Address", "Telephone Number"}));
    SetCommaList("A,,  B ", pieces);
    EXPECT_EQ(pieces, (std::vector<std::string>{"A", "", "B"}));
    SetCommaList("A, B,", pieces);
    EXPECT_EQ(pieces, (std::vector<std::string>{"A", "B"}));
    SetCommaList("", pieces);
    EXPECT_TRUE(pieces.empty());
}

TEST_F(CaptionHelpersTest, FileFilterBecomesQtsForm) {
    EXPECT_EQ(QtFileFilter("Text Documents(*.txt)|*.txt|All Files(*.*)|*.*"),
              "Text Documents (*.txt);;All Files (*.*)");
}

}  // namespace
}  // namespace dialvane
