#include "data/CapabilityUse.h"

#include "data/RecordKey.h"

namespace dialvane {

CapabilityUse FindCapabilityUse(const RecordTable& table) {
    CapabilityUse use;
    for (int i = 1; i <= table.Count(); ++i) {
        const DialRecord& record = table.At(i);
        char letter = 0;
        int number = 0;
        if (!ParseRecordKey(record[0], letter, number)) {
            continue;
        }
        if (letter == 'S') {
            if (number >= 61 && number <= 200) {
                use.set |= kUsesHighSpeedDials;
            }
            // Only a four-field record has a keyword; in three fields the third is the number.
            if (record.size() == 4 && !record[2].empty()) {
                use.set |= kUsesKeywords;
            }
        } else if (letter == 'W' && number >= 4 && number <= 12) {
            use.set |= kUsesHighQuickDials;
        }
    }
    use.any = use.set != 0;
    return use;
}

std::optional<Msg> CapabilityWarning(int set) {
    if (set & kUsesHighSpeedDials) {
        return Msg::CapabilitySpeedDialRange;
    }
    if (set & kUsesHighQuickDials) {
        return Msg::CapabilityQuickDialRange;
    }
    if (set & kUsesKeywords) {
        return Msg::CapabilityKeyword;
    }
    return std::nullopt;
}

}  // namespace dialvane
