#include "ui/ListSnapshot.h"

namespace dialvane {

ListSnapshot TakeSnapshot(const DialModel& model) {
    return {model.speedDials, model.groups, model.groupDisplay, model.bindings, model.senderName};
}

void RestoreSnapshot(const ListSnapshot& snapshot, DialModel& model) {
    model.speedDials = snapshot.speedDials;
    model.groups = snapshot.groups;
    model.groupDisplay = snapshot.groupDisplay;
    model.bindings = snapshot.bindings;
    model.senderName = snapshot.senderName;
}

ModifiedFlags Differences(const ListSnapshot& a, const ListSnapshot& b) {
    ModifiedFlags differ;
    differ.speedDials = a.speedDials != b.speedDials;
    differ.groups = a.groups != b.groups;
    for (int group = 1; group <= kMaxGroups && !differ.groups; ++group) {
        const GroupDisplay& left = a.groupDisplay[group];
        const GroupDisplay& right = b.groupDisplay[group];
        differ.groups = left.key != right.key || left.name != right.name;
    }
    differ.bindings = a.bindings != b.bindings;
    differ.sender = a.senderName != b.senderName;
    return differ;
}

}  // namespace dialvane
