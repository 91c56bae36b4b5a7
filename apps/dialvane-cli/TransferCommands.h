#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "CliOptions.h"
#include "comm/TransferWorkflow.h"
#include "support/Environment.h"

namespace dialvane {

// "test", "download", "upload" and "diff": the commands that talk to the MFP.
bool IsTransferCommand(const std::string& command);

// Runs a transfer command. Results (the completion text, the test's model line, the diff, a
// download to "-", the summary of several MFPs) go to `out`; progress, warnings and failure
// messages to `err`. Exit status: 0 done, 1 failed (diff: something differs), 2 a usage or
// file error, 130 stopped by Ctrl-C.
int RunTransferCommand(const CliOptions& options, std::ostream& out, std::ostream& err);

// Makes the source from which each MFP's list is built against the list it holds. It runs once,
// after the settings are read and before any MFP is contacted, with `messages` for its lines;
// it returns the exit status when the command cannot go on.
using FleetListPreparation = std::function<std::optional<int>(
    const Environment& environment, std::ostream& messages, CurrentListSource& source)>;

// The command on every MFP of --host and --hosts-file, --jobs at a time, each MFP's list built
// by the prepared source; the summary table on `out`, exit 0 only when every MFP succeeded.
int RunOnEveryHost(const CliOptions& options, std::ostream& out, std::ostream& err,
                   const FleetListPreparation& prepare);

}  // namespace dialvane
