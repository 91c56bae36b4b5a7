#pragma once

#include <string>
#include <vector>

#include "contacts/ImportPlan.h"
#include "data/DialModel.h"
#include "data/ProductInfo.h"

namespace dialvane {

struct MergedDialList {
    DialModel model;
    // What the current list had that the result leaves out: speed dials whose number the
    // address book no longer has, groups left without members, bindings whose target is gone.
    std::vector<std::string> dropped;
    // Why the import does not fit the model; when not empty, nothing may be written.
    std::vector<std::string> errors;
};

// The imported speed dials and groups as a dial list for `product`. Against a current list
// (a user file, or the list an MFP holds) a dialled number keeps the key it has there and a
// category keeps the number of the group of its name; new numbers and groups take the lowest
// free keys in name order. The current list's other groups stay with the members that still
// exist, its sender name stays, and its bindings stay where their targets still exist. Without
// a current list keys are given from S001 and G01 in name order.
MergedDialList MergeImport(const ImportPlan& plan, const TProductInfo& product,
                           const DialModel* current = nullptr);

}  // namespace dialvane
