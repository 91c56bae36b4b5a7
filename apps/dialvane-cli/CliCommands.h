#pragma once

#include <iosfwd>
#include <string>

#include "CliOptions.h"

namespace dialvane {

inline constexpr int kExitOk = 0;
inline constexpr int kExitErrors = 1;   // the file has errors or a record failed the checks
inline constexpr int kExitFailure = 2;  // bad command line, or a file cannot be read or written

// The text the general error box shows for an error: "." appended when the last character sorts
// after ".".
std::string GeneralErrorText(const std::string& text);

// Runs one parsed command.
int RunCliCommand(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace dialvane
