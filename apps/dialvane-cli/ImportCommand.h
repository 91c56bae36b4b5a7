#pragma once

#include <iosfwd>

#include "CliOptions.h"

namespace dialvane {

// dialvane-cli import: an address book as a user file, its summary on `err`.
int RunImportCommand(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace dialvane
