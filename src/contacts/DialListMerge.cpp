#include "contacts/DialListMerge.h"

#include <map>

#include "data/RecordKey.h"
#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

// The lowest number in 1..limit that `taken` does not hold; 0 when there is none.
int LowestFree(const std::vector<bool>& taken, int limit) {
    for (int n = 1; n <= limit; ++n) {
        if (!taken[static_cast<size_t>(n)]) {
            return n;
        }
    }
    return 0;
}

// Keys of the speed dials: a number found in the current list keeps its key there.
std::vector<int> AssignKeys(const ImportPlan& plan, int limit, const DialModel* current) {
    std::vector<int> keys(plan.dials.size(), 0);
    std::vector<bool> taken(static_cast<size_t>(limit) + 1, false);
    if (current != nullptr) {
        std::map<std::string, std::vector<int>> keysOfNumber;  // ascending keys per number
        for (int n = limit; n >= 1; --n) {
            const SpeedDialEntry& entry = current->speedDials[static_cast<size_t>(n)];
            if (!entry.key.empty()) {
                keysOfNumber[entry.faxNumber].push_back(n);
            }
        }
        for (size_t i = 0; i < plan.dials.size(); ++i) {
            auto found = keysOfNumber.find(plan.dials[i].number);
            if (found != keysOfNumber.end() && !found->second.empty()) {
                keys[i] = found->second.back();
                found->second.pop_back();
                taken[static_cast<size_t>(keys[i])] = true;
            }
        }
    }
    int next = 1;
    for (size_t i = 0; i < plan.dials.size(); ++i) {
        while (keys[i] == 0 && next <= limit) {
            if (!taken[static_cast<size_t>(next)]) {
                keys[i] = next;
                taken[static_cast<size_t>(next)] = true;
            }
            ++next;
        }
    }
    return keys;
}

// True when speed dial n of the result dials what it dialled in the current list.
bool SameSpeedDial(const DialModel& result, const DialModel& current, int n) {
    if (n < 1 || n > kMaxSpeedDials) {
        return false;
    }
    const SpeedDialEntry& now = result.speedDials[static_cast<size_t>(n)];
    const SpeedDialEntry& before = current.speedDials[static_cast<size_t>(n)];
    return !now.key.empty() && !before.key.empty() && now.faxNumber == before.faxNumber;
}

void FinishGroups(DialModel& model) {
    model.RebuildMemberships();
    for (int g = 1; g <= kMaxGroups; ++g) {
        GroupDialEntry& group = model.groups[static_cast<size_t>(g)];
        if (group.number == 0) {
            continue;
        }
        group.recordText = model.GroupRecordText(g);
        GroupDisplay& display = model.groupDisplay[static_cast<size_t>(g)];
        display = GroupDisplay{FormatRecordKey('G', g), group.name, group.recordText,
                               std::string(kMaxGroups, '0')};
    }
}

}  // namespace

MergedDialList MergeImport(const ImportPlan& plan, const TProductInfo& product,
                           const DialModel* current) {
    MergedDialList result;
    DialModel& model = result.model;
    const int limit = std::min(product.SpeedDial(), kMaxSpeedDials);
    if (plan.dials.size() > static_cast<size_t>(limit)) {
        result.errors.push_back(
            Text(Msg::ImportTooManyNumbers, static_cast<unsigned>(plan.dials.size()),
                 static_cast<unsigned>(limit), static_cast<unsigned>(plan.dials.size() - limit)));
        return result;
    }

    const std::vector<int> keys = AssignKeys(plan, limit, current);
    std::map<std::string, std::vector<int>> membersOf;  // group name -> keys in name order
    for (size_t i = 0; i < plan.dials.size(); ++i) {
        const ImportedDial& dial = plan.dials[i];
        SpeedDialEntry& entry = model.speedDials[static_cast<size_t>(keys[i])];
        entry.key = FormatRecordKey('S', keys[i]);
        entry.name = dial.name;
        entry.faxNumber = dial.number;
        // A kept speed dial keeps the search keyword someone gave it on the MFP.
        if (current != nullptr && !product.NoKeyword() &&
            current->speedDials[static_cast<size_t>(keys[i])].faxNumber == dial.number) {
            entry.keyword = current->speedDials[static_cast<size_t>(keys[i])].keyword;
        }
        for (const std::string& group : dial.groups) {
            membersOf[group].push_back(keys[i]);
        }
    }

    // A speed dial of the current list whose number the address book no longer has is left
    // out of the result; it is named, so no entry goes without a word.
    if (current != nullptr) {
        for (int n = 1; n <= kMaxSpeedDials; ++n) {
            const SpeedDialEntry& before = current->speedDials[static_cast<size_t>(n)];
            if (!before.key.empty() && !SameSpeedDial(model, *current, n)) {
                result.dropped.push_back(Text(Msg::ImportSpeedDialDropped, FormatRecordKey('S', n),
                                              Trim(before.name), before.faxNumber));
            }
        }
    }

    // Groups: a category keeps the number of the current group of its name; the current
    // groups no category names stay, with their surviving members.
    std::vector<bool> groupTaken(kMaxGroups + 1, false);
    std::map<std::string, int> numberOfGroup;
    if (current != nullptr) {
        for (int g = 1; g <= kMaxGroups; ++g) {
            const GroupDialEntry& old = current->groups[static_cast<size_t>(g)];
            if (old.number == 0 || old.members.empty()) {
                continue;
            }
            const std::string name = Trim(old.name);
            if (membersOf.contains(name) && !numberOfGroup.contains(name)) {
                numberOfGroup[name] = g;
                groupTaken[static_cast<size_t>(g)] = true;
                continue;
            }
            GroupDialEntry kept{g, old.name, {}, {}};
            for (const GroupMember& member : old.members) {
                if (SameSpeedDial(model, *current, member.number)) {
                    kept.members.push_back(member);
                }
            }
            if (!kept.members.empty()) {
                model.groups[static_cast<size_t>(g)] = kept;
                groupTaken[static_cast<size_t>(g)] = true;
            } else {
                result.dropped.push_back(
                    Text(Msg::ImportGroupDropped, FormatRecordKey('G', g), Trim(old.name)));
            }
        }
    }
    std::string unplaced;
    for (const std::string& name : plan.groupNames) {
        int g = numberOfGroup.contains(name) ? numberOfGroup[name] : 0;
        if (g == 0) {
            g = LowestFree(groupTaken, kMaxGroups);
        }
        if (g == 0) {
            unplaced += (unplaced.empty() ? "" : ", ") + name;
            continue;
        }
        groupTaken[static_cast<size_t>(g)] = true;
        const std::vector<int>& members = membersOf[name];
        if (members.size() > static_cast<size_t>(kMaxGroupMembers)) {
            result.errors.push_back(Text(Msg::ImportGroupTooManyMembers, name,
                                         static_cast<unsigned>(members.size()),
                                         static_cast<unsigned>(kMaxGroupMembers)));
        }
        GroupDialEntry& group = model.groups[static_cast<size_t>(g)];
        group.number = g;
        group.name = name;
        for (int member : members) {
            group.members.push_back(GroupMember{'S', member});
        }
    }
    if (!unplaced.empty()) {
        result.errors.push_back(
            Text(Msg::ImportTooManyGroups, static_cast<unsigned>(kMaxGroups), unplaced));
    }
    FinishGroups(model);

    if (current != nullptr) {
        model.senderName = current->senderName;
        for (int b = 1; b <= kMaxBindings; ++b) {
            const std::string& binding = current->bindings[static_cast<size_t>(b)];
            if (binding.empty()) {
                continue;
            }
            char letter = 0;
            int number = 0;
            bool exists = false;
            if (b <= product.QuickDial() && ParseRecordKey(binding, letter, number)) {
                if (letter == 'S') {
                    exists = SameSpeedDial(model, *current, number);
                } else if (letter == 'G' && number >= 1 && number <= kMaxGroups) {
                    const GroupDialEntry& now = model.groups[static_cast<size_t>(number)];
                    exists =
                        now.number != 0 && !now.members.empty() &&
                        Trim(now.name) == Trim(current->groups[static_cast<size_t>(number)].name);
                }
            }
            if (exists) {
                model.bindings[static_cast<size_t>(b)] = binding;
            } else {
                result.dropped.push_back(
                    Text(Msg::ImportBindingDropped, "W" + std::to_string(b), binding));
            }
        }
    }
    return result;
}

}  // namespace dialvane
