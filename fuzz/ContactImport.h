#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "contacts/ContactText.h"
#include "contacts/DialListMerge.h"
#include "data/RecordTable.h"
#include "data/TextChecks.h"
#include "protocol/DeviceRecords.h"

namespace dialvane::fuzz {

// What a reader found, through the import: every text valid UTF-8, and a list the import
// accepts passes the strict gate and encodes for the device.
inline void CheckImport(const std::vector<Contact>& contacts, std::uint8_t options) {
    for (const Contact& contact : contacts) {
        if (ValidUtf8(contact.name) != contact.name) {
            Broken("a reader returned invalid UTF-8");
        }
        for (const std::string& number : contact.faxNumbers) {
            if (ValidUtf8(number) != number) {
                Broken("a reader returned an invalid UTF-8 number");
            }
        }
    }
    const bool japanese = (options & 1) != 0;
    const TProductInfo& product = Product((options & 2) != 0, japanese);
    const DiallingSettings dialling{"49", "0", "00", (options & 4) != 0 ? "0-" : ""};
    const ImportPlan plan = PlanImport(
        contacts, dialling, (options & 8) != 0 ? FileEncoding::Utf8 : product.Rules().FileDefault(),
        product.Rules());
    const MergedDialList merged = MergeImport(plan, product);
    if (!merged.errors.empty()) {
        return;
    }
    RecordTable table(product);
    try {
        table.BuildFromModel(merged.model);
        CheckEncodes(table, product);
    } catch (const std::exception&) {
        Broken("an accepted import fails the strict gate");
    }
}

}  // namespace dialvane::fuzz
