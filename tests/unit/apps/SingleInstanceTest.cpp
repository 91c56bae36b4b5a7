#include <gtest/gtest.h>

#include "SingleInstance.h"
#include "support/Prompt.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace dialvane {
namespace {

using testing::ScriptedPrompt;
using testing::TempDir;

TEST(SingleInstance, ASecondCopyIsToldAndTheFirstKeepsRunning) {
    TempDir dir;
    ScriptedPrompt prompt;

    auto first = CheckSingleInstance(prompt, "/usr/bin/dialvane", dir.Path());
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->Held());
    EXPECT_EQ(CheckSingleInstance(prompt, "/opt/other/dialvane", dir.Path()), nullptr);
    ASSERT_EQ(prompt.Requests().size(), 1u);
    EXPECT_EQ(prompt.Requests()[0].text,
              "dialvane is already running.A second session cannot be started.");
    EXPECT_EQ(prompt.Requests()[0].icon, PromptIcon::Stop);

    // Another program name is another instance.
    EXPECT_NE(CheckSingleInstance(prompt, "/usr/bin/dialvane-cli", dir.Path()), nullptr);
    first.reset();
    EXPECT_NE(CheckSingleInstance(prompt, "/usr/bin/dialvane", dir.Path()), nullptr);
    EXPECT_EQ(prompt.Requests().size(), 1u);
}

}  // namespace
}  // namespace dialvane
