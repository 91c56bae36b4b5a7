#include "SyncCommand.h"

#include <ostream>

#include "ImportCommand.h"
#include "TransferCommands.h"
#include "comm/AddressBookSource.h"
#include "support/Messages.h"

namespace dialvane {

int RunSyncCommand(const CliOptions& options, std::ostream& out, std::ostream& err) {
    // Read once, before any MFP is contacted, and shared read-only by every MFP's run.
    ImportPlan plan;
    return RunOnEveryHost(
        options, out, err,
        [&](const Environment& environment, std::ostream& messages,
            CurrentListSource& source) -> std::optional<int> {
            if (std::optional<int> status = PlanAddressBook(options, environment, plan, messages)) {
                return status;
            }
            messages << Text(Msg::SyncAddressBook, static_cast<unsigned>(plan.dials.size()),
                             static_cast<unsigned>(plan.contactsUsed),
                             static_cast<unsigned>(plan.groupNames.size()))
                     << '\n';
            PrintLeftOut(plan, messages);
            // An empty or unreadable address book on the server would otherwise clear every
            // MFP's speed dials.
            if (plan.dials.empty()) {
                messages << "dialvane-cli: " << Text(Msg::SyncNoFaxNumbers) << '\n';
                return kExitErrors;
            }
            source = AddressBookSource(plan);
            return std::nullopt;
        });
}

}  // namespace dialvane
