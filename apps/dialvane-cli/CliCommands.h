#pragma once

#include <iosfwd>
#include <string>

#include "CliOptions.h"

namespace dialvane {

// The text the general error box shows for an error: "." appended when the last character sorts
// after ".".
std::string GeneralErrorText(const std::string& text);

// Runs one parsed command: results on `out`, progress, warnings and failures on `err`.
int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace dialvane
