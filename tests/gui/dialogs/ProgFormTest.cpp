// The progress dialog in both forms: status lines, the two bars and the target label. Whole
// transfers through it, with Stop, OK and the caption, are run from the main window.
#include <gtest/gtest.h>

#include <QLabel>

#include "support/GuiTestSupport.h"
#include "support/Prompt.h"
#include "ui/ProgForm.h"

namespace dialvane {
namespace {

using ProgFormTest = testing::GuiTest;

TEST_F(ProgFormTest, CompactFormShowsOnlyLevelZeroAndTheFramedTarget) {
    DefaultAnswerPrompt prompt;
    TProgForm form(prompt, 0);
    form.ShowStatus("Connection start.", 0);
    const QString shown = form.LBL_TRANS_STAT->text();
    EXPECT_EQ(shown, "Connection start.\n\nDo not print during communication.");
    form.ShowStatus("a detail", 2);
    EXPECT_EQ(form.LBL_TRANS_STAT->text(), shown);
    form.ShowStatus("Transmission start", 0);
    EXPECT_TRUE(form.LBL_TRANS_STAT->text().startsWith("Transmission start\n"));

    form.SetTargetLabel("DX-R7700");
    EXPECT_EQ(form.LBL_Target->text(), "[  DX-R7700  ]");
    form.SetTargetLabel("");
    EXPECT_TRUE(form.LBL_Target->text().isEmpty());
}

TEST_F(ProgFormTest, DetailedFormListsLinesUpToDispNewestFirst) {
    DefaultAnswerPrompt prompt;
    TProgForm form(prompt, 2);
    for (int level = 0; level <= 4; ++level) {
        form.ShowStatus("line " + std::to_string(level), level);
    }
    EXPECT_EQ(form.ViewLines(), (std::vector<std::string>{"line 2", "line 1", "line 0"}));

    // A DISP that is not a number reads as -1: the detailed form with nothing in it.
    TProgForm unreadable(prompt, -1);
    EXPECT_FALSE(unreadable.Compact());
    unreadable.ShowStatus("line", 0);
    EXPECT_TRUE(unreadable.ViewLines().empty());
}

}  // namespace
}  // namespace dialvane
