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

// The log tells `prompt` of its own failures for the life of the scope; afterwards nobody.
class LogFailurePromptScope {
  public:
    explicit LogFailurePromptScope(std::shared_ptr<IPrompt> prompt) {
        SetLogFailurePrompt(std::move(prompt));
    }
    ~LogFailurePromptScope() { SetLogFailurePrompt(nullptr); }
    LogFailurePromptScope(const LogFailurePromptScope&) = delete;
    LogFailurePromptScope& operator=(const LogFailurePromptScope&) = delete;
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
