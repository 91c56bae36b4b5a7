#pragma once

// The main window's own message boxes, shared by its parts.
#include <string>

#include "support/Messages.h"
#include "support/Prompt.h"

namespace dialvane {

inline PromptAnswer Ask(IPrompt& prompt, const std::string& text, Msg title, PromptButtons buttons,
                        PromptIcon icon, PromptAnswer defaultAnswer, bool onTop = false) {
    PromptRequest request;
    request.text = text;
    request.title = Text(title);
    request.buttons = buttons;
    request.icon = icon;
    request.defaultAnswer = defaultAnswer;
    request.onTop = onTop;
    return prompt.Ask(request);
}

inline void Tell(IPrompt& prompt, const std::string& text, Msg title, PromptIcon icon,
                 bool onTop = false) {
    Ask(prompt, text, title, PromptButtons::Ok, icon, PromptAnswer::Ok, onTop);
}

inline bool AskDiscardDeviceData(IPrompt& prompt) {
    return Ask(prompt, Text(Msg::DeviceDataUnsavedQuestion), Msg::ConfirmExecutionCaption,
               PromptButtons::YesNo, PromptIcon::Warning, PromptAnswer::No) == PromptAnswer::Yes;
}

}  // namespace dialvane
