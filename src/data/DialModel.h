#pragma once

#include <array>
#include <string>
#include <vector>

namespace dialvane {

inline constexpr int kMaxSpeedDials = 200, kMaxGroups = 20, kMaxBindings = 12,
                     kMaxGroupMembers = 20;
inline constexpr int kNameMaxBytes = 32, kSenderMaxBytes = 40, kKeywordMaxBytes = 16,
                     kFaxMaxChars = 50;
inline constexpr const char* kGroupNotUsedText = "Non Used";

struct SpeedDialEntry {  // the five fields in their order
    std::string key;     // canonical S005, empty when unused
    std::string name, keyword, faxNumber;
    std::string groupMask = std::string(20, '0');  // character g-1 is 'S' when member of group g
    bool operator==(const SpeedDialEntry&) const = default;
};

struct GroupMember {
    char kind = 'S';
    int number = 0;
    bool operator==(const GroupMember&) const = default;
};

struct GroupDialEntry {
    int number = 0;  // 0 = unused
    std::string name;
    std::string recordText = kGroupNotUsedText;
    std::vector<GroupMember> members;  // in order of entry
    bool operator==(const GroupDialEntry&) const = default;
};

struct GroupDisplay {
    std::string key, name, recordText, mask = std::string(20, '0');
    bool operator==(const GroupDisplay&) const = default;
};

struct ModifiedFlags {
    bool speedDials = false, groups = false, bindings = false, sender = false;
    bool Any() const;
    void Clear();
};

// The dial list as the main window and the dialogs edit it.
class DialModel {
  public:
    DialModel();

    // 1-based accessors, index 0 unused
    std::array<SpeedDialEntry, kMaxSpeedDials + 1> speedDials;
    std::array<GroupDialEntry, kMaxGroups + 1> groups;
    std::array<GroupDisplay, kMaxGroups + 1> groupDisplay;
    std::array<std::string, kMaxBindings + 1> bindings;  // S005 / G05 / empty
    std::string senderName;
    ModifiedFlags modified;

    void Clear();  // everything empty, groups reset

    // Group membership on the speed dial's mask; out-of-range numbers are ignored (false).
    void SetMembership(int speedDial, int group);
    void ClearMembership(int speedDial, int group);
    bool TestMembership(int speedDial, int group) const;
    void ResetMembership(int speedDial);
    // Masks of used speed dials are rebuilt from the groups' member lists.
    void RebuildMemberships();

    void ResetGroup(int group);  // 0 = all
    // Member names joined by ","; members whose speed dial is not registered are left out.
    std::string GroupRecordText(int group) const;
    // The later members move up; when none is left the group is deleted and the group flag set.
    void RemoveMemberAt(int group, int position);  // 1-based
    void RemoveMember(int group, char kind, int number);
    // Clears the group's character in every mask, empties it, blanks its display row and clears
    // every binding naming it.
    void DeleteGroup(int group);

    bool SpeedDialUsed(int speedDial) const;  // a registered key in range
};

}  // namespace dialvane
