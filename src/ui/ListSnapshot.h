#pragma once

#include <array>
#include <string>

#include "data/DialModel.h"

namespace dialvane {

// The parts of the open list a user edits, as one value: what an undo step goes back to and
// what "changed since saved" is measured against.
struct ListSnapshot {
    std::array<SpeedDialEntry, kMaxSpeedDials + 1> speedDials;
    std::array<GroupDialEntry, kMaxGroups + 1> groups;
    std::array<GroupDisplay, kMaxGroups + 1> groupDisplay;
    std::array<std::string, kMaxBindings + 1> bindings;
    std::string senderName;
};

ListSnapshot TakeSnapshot(const DialModel& model);
// Puts the snapshot's lists back; the model's modified flags are left to the caller.
void RestoreSnapshot(const ListSnapshot& snapshot, DialModel& model);

// The kinds of list that differ between two snapshots. A group's member text is derived and
// refreshed whenever the group page is shown, so it is no change of its own.
ModifiedFlags Differences(const ListSnapshot& a, const ListSnapshot& b);

}  // namespace dialvane
