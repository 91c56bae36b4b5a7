#pragma once

#include "comm/TransferWorkflow.h"
#include "contacts/ImportPlan.h"

namespace dialvane {

// An address book as the list to send an MFP: merged into the list the MFP holds, so its dialled
// numbers keep their keys there. Bindings and groups the merge drops become the choice's notes;
// a result that does not fit the MFP's model is its error. `plan` must outlive the source, which
// only reads it and so may serve several MFPs' threads at once.
CurrentListSource AddressBookSource(const ImportPlan& plan);

}  // namespace dialvane
