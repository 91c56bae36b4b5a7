#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "CliOptions.h"

namespace dialvane {

// "test", "download", "upload" and "diff": the commands that talk to the MFP.
bool IsTransferCommand(const std::string& command);

// Runs a transfer command. Results (the completion text, the test's model line, the diff, a
// download to "-", the summary of several MFPs) go to `out`; progress, warnings and failure
// messages to `err`. Exit status: 0 done, 1 failed (diff: something differs), 2 a usage or
// file error, 130 stopped by Ctrl-C.
int RunTransferCommand(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace dialvane
