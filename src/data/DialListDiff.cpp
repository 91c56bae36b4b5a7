#include "data/DialListDiff.h"

#include <map>
#include <utility>

#include "data/DialFileLine.h"
#include "data/RecordKey.h"
#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

using Line = std::vector<std::string>;
using KeyedLines = std::map<std::pair<int, int>, Line>;  // (kind, number) -> file line

// A member or binding target in the canonical form of a saved file (S005, G05); a field that is
// no key stays as it is, so two lists that disagree still show it.
std::string CanonicalTarget(const std::string& field) {
    char letter = 0;
    int number = 0;
    if (ParseRecordKey(field, letter, number) && (letter == 'S' || letter == 'G')) {
        return FormatRecordKey(letter, number);
    }
    return field;
}

// The record as a saved file holds it. Speed dials always have four fields (fax number before
// the keyword), so a missing keyword and an empty one compare equal.
bool ToFileLine(const DialRecord& record, int& kind, int& number, Line& line) {
    if (record.empty()) {
        return false;
    }
    const std::string key = Trim(record[0]);
    char letter = 0;
    if (key == "N") {
        kind = static_cast<int>(DialKind::Sender);
        number = 1;
        const std::string name = record.size() > 1 ? record[1] : std::string();
        if (name.empty()) {
            return false;
        }
        line = {"N", name};
        return true;
    }
    if (!ParseRecordKey(key, letter, number)) {
        return false;
    }
    auto field = [&record](std::size_t i) { return i < record.size() ? record[i] : std::string(); };
    switch (letter) {
        case 'S':
            kind = static_cast<int>(DialKind::SpeedDial);
            if (record.size() >= 4) {
                line = {FormatRecordKey('S', number), field(1), field(3), field(2)};
            } else {
                line = {FormatRecordKey('S', number), field(1), field(2), ""};
            }
            return true;
        case 'G':
            kind = static_cast<int>(DialKind::Group);
            line = {FormatRecordKey('G', number), field(1)};
            for (std::size_t i = 2; i < record.size(); ++i) {
                line.push_back(CanonicalTarget(record[i]));
            }
            return true;
        case 'W':
            kind = static_cast<int>(DialKind::Button);
            if (field(1).empty()) {
                return false;
            }
            line = {"W" + std::to_string(number), CanonicalTarget(field(1))};
            return true;
        default:
            return false;
    }
}

KeyedLines Collect(const RecordTable& table) {
    KeyedLines lines;
    for (int i = 1; i <= table.Count(); ++i) {
        int kind = 0;
        int number = 0;
        Line line;
        if (ToFileLine(table.At(i), kind, number, line)) {
            lines[{kind, number}] = std::move(line);
        }
    }
    return lines;
}

void Add(DialListDiff& diff, DialListChange::Type type, std::pair<int, int> key, Line before,
         Line after) {
    DialListChange change;
    change.type = type;
    change.kind = static_cast<DialKind>(key.first);
    change.number = key.second;
    change.before = std::move(before);
    change.after = std::move(after);
    diff.changes.push_back(std::move(change));
    ++diff.counts[key.first][static_cast<int>(type)];
}

}  // namespace

DialListDiff DiffDialLists(const RecordTable& before, const RecordTable& after) {
    const KeyedLines old = Collect(before);
    const KeyedLines now = Collect(after);
    DialListDiff diff;
    // Both maps are ordered by (kind, number): one merge pass keeps the preview's order.
    auto o = old.begin();
    auto n = now.begin();
    while (o != old.end() || n != now.end()) {
        if (n == now.end() || (o != old.end() && o->first < n->first)) {
            Add(diff, DialListChange::Type::Remove, o->first, o->second, {});
            ++o;
        } else if (o == old.end() || n->first < o->first) {
            Add(diff, DialListChange::Type::Add, n->first, {}, n->second);
            ++n;
        } else {
            if (o->second != n->second) {
                Add(diff, DialListChange::Type::Change, o->first, o->second, n->second);
            }
            ++o;
            ++n;
        }
    }
    return diff;
}

std::vector<std::string> DialListDiff::Lines() const {
    std::vector<std::string> lines;
    for (const DialListChange& change : changes) {
        switch (change.type) {
            case DialListChange::Type::Add:
                lines.push_back(Text(Msg::DiffAdd, JoinDialLine(change.after)));
                break;
            case DialListChange::Type::Change:
                lines.push_back(
                    Text(Msg::DiffChange, JoinDialLine(change.before), JoinDialLine(change.after)));
                break;
            case DialListChange::Type::Remove:
                lines.push_back(Text(Msg::DiffRemove, JoinDialLine(change.before)));
                break;
        }
    }
    return lines;
}

std::string DialListDiff::Summary() const {
    static constexpr Msg kOne[kDialKindCount] = {Msg::DiffSpeedDialOne, Msg::DiffGroupOne,
                                                 Msg::DiffButtonOne, Msg::DiffSenderName};
    static constexpr Msg kMany[kDialKindCount] = {Msg::DiffSpeedDialMany, Msg::DiffGroupMany,
                                                  Msg::DiffButtonMany, Msg::DiffSenderName};
    static constexpr Msg kCounted[3] = {Msg::DiffCountedAdded, Msg::DiffCountedChanged,
                                        Msg::DiffCountedRemoved};
    static constexpr Msg kBare[3] = {Msg::DiffAdded, Msg::DiffChanged, Msg::DiffRemoved};
    std::string summary;
    for (int kind = 0; kind < kDialKindCount; ++kind) {
        // The noun goes with the first count of its kind only: "1 group added, 3 removed".
        bool named = false;
        for (int type = 0; type < 3; ++type) {
            const unsigned count = counts[kind][type];
            if (count == 0) {
                continue;
            }
            if (!summary.empty()) {
                summary += ", ";
            }
            if (named) {
                summary += Text(kBare[type], count);
            } else {
                summary += Text(kCounted[type], count, Text(count == 1 ? kOne[kind] : kMany[kind]));
                named = true;
            }
        }
    }
    return summary.empty() ? Text(Msg::DiffNoChanges) : summary;
}

}  // namespace dialvane
