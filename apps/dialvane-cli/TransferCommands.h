#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "CliOptions.h"

namespace dialvane {

// "test", "download" and "upload": the commands that talk to the MFP.
bool IsTransferCommand(const std::string& command);

// Runs a transfer command. Messages the desktop program shows in a box go to `out`, one per
// line; progress goes to `err`. Exit status 0 when the command succeeded, 1 otherwise.
int RunTransferCommand(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace dialvane
