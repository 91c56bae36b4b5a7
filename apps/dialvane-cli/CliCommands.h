#pragma once

#include <iosfwd>
#include <string>

#include "CliOptions.h"
#include "data/TextRules.h"
#include "support/Environment.h"

namespace dialvane {

// The text the general error box shows for an error: "." appended when the last character sorts
// after ".".
std::string GeneralErrorText(const std::string& text);

// --settings and --data-dir in place of the looked-up settings file and the per-user data folder.
StartupOptions StartupFor(const CliOptions& options);

// Reads both settings files, loads the language file and starts the log, as the desktop program
// does (with StartupFor).
Environment StartCliEnvironment(const CliOptions& options);

// The code page and name rule of the language setting, for the command's product description.
TextRules CliTextRules(const Environment& environment);

// Runs one parsed command: results on `out`, progress, warnings and failures on `err`.
int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace dialvane
