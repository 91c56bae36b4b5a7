#pragma once

// The main window's own message boxes, shared by its parts.
#include <string>

#include "support/Messages.h"
#include "support/Prompt.h"

namespace dialvane {

inline PromptAnswer Ask(const std::string& text, Msg title, PromptButtons buttons, PromptIcon icon,
                        PromptAnswer defaultAnswer, bool onTop = false) {
    PromptRequest request;
    request.text = text;
    request.title = Text(title);
    request.buttons = buttons;
    request.icon = icon;
    request.defaultAnswer = defaultAnswer;
    request.onTop = onTop;
    return AskUser(request);
}

inline void Tell(const std::string& text, Msg title, PromptIcon icon, bool onTop = false) {
    Ask(text, title, PromptButtons::Ok, icon, PromptAnswer::Ok, onTop);
}

inline bool AskDiscardDeviceData() {
    return Ask(Text(Msg::DeviceDataUnsavedQuestion), Msg::ConfirmExecutionCaption,
               PromptButtons::YesNo, PromptIcon::Warning, PromptAnswer::No) == PromptAnswer::Yes;
}

}  // namespace dialvane
