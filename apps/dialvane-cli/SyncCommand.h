#pragma once

#include <iosfwd>

#include "CliOptions.h"

namespace dialvane {

// dialvane-cli sync: the address book read once, then merged into and sent to every MFP that
// does not hold the result yet; the summary table of every MFP on `out`.
int RunSyncCommand(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace dialvane
