#include "support/Prompt.h"

#include <mutex>

namespace dialvane {
namespace {

std::mutex& PromptMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<IPrompt>& PromptSlot() {
    static std::shared_ptr<IPrompt> prompt;
    return prompt;
}

PromptAnswer FirstAnswer(PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::YesNo:
        case PromptButtons::YesNoCancel:
            return PromptAnswer::Yes;
        case PromptButtons::RetryCancel:
            return PromptAnswer::Retry;
        case PromptButtons::Ok:
        case PromptButtons::OkCancel:
            break;
    }
    return PromptAnswer::Ok;
}

}  // namespace

void SetActivePrompt(std::shared_ptr<IPrompt> prompt) {
    std::lock_guard lock(PromptMutex());
    PromptSlot() = std::move(prompt);
}

std::shared_ptr<IPrompt> ActivePrompt() {
    std::lock_guard lock(PromptMutex());
    return PromptSlot();
}

PromptAnswer AskUser(const PromptRequest& request) {
    // The prompt is asked outside the mutex: a question may take as long as the user likes.
    std::shared_ptr<IPrompt> prompt = ActivePrompt();
    if (!prompt) {
        return EffectiveDefault(request);
    }
    return prompt->Ask(request);
}

bool AnswerFitsButtons(PromptAnswer answer, PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::Ok:
            return answer == PromptAnswer::Ok;
        case PromptButtons::OkCancel:
            return answer == PromptAnswer::Ok || answer == PromptAnswer::Cancel;
        case PromptButtons::YesNo:
            return answer == PromptAnswer::Yes || answer == PromptAnswer::No;
        case PromptButtons::YesNoCancel:
            return answer == PromptAnswer::Yes || answer == PromptAnswer::No ||
                   answer == PromptAnswer::Cancel;
        case PromptButtons::RetryCancel:
            return answer == PromptAnswer::Retry || answer == PromptAnswer::Cancel;
    }
    return false;
}

PromptAnswer EffectiveDefault(const PromptRequest& request) {
    if (AnswerFitsButtons(request.defaultAnswer, request.buttons)) {
        return request.defaultAnswer;
    }
    return FirstAnswer(request.buttons);
}

}  // namespace dialvane
