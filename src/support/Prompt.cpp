#include "support/Prompt.h"

namespace dialvane {
namespace {

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
