// The caption tables and the file filter every window shares.
#include <gtest/gtest.h>

#include <QDialog>
#include <QGroupBox>
#include <QTabWidget>
#include <QTableWidget>

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

TEST_F(CaptionHelpersTest, ApplyCaptionsUsesTheTableOfTheWindowName) {
    QDialog other;
    other.setObjectName("SomethingElse");
    other.setWindowTitle("as designed");
    ApplyCaptions(&other);
    EXPECT_EQ(other.windowTitle(), "as designed");

    // A registered table fills grids' header rows and tabs from comma lists; a control the
    // window lacks is skipped.
    RegisterCaptionTable("TestForm", {{nullptr, Msg::EditFormCaption},
                                      {"Grid", Msg::GroupFormMemberColumns, CaptionKind::CommaList},
                                      {"Tabs", Msg::GroupFormSpeedColumns, CaptionKind::CommaList},
                                      {"Box", Msg::GroupFormSelected},
                                      {"Missing", Msg::EditFormOk}});
    QDialog test;
    test.setObjectName("testform");  // the table is found whatever the case
    auto* grid = new QTableWidget(1, 1, &test);
    grid->setObjectName("Grid");
    auto* tabs = new QTabWidget(&test);
    tabs->setObjectName("Tabs");
    tabs->addTab(new QWidget, "1");
    tabs->addTab(new QWidget, "2");
    auto* box = new QGroupBox(&test);
    box->setObjectName("Box");
    ApplyCaptions(&test);
    EXPECT_EQ(test.windowTitle(), "Edit Address");
    ASSERT_EQ(grid->columnCount(), 3);
    EXPECT_EQ(grid->horizontalHeaderItem(2)->text(), "Telephone Number");
    EXPECT_EQ(tabs->tabText(0), "No.");
    EXPECT_EQ(tabs->tabText(1), "Address");
    EXPECT_EQ(box->title(), "Selected Address");
}

TEST_F(CaptionHelpersTest, FileFilterBecomesQtsForm) {
    EXPECT_EQ(QtFileFilter("Text Documents(*.txt)|*.txt|All Files(*.*)|*.*"),
              "Text Documents (*.txt);;All Files (*.*)");
}

}  // namespace
}  // namespace dialvane
