#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "CliOptions.h"

namespace dialvane {

// "test", "download" and "upload": the commands that talk to the MFP.
bool IsTransferCommand(const std::string& command);

// Completes the options of a transfer command from its positional arguments (the command and,
// for upload, the file). False with *error set when they do not fit the command.
bool CheckTransferOptions(CliOptions& options, const std::vector<std::string>& positional,
                          std::string* error);

// Runs a transfer command. Messages the desktop program shows in a box go to `out`, one per
// line; progress goes to `err`. Exit status 0 when the command succeeded, 1 otherwise.
int RunTransferCommand(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace dialvane
