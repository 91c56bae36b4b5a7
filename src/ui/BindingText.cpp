#include "ui/BindingText.h"

#include "data/RecordKey.h"
#include "support/Format.h"
#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

// A group counts as registered when its row has a key or it has members, as in the group grid.
bool GroupRegistered(const DialModel& model, int group) {
    return !model.groupDisplay[group].key.empty() ||
           (model.groups[group].number != 0 && !model.groups[group].members.empty());
}

SelectionRow GroupRow(const DialModel& model, int group) {
    const GroupDisplay& display = model.groupDisplay[group];
    return {display.key.empty() ? FormatRecordKey('G', group) : display.key,
            display.name.empty() ? model.groups[group].name : display.name,
            model.GroupRecordText(group)};
}

}  // namespace

std::string SelectionText(const SelectionRow& row) {
    return Format("%s [%s] %s", row.key, row.name, row.record);
}

std::vector<SelectionRow> SelectionRows(const DialModel& model) {
    std::vector<SelectionRow> rows;
    for (int number = 1; number <= kMaxSpeedDials; ++number) {
        const SpeedDialEntry& entry = model.speedDials[number];
        if (!entry.key.empty()) {
            rows.push_back({entry.key, entry.name, entry.faxNumber});
        }
    }
    for (int group = 1; group <= kMaxGroups; ++group) {
        if (GroupRegistered(model, group)) {
            rows.push_back(GroupRow(model, group));
        }
    }
    return rows;
}

std::string BindingDisplayText(const DialModel& model, const std::string& binding) {
    if (binding.empty()) {
        return {};
    }
    char letter = 0;
    int number = 0;
    if (ParseRecordKey(binding, letter, number)) {
        if (letter == 'S' && number >= 1 && number <= kMaxSpeedDials &&
            model.speedDials[number].key == binding) {
            const SpeedDialEntry& entry = model.speedDials[number];
            return SelectionText({entry.key, entry.name, entry.faxNumber});
        }
        if (letter == 'G' && number >= 1 && number <= kMaxGroups &&
            FormatRecordKey('G', number) == binding && GroupRegistered(model, number)) {
            return SelectionText(GroupRow(model, number));
        }
    }
    return Text(Msg::BindingNotRegistered, binding);
}

std::string BindingFromDisplay(const std::string& text) {
    const std::string trimmed = Trim(text);
    return trimmed.substr(0, trimmed.find(' '));
}

}  // namespace dialvane
