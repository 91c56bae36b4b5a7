#include "data/RecordTable.h"

#include <algorithm>

#include "data/ModeMessages.h"
#include "data/RecordKey.h"
#include "data/TextChecks.h"
#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

[[noreturn]] void Reject(Msg message, const std::string& field) {
    throw ValidationError(Text(message) + field);
}

[[noreturn]] void Reject(ModeMessage message, const TProductInfo& product,
                         const std::string& field) {
    throw ValidationError(ModeText(message, product.OneTouch()) + field);
}

char KeyLetter(const std::string& key) {
    const std::string trimmed = Trim(key);
    return trimmed.empty() ? '\0' : trimmed[0];
}

bool ParseKind(const std::string& text, char kind, int low, int high, int& number) {
    char letter = 0;
    number = 0;
    return ParseRecordKey(text, letter, number) && letter == kind && number >= low &&
           number <= high;
}

}  // namespace

RecordTable::RecordTable(const TProductInfo& product) : product_(product) {}

void RecordTable::Clear() {
    for (DialRecord& record : records_) {
        record.clear();
    }
    count_ = 0;
}

int RecordTable::Count() const {
    return count_;
}

bool RecordTable::Read(int index, DialRecord& fields) const {
    if (index < 1 || index > count_) {
        return false;
    }
    fields = records_[index - 1];
    return true;
}

const DialRecord& RecordTable::At(int index) const {
    return records_.at(static_cast<size_t>(index - 1));
}

int RecordTable::SpeedDialLimit() const {
    return std::clamp(product_.SpeedDial(), 0, kMaxSpeedDials);
}

int RecordTable::QuickDialLimit() const {
    return std::clamp(product_.QuickDial(), 0, kMaxBindings);
}

bool RecordTable::StoreRecord(std::vector<std::string> fields) {
    if (fields.empty()) {
        return false;
    }
    // Every field is checked and stored without the blanks and control characters around it,
    // as the file loader and the device encoding take it: a check of the trimmed text that
    // stored the untrimmed one would pass bytes the MFP must not get.
    for (std::string& field : fields) {
        field = Trim(field);
    }
    if (fields[0].empty()) {
        return false;
    }
    Normalise(fields);
    switch (KeyLetter(fields[0])) {
        case 'S':
            ValidateSpeedDial(fields);
            break;
        case 'G':
            ValidateGroup(fields);
            break;
        case 'W':
            if (!ValidateBinding(fields)) {
                return false;
            }
            break;
        case 'N':
            ValidateSender(fields);
            break;
        default:
            Reject(Msg::StrictUnknownRecord, fields[0]);
    }
    if (count_ >= kRecordTableSize) {
        return false;
    }
    records_[count_++] = std::move(fields);
    return true;
}

void RecordTable::Normalise(std::vector<std::string>& fields) const {
    switch (KeyLetter(fields[0])) {
        case 'N':
        case 'W':
            if (fields.size() > 2) {
                fields.resize(2);
            }
            break;
        case 'S':
            if (fields.size() > 4) {
                fields.resize(4);
            }
            if (fields.size() == 2) {
                fields.insert(fields.begin() + 1, std::string());
            }
            break;
        case 'G':
            if (fields.size() >= 4) {
                // A member listed twice is kept once, where it first appears.
                std::vector<int> seen;
                std::vector<std::string> kept(fields.begin(), fields.begin() + 2);
                for (size_t k = 2; k < fields.size(); ++k) {
                    int number = 0;
                    if (ParseKind(fields[k], 'S', 1, SpeedDialLimit(), number)) {
                        if (std::find(seen.begin(), seen.end(), number) != seen.end()) {
                            continue;
                        }
                        seen.push_back(number);
                    }
                    kept.push_back(std::move(fields[k]));
                }
                fields = std::move(kept);
            }
            break;
        default:
            break;
    }
}

void RecordTable::ValidateSpeedDial(std::vector<std::string>& fields) const {
    if (fields.size() < 3) {
        Reject(Msg::StrictEnterSpeedDial, fields[0]);
    }
    int number = 0;
    if (!ParseKind(fields[0], 'S', 1, SpeedDialLimit(), number)) {
        Reject(Msg::StrictSpeedNumber, fields[0]);
    }
    if (!fields[1].empty()) {
        TextCheckResult name = CheckNameText(fields[1], kNameMaxBytes, product_.Rules());
        if (name.code == kCheckIllegal) {
            Reject(Msg::StrictSpeedNameIllegal, fields[1]);
        }
        if (name.code == kCheckTooLong) {
            Reject(Msg::StrictSpeedNameTooLong, fields[1]);
        }
        fields[1] = std::move(name.trimmed);
    }
    if (!product_.NoKeyword() && fields.size() == 4) {
        TextCheckResult keyword = CheckKeywordText(fields[2], kKeywordMaxBytes);
        if (keyword.code == kCheckIllegal) {
            Reject(Msg::StrictKeywordIllegal, fields[2]);
        }
        if (keyword.code == kCheckTooLong) {
            Reject(Msg::StrictKeywordTooLong, fields[2]);
        }
        fields[2] = std::move(keyword.trimmed);
    }
    const std::string& fax = fields.back();
    switch (CheckFaxNumber(fax)) {
        case kCheckIllegal:
            Reject(Msg::StrictFaxIllegal, fax);
        case kCheckTooLong:
            Reject(Msg::StrictFaxTooLong, fax);
        case kCheckEmpty:
            Reject(Msg::StrictEnterSpeedDial, fields[0]);
        default:
            break;
    }
    CheckDuplicate(fields[0]);
    fields[0] = ShortRecordKey('S', number);
}

void RecordTable::ValidateGroup(std::vector<std::string>& fields) const {
    if (fields.size() >= 3 + kMaxGroupMembers) {
        Reject(Msg::StrictGroupTooManyElements, fields[0]);
    }
    if (fields.size() < 3) {
        Reject(Msg::StrictEnterGroup, fields[0]);
    }
    int number = 0;
    if (!ParseKind(fields[0], 'G', 1, kMaxGroups, number)) {
        Reject(Msg::StrictGroupNumber, fields[0]);
    }
    if (!fields[1].empty()) {
        TextCheckResult name = CheckNameText(fields[1], kNameMaxBytes, product_.Rules());
        if (name.code == kCheckIllegal) {
            Reject(Msg::StrictGroupNameIllegal, fields[1]);
        }
        if (name.code == kCheckTooLong) {
            Reject(Msg::StrictGroupNameTooLong, fields[1]);
        }
        fields[1] = std::move(name.trimmed);
    }
    std::vector<int> members;
    for (size_t k = 2; k < fields.size(); ++k) {
        int member = 0;
        if (!ParseKind(fields[k], 'S', 1, SpeedDialLimit(), member)) {
            Reject(Msg::StrictGroupMember, fields[k]);
        }
        members.push_back(member);
    }
    std::sort(members.begin(), members.end());
    for (size_t k = 0; k < members.size(); ++k) {
        fields[k + 2] = ShortRecordKey('S', members[k]);
    }
    CheckDuplicate(fields[0]);
    fields[0] = ShortRecordKey('G', number);
}

bool RecordTable::ValidateBinding(std::vector<std::string>& fields) const {
    int number = 0;
    if (!ParseKind(fields[0], 'W', 1, QuickDialLimit(), number)) {
        Reject(ModeMessage::StrictNumberRange, product_, fields[0]);
    }
    // A device may list its unset buttons with an empty target; they are simply not stored.
    if (fields.size() < 2 || fields[1].empty()) {
        return false;
    }
    char letter = 0;
    int target = 0;
    if (!ParseRecordKey(fields[1], letter, target)) {
        Reject(Msg::StrictBindingDataNumber, fields[1]);
    }
    if (letter == 'G') {
        if (target < 1 || target > kMaxGroups) {
            Reject(ModeMessage::StrictGroupTarget, product_, fields[1]);
        }
    } else if (letter == 'S') {
        if (target < 1 || target > SpeedDialLimit()) {
            Reject(ModeMessage::StrictSpeedTarget, product_, fields[1]);
        }
    } else {
        Reject(Msg::StrictBindingDataNumber, fields[1]);
    }
    fields[1] = ShortRecordKey(letter, target);
    CheckDuplicate(fields[0]);
    return true;
}

void RecordTable::ValidateSender(std::vector<std::string>& fields) const {
    if (fields.size() < 2) {
        return;
    }
    if (fields[0] != "N") {
        Reject(Msg::StrictSenderKey, fields[0]);
    }
    if (!fields[1].empty()) {
        TextCheckResult name = CheckNameText(fields[1], kSenderMaxBytes, product_.Rules());
        if (name.code == kCheckIllegal) {
            Reject(Msg::StrictSenderNameIllegal, fields[1]);
        }
        if (name.code == kCheckTooLong) {
            Reject(Msg::StrictSenderNameTooLong, fields[1]);
        }
        fields[1] = std::move(name.trimmed);
    }
    CheckDuplicate(fields[0]);
}

void RecordTable::CheckDuplicate(const std::string& key) const {
    for (int i = 0; i < count_; ++i) {
        if (records_[i][0] != key) {
            continue;
        }
        switch (KeyLetter(key)) {
            case 'G':
                Reject(Msg::StrictGroupDuplicate, key);
            case 'N':
                Reject(Msg::StrictSenderDuplicate, key);
            case 'S':
                Reject(Msg::StrictSpeedDuplicate, key);
            default:
                Reject(ModeMessage::StrictDuplicate, product_, key);
        }
    }
}

void RecordTable::BuildFromModel(const DialModel& model) {
    Clear();
    for (int n = 1; n <= kMaxSpeedDials; ++n) {
        const SpeedDialEntry& entry = model.speedDials[n];
        if (!entry.key.empty()) {
            StoreRecord({entry.key, entry.name, entry.keyword, entry.faxNumber, entry.groupMask});
        }
    }
    for (int g = 1; g <= kMaxGroups; ++g) {
        const GroupDialEntry& group = model.groups[g];
        const GroupDisplay& display = model.groupDisplay[g];
        // A group goes to the gate when its row has a key or it has members (what the save writer
        // writes). A deleted group keeps its number but has neither. A row whose members all failed
        // to load still goes, and the gate refuses it, rather than vanishing from the device.
        const bool hasMembers = group.number != 0 && !group.members.empty();
        if (display.key.empty() && !hasMembers) {
            continue;
        }
        DialRecord record{display.key.empty() ? FormatRecordKey('G', group.number) : display.key,
                          group.number != 0 ? group.name : display.name};
        for (const GroupMember& member : group.members) {
            record.push_back(FormatRecordKey(member.kind, member.number));
        }
        StoreRecord(std::move(record));
    }
    for (int b = 1; b <= kMaxBindings; ++b) {
        if (!model.bindings[b].empty()) {
            StoreRecord({"W" + std::to_string(b), model.bindings[b]});
        }
    }
    StoreRecord({"N", model.senderName});
}

void RecordTable::CheckGroupMembers() const {
    for (int i = 0; i < count_; ++i) {
        const DialRecord& record = records_[i];
        if (record[0].find('G') == std::string::npos) {
            continue;
        }
        for (size_t k = 2; k < record.size(); ++k) {
            const bool found = std::any_of(records_.begin(), records_.begin() + count_,
                                           [&](const DialRecord& r) { return r[0] == record[k]; });
            if (!found) {
                Reject(Msg::StrictMemberNotRegistered, record[k]);
            }
        }
    }
}

}  // namespace dialvane
