#pragma once

#include <string>

namespace dialvane {

// A question or notice for the user: the message box of the desktop program, a line on the
// terminal for the command line, a script in tests.
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class PromptIcon { None, Information, Warning, Stop, Question };
enum class PromptAnswer { Ok, Cancel, Yes, No, Retry };
// What a question is for, where a shell answers some questions its own way.
enum class PromptPurpose { General, SendConfirmation };

struct PromptRequest {
    std::string text;
    std::string title;
    PromptButtons buttons = PromptButtons::Ok;
    PromptIcon icon = PromptIcon::None;
    PromptAnswer defaultAnswer = PromptAnswer::Ok;
    // Keep the box above every other window (the stop confirmation during a transfer).
    bool onTop = false;
    // Shown on request below the text (the record lines of a send's changes).
    std::string details;
    PromptPurpose purpose = PromptPurpose::General;
};

// Implementations must be callable from any thread (the worker and the receive thread ask
// too) and must not wait for the log lock, since the log reports its own failures here.
class IPrompt {
  public:
    virtual ~IPrompt() = default;
    virtual PromptAnswer Ask(const PromptRequest& request) = 0;
};

// The answers a set of buttons allows; a default that is not among them falls back to the first.
bool AnswerFitsButtons(PromptAnswer answer, PromptButtons buttons);
PromptAnswer EffectiveDefault(const PromptRequest& request);

// Shows nothing: every question gets its default answer (a run nobody watches).
class DefaultAnswerPrompt : public IPrompt {
  public:
    PromptAnswer Ask(const PromptRequest& request) override { return EffectiveDefault(request); }
};

}  // namespace dialvane
