#include "data/DialModel.h"

#include <algorithm>

#include "data/RecordKey.h"

namespace dialvane {
namespace {

bool SpeedDialInRange(int speedDial) {
    return speedDial >= 1 && speedDial <= kMaxSpeedDials;
}

bool GroupInRange(int group) {
    return group >= 1 && group <= kMaxGroups;
}

}  // namespace

bool ModifiedFlags::Any() const {
    return speedDials || groups || bindings || sender;
}

void ModifiedFlags::Clear() {
    *this = ModifiedFlags{};
}

DialModel::DialModel() {
    Clear();
}

void DialModel::Clear() {
    speedDials.fill(SpeedDialEntry{});
    ResetGroup(0);
    groupDisplay.fill(GroupDisplay{});
    bindings.fill(std::string());
    senderName.clear();
    modified.Clear();
}

void DialModel::SetMembership(int speedDial, int group) {
    if (SpeedDialInRange(speedDial) && GroupInRange(group)) {
        speedDials[speedDial].groupMask.resize(kMaxGroups, '0');
        speedDials[speedDial].groupMask[group - 1] = 'S';
    }
}

void DialModel::ClearMembership(int speedDial, int group) {
    if (SpeedDialInRange(speedDial) && GroupInRange(group)) {
        speedDials[speedDial].groupMask.resize(kMaxGroups, '0');
        speedDials[speedDial].groupMask[group - 1] = '0';
    }
}

bool DialModel::TestMembership(int speedDial, int group) const {
    if (!SpeedDialInRange(speedDial) || !GroupInRange(group)) {
        return false;
    }
    const std::string& mask = speedDials[speedDial].groupMask;
    return static_cast<size_t>(group) <= mask.size() && mask[group - 1] != '0';
}

void DialModel::ResetMembership(int speedDial) {
    if (SpeedDialInRange(speedDial)) {
        speedDials[speedDial].groupMask.assign(kMaxGroups, '0');
    }
}

void DialModel::RebuildMemberships() {
    for (int s = 1; s <= kMaxSpeedDials; ++s) {
        if (!speedDials[s].key.empty()) {
            ResetMembership(s);
        }
    }
    for (int g = 1; g <= kMaxGroups; ++g) {
        for (const GroupMember& member : groups[g].members) {
            if (member.kind == 'S') {
                SetMembership(member.number, g);
            }
        }
    }
}

void DialModel::ResetGroup(int group) {
    if (group == 0) {
        for (int g = 1; g <= kMaxGroups; ++g) {
            ResetGroup(g);
        }
        return;
    }
    if (GroupInRange(group)) {
        groups[group] = GroupDialEntry{};
    }
}

bool DialModel::SpeedDialUsed(int speedDial) const {
    return SpeedDialInRange(speedDial) && !speedDials[speedDial].key.empty();
}

std::string DialModel::GroupRecordText(int group) const {
    std::string text;
    if (!GroupInRange(group)) {
        return text;
    }
    bool first = true;
    for (const GroupMember& member : groups[group].members) {
        if (member.kind != 'S' || !SpeedDialUsed(member.number)) {
            continue;
        }
        if (!first) {
            text += ',';
        }
        text += speedDials[member.number].name;
        first = false;
    }
    return text;
}

void DialModel::RemoveMemberAt(int group, int position) {
    if (!GroupInRange(group)) {
        return;
    }
    GroupDialEntry& entry = groups[group];
    if (position < 1 || static_cast<size_t>(position) > entry.members.size()) {
        return;
    }
    const GroupMember removed = entry.members[position - 1];
    entry.members.erase(entry.members.begin() + (position - 1));
    if (removed.kind == 'S') {
        ClearMembership(removed.number, group);
    }
    entry.recordText = GroupRecordText(group);
    groupDisplay[group].recordText = entry.recordText;
    if (entry.members.empty()) {
        modified.groups = true;
        DeleteGroup(group);
    }
}

void DialModel::RemoveMember(int group, char kind, int number) {
    if (!GroupInRange(group)) {
        return;
    }
    const auto& members = groups[group].members;
    auto it = std::find_if(members.begin(), members.end(), [&](const GroupMember& m) {
        return m.kind == kind && m.number == number;
    });
    if (it != members.end()) {
        RemoveMemberAt(group, static_cast<int>(it - members.begin()) + 1);
    }
}

void DialModel::DeleteGroup(int group) {
    if (!GroupInRange(group)) {
        return;
    }
    for (int s = 1; s <= kMaxSpeedDials; ++s) {
        ClearMembership(s, group);
    }
    groups[group].members.clear();
    groupDisplay[group].key.clear();
    groupDisplay[group].mask.assign(kMaxGroups, '0');
    // A binding keeps only a key; once the group is gone it would point at nothing.
    for (int b = 1; b <= kMaxBindings; ++b) {
        char letter = 0;
        int number = 0;
        if (ParseRecordKey(bindings[b], letter, number) && letter == 'G' && number == group) {
            bindings[b].clear();
            modified.bindings = true;
        }
    }
}

}  // namespace dialvane
