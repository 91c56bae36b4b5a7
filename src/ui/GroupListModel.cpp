#include "ui/GroupListModel.h"

#include "data/DialModel.h"
#include "data/RecordKey.h"

namespace dialvane {

GroupListModel::GroupListModel(const DialModel& model, QObject* parent)
    : ListTableModel(3, parent), model_(model) {}

bool GroupListModel::Listed(const DialModel& model, int group) {
    return !model.groupDisplay[group].key.empty() ||
           (model.groups[group].number != 0 && !model.groups[group].members.empty());
}

std::vector<int> GroupListModel::Numbers() const {
    std::vector<int> numbers;
    for (int group = 1; group <= kMaxGroups; ++group) {
        if (Listed(model_, group)) {
            numbers.push_back(group);
        }
    }
    return numbers;
}

std::vector<std::string> GroupListModel::Cells(int group) const {
    const GroupDisplay& display = model_.groupDisplay[group];
    std::string key = display.key.empty() ? FormatRecordKey('G', group) : display.key;
    std::string name = display.name.empty() ? model_.groups[group].name : display.name;
    return {key, name, model_.GroupRecordText(group)};
}

}  // namespace dialvane
