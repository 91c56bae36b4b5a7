#pragma once

#include <iosfwd>
#include <optional>

#include "CliOptions.h"
#include "contacts/ImportPlan.h"
#include "support/Environment.h"

namespace dialvane {

// dialvane-cli import: an address book as a user file, its summary on `err`.
int RunImportCommand(const CliOptions& options, std::ostream& out, std::ostream& err);

// The contacts of SOURCE (a file, or a CardDAV URL with --user and its password) as speed dials
// and groups, dialled by the settings' [Dialling] rules. On failure the reason is on `err` and
// the exit status is returned: 2 for the command line, the file or a missing COUNTRY_CODE, 1 for
// what a server answered.
std::optional<int> PlanAddressBook(const CliOptions& options, const Environment& environment,
                                   ImportPlan& plan, std::ostream& err);

// The contacts and numbers the plan leaves out, counted and with their reasons, on `err`.
void PrintLeftOut(const ImportPlan& plan, std::ostream& err);

}  // namespace dialvane
