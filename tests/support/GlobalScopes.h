// What a test installs for the whole process, held by a scope: a failed assertion that returns
// early still leaves the process as the test found it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "support/DiagnosticLog.h"
#include "support/Messages.h"
#include "support/Prompt.h"
#include "support/QnlEnv.h"

namespace dialvane::testing {

// The active prompt for the life of the scope; the one before it comes back afterwards.
class ActivePromptScope {
  public:
    explicit ActivePromptScope(std::shared_ptr<IPrompt> prompt) : previous_(ActivePrompt()) {
        SetActivePrompt(std::move(prompt));
    }
    ~ActivePromptScope() { SetActivePrompt(previous_); }
    ActivePromptScope(const ActivePromptScope&) = delete;
    ActivePromptScope& operator=(const ActivePromptScope&) = delete;

  private:
    std::shared_ptr<IPrompt> previous_;
};

// The diagnostic log in `folder` with the switches of `settingsFile`; afterwards the log is
// quiet again, so no later test writes into a folder that is gone.
class LogScope {
  public:
    LogScope(const std::string& folder, const std::string& settingsFile,
             const QnlEnvRecord& env = {}, std::uint8_t verify = 0, int disp = 0)
        : folder_(folder) {
        LogInit(folder, settingsFile, env, verify, disp);
    }
    ~LogScope() { LogInit(folder_, folder_ + "/no-log-settings.ini", QnlEnvRecord{}, 0, 0); }
    LogScope(const LogScope&) = delete;
    LogScope& operator=(const LogScope&) = delete;

  private:
    std::string folder_;
};

// Texts a test replaces (a language file, one message) are the English ones the process starts
// with again afterwards.
class MessageTextsScope {
  public:
    MessageTextsScope() = default;
    ~MessageTextsScope() { ResetMessageTexts(); }
    MessageTextsScope(const MessageTextsScope&) = delete;
    MessageTextsScope& operator=(const MessageTextsScope&) = delete;
};

}  // namespace dialvane::testing
