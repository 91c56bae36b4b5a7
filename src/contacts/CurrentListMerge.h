#pragma once

#include <string>
#include <vector>

#include "contacts/DialListMerge.h"
#include "data/RecordTable.h"

namespace dialvane {

// A record table (the list an MFP holds) as the editing model, read as a downloaded file is
// read. The loader's error lines, if any, are returned; the model holds what could be read.
std::vector<std::string> ModelOfTable(const RecordTable& table, const TProductInfo& product,
                                      DialModel& model);

// The import merged into the list an MFP holds (MergeImport with that list as the current one).
// A table the loader cannot read is an error of the result, so nothing is built from half a list.
MergedDialList MergeImportOnto(const ImportPlan& plan, const TProductInfo& product,
                               const RecordTable& current);

}  // namespace dialvane
