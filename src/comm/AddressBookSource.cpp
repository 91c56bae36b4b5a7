#include "comm/AddressBookSource.h"

#include "contacts/CurrentListMerge.h"
#include "support/Messages.h"

namespace dialvane {

CurrentListSource AddressBookSource(const ImportPlan& plan) {
    return [&plan](const TProductInfo& product, const RecordTable& current, RecordTable& table,
                   ListChoice& choice) {
        const MergedDialList merged = MergeImportOnto(plan, product, current);
        if (!merged.errors.empty()) {
            for (const std::string& error : merged.errors) {
                choice.error += (choice.error.empty() ? "" : " ") + error;
            }
            return false;
        }
        for (const std::string& dropped : merged.dropped) {
            choice.notes.push_back(Text(Msg::ImportDropped, dropped));
        }
        table.BuildFromModel(merged.model);
        return true;
    };
}

}  // namespace dialvane
