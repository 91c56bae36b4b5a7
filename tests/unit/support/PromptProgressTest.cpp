#include <gtest/gtest.h>

#include <sstream>

#include "support/Progress.h"
#include "support/ScriptedPrompt.h"
#include "support/TerminalProgress.h"
#include "support/TerminalPrompt.h"

namespace dialvane {
namespace {

PromptRequest Question(PromptButtons buttons, PromptAnswer fallback) {
    PromptRequest request;
    request.text = "Send user data to MFP?\r\n\r\nline two";
    request.title = "Confirm Execution";
    request.buttons = buttons;
    request.icon = PromptIcon::Warning;
    request.defaultAnswer = fallback;
    return request;
}

TEST(TerminalPrompt, WithoutATerminalPrintsTheTextAndTakesTheDefault) {
    std::istringstream in("y\n");
    std::ostringstream out;
    TerminalPrompt prompt(in, out, /*interactive=*/false);
    EXPECT_EQ(prompt.Ask(Question(PromptButtons::YesNo, PromptAnswer::No)), PromptAnswer::No);
    EXPECT_EQ(out.str(), "Send user data to MFP?\n\nline two\n");
    // A default the buttons do not offer falls back to their first button.
    EXPECT_EQ(prompt.Ask(Question(PromptButtons::RetryCancel, PromptAnswer::Ok)),
              PromptAnswer::Retry);
}

TEST(TerminalPrompt, ReadsAnAllowedAnswerAndFallsBackAtTheEndOfInput) {
    std::istringstream in("maybe\nRetry\n YES \n\n");
    std::ostringstream out;
    TerminalPrompt prompt(in, out, /*interactive=*/true);
    // "maybe" is no answer and Retry is not offered: asked again until "YES".
    EXPECT_EQ(prompt.Ask(Question(PromptButtons::YesNo, PromptAnswer::No)), PromptAnswer::Yes);
    EXPECT_EQ(prompt.Ask(Question(PromptButtons::YesNoCancel, PromptAnswer::Cancel)),
              PromptAnswer::Cancel);  // an empty line takes the default
    EXPECT_EQ(prompt.Ask(Question(PromptButtons::OkCancel, PromptAnswer::Ok)),
              PromptAnswer::Ok);  // end of input
}

TEST(ActivePrompt, AnswersWithTheDefaultWhenNoneIsInstalled) {
    SetActivePrompt(nullptr);
    EXPECT_EQ(AskUser(Question(PromptButtons::YesNo, PromptAnswer::No)), PromptAnswer::No);
    auto scripted =
        std::make_shared<testing::ScriptedPrompt>(std::vector<PromptAnswer>{PromptAnswer::Yes});
    SetActivePrompt(scripted);
    EXPECT_EQ(AskUser(Question(PromptButtons::YesNo, PromptAnswer::No)), PromptAnswer::Yes);
    EXPECT_EQ(AskUser(Question(PromptButtons::YesNo, PromptAnswer::No)), PromptAnswer::No);
    EXPECT_EQ(scripted->Requests().size(), 2u);
    SetActivePrompt(nullptr);
}

TEST(SequenceBar, ReadStepsAreWeighted) {
    SequenceBar bar;
    bar.SetDirection(0);
    bar.Apply('I', 0, 0, 1);
    EXPECT_EQ(bar.Maximum(), 88000);
    EXPECT_EQ(bar.Position(), 0);
    bar.Apply('D', 4, 30, 60);
    EXPECT_EQ(bar.Position(), 34000);
    bar.Apply('D', 5, 0, 1);
    EXPECT_EQ(bar.Position(), 64000);
    bar.Apply('D', 0, 0, 1);
    EXPECT_EQ(bar.Position(), 1000);  // a step of weight 1 counts as complete
    bar.Apply('D', 9, 0, 1);
    EXPECT_EQ(bar.Position(), 88000);
}

TEST(SequenceBar, WriteStepsStayWithinTheBar) {
    SequenceBar bar;
    bar.SetDirection(1);
    bar.Apply('I', 0, 0, 1);
    EXPECT_EQ(bar.Maximum(), 51000);  // the sum of the thirteen weights
    bar.Apply('D', 7, 1, 2);
    EXPECT_EQ(bar.Position(), 22000);
    bar.Apply('D', 7, 5, 0);  // no total and too much done: the step's end at most
    EXPECT_EQ(bar.Position(), 37000);
    bar.Apply('D', 20, 0, 1);  // verifying runs past the table
    EXPECT_EQ(bar.Position(), 51000);
    bar.SetDirection(7);  // unknown direction: nothing moves
    bar.Apply('D', 0, 0, 1);
    EXPECT_EQ(bar.Position(), 51000);
}

TEST(TerminalProgress, CompactShowsLevelZeroAndDetailedUpToDisp) {
    std::ostringstream compact;
    TerminalProgress small(compact, 0, false);
    small.ShowStatus("Connection start.", 0);
    small.ShowStatus("detail", 2);
    small.SetTargetLabel("DX-R7700");
    small.SetTargetLabel("");
    EXPECT_EQ(compact.str(), "Connection start.\n[  DX-R7700  ]\n");

    std::ostringstream detailed;
    TerminalProgress big(detailed, 2, false);
    for (int level = 0; level <= 4; ++level) {
        big.ShowStatus("level " + std::to_string(level), level);
    }
    EXPECT_EQ(detailed.str(), "level 0\nlevel 1\nlevel 2\n");

    std::ostringstream none;
    TerminalProgress broken(none, -1, false);  // DISP that was not a number
    broken.ShowStatus("hidden", 0);
    EXPECT_EQ(none.str(), "");
}

TEST(TerminalProgress, TheBarIsRedrawnBelowStatusLines) {
    std::ostringstream out;
    TerminalProgress progress(out, 0, true);
    progress.SetDirection(0);
    progress.SetSequenceProgress('I', 0, 0, 1);
    progress.SetSequenceProgress('D', 4, 30, 60);
    progress.ShowStatus("Downloading data ...", 0);
    progress.Finish();
    std::string text = out.str();
    EXPECT_NE(text.find("\r\033[KDownloading data ...\n["), std::string::npos);
    EXPECT_NE(text.find("] 38%\n"), std::string::npos);  // 34000 of 88000
}

}  // namespace
}  // namespace dialvane
