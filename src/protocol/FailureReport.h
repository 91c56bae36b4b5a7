#pragma once

#include <string>

#include "protocol/Answer.h"
#include "protocol/ExchangeEngine.h"
#include "support/Prompt.h"

namespace dialvane {

// Turns a failed command's status into the user's message: one message box per sequence (or
// the run's result text, or nothing, by the engine's failure display), plus the progress view
// and the log. ReportFailure(QNL_NONE) only re-arms the message box.
void ReportFailure(ExchangeEngine& engine, ResponseStatus status);

// Shows a message through the same gate as ReportFailure (at most one box per sequence).
void ShowFailureMessage(ExchangeEngine& engine, const std::string& text, PromptIcon icon);

}  // namespace dialvane
