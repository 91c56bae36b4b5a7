#pragma once

#include <iosfwd>
#include <string>

#include "CliOptions.h"
#include "support/Environment.h"

namespace dialvane {

// The text the general error box shows for an error: "." appended when the last character sorts
// after ".".
std::string GeneralErrorText(const std::string& text);

// --settings and --data-dir in place of the looked-up settings file and the per-user data folder.
StartupOptions StartupFor(const CliOptions& options);

// Reads both settings files, loads the language file and starts the log, as the desktop program
// does (with StartupFor), then takes the code page and name rule of the language setting.
Environment StartCliEnvironment(const CliOptions& options);

// Runs one parsed command: results on `out`, progress, warnings and failures on `err`.
int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace dialvane
