#include "ui/InputCheck.h"

#include <QWidget>

#include "data/TextChecks.h"
#include "support/Prompt.h"

namespace dialvane {

void InputError(IPrompt& prompt, Msg message) {
    PromptRequest box;
    box.text = Text(message);
    box.title = Text(Msg::EditInputErrorCaption);
    box.buttons = PromptButtons::Ok;
    box.icon = PromptIcon::Stop;
    box.defaultAnswer = PromptAnswer::Ok;
    prompt.Ask(box);
}

bool AcceptCheck(IPrompt& prompt, int code, const CheckMessages& messages, QWidget* field) {
    std::optional<Msg> failure;
    if (code == kCheckEmpty) {
        failure = messages.empty;
    } else if (code == kCheckTooLong) {
        failure = messages.tooLong;
    } else if (code == kCheckIllegal) {
        failure = messages.illegal;
    }
    if (!failure) {
        return true;
    }
    InputError(prompt, *failure);
    field->setFocus();
    return false;
}

}  // namespace dialvane
