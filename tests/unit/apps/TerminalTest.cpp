#include <gtest/gtest.h>

#include <sstream>

#include "TerminalProgress.h"
#include "TerminalPrompt.h"

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

}  // namespace
}  // namespace dialvane
