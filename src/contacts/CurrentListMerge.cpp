#include "contacts/CurrentListMerge.h"

#include <utility>

#include "data/DialFileLine.h"
#include "data/DialFileLoader.h"
#include "support/TextUtil.h"

namespace dialvane {

std::vector<std::string> ModelOfTable(const RecordTable& table, const TProductInfo& product,
                                      DialModel& model) {
    std::string text;
    for (int i = 1; i <= table.Count(); ++i) {
        DialRecord fields = table.At(i);
        // The table holds a speed dial's fax number before its keyword; the file the other way.
        if (fields.size() == 4 && Trim(fields[0]).starts_with('S')) {
            std::swap(fields[2], fields[3]);
        }
        text += JoinDialLine(fields) + "\r\n";
    }
    return LoadDialBytes(text, model, product, FileEncoding::Utf8).errorLines;
}

MergedDialList MergeImportOnto(const ImportPlan& plan, const TProductInfo& product,
                               const RecordTable& current) {
    DialModel model;
    std::vector<std::string> unreadable = ModelOfTable(current, product, model);
    if (!unreadable.empty()) {
        MergedDialList refused;
        refused.errors = std::move(unreadable);
        return refused;
    }
    return MergeImport(plan, product, &model);
}

}  // namespace dialvane
