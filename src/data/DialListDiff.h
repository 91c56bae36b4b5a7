#pragma once

#include <array>
#include <string>
#include <vector>

#include "data/RecordTable.h"

namespace dialvane {

// The four kinds of a dial list, in the order a preview lists them.
enum class DialKind : int { SpeedDial = 0, Group = 1, Button = 2, Sender = 3 };
inline constexpr int kDialKindCount = 4;

// One record that an upload would add, change or remove. The lines are in user-file form with
// canonical keys (S005, G05, W1, N): what a user would see in a saved file.
struct DialListChange {
    enum class Type : int { Add = 0, Change = 1, Remove = 2 };
    Type type = Type::Add;
    DialKind kind = DialKind::SpeedDial;
    int number = 0;
    std::vector<std::string> before;  // empty for an addition
    std::vector<std::string> after;   // empty for a removal
};

// What replacing the list `before` by the list `after` changes, record by record: speed dials,
// then groups, then buttons, then the sender, each by number.
struct DialListDiff {
    std::vector<DialListChange> changes;
    // counts[kind][type]
    std::array<std::array<unsigned, 3>, kDialKindCount> counts{};

    bool Empty() const { return changes.empty(); }
    // One printable line per change ("add S005,...", "change G01,... -> G01,...", "remove W3,...").
    std::vector<std::string> Lines() const;
    // The counts for a confirmation: "12 speed dials changed, 1 group added, 3 removed", or
    // "no changes".
    std::string Summary() const;
};

// Compares two record tables as the MFP holds them. A sender name that is empty counts as no
// sender, so an empty name replacing a name is a removal.
DialListDiff DiffDialLists(const RecordTable& before, const RecordTable& after);

}  // namespace dialvane
