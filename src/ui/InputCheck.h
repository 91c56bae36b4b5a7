#pragma once

#include <optional>

#include "support/Messages.h"

class QWidget;

namespace dialvane {

class IPrompt;

// The "Input Error" box with the stop icon, as every entry check reports.
void InputError(IPrompt& prompt, Msg message);

// The messages for the failing codes of one field check; no `empty` message means an empty
// field is allowed.
struct CheckMessages {
    std::optional<Msg> empty;
    Msg tooLong;
    Msg illegal;
};

// True when `code` passes. Otherwise reports its message, gives `field` the focus and returns
// false.
bool AcceptCheck(IPrompt& prompt, int code, const CheckMessages& messages, QWidget* field);

}  // namespace dialvane
