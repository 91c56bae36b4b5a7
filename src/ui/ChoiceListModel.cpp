#include "ui/ChoiceListModel.h"

namespace dialvane {

ChoiceListModel::ChoiceListModel(int columns, QObject* parent) : ListTableModel(columns, parent) {}

void ChoiceListModel::SetChoices(std::vector<Choice> choices) {
    choices_ = std::move(choices);
    Refresh();
}

std::vector<int> ChoiceListModel::Numbers() const {
    std::vector<int> numbers;
    numbers.reserve(choices_.size());
    for (const Choice& choice : choices_) {
        numbers.push_back(choice.number);
    }
    return numbers;
}

std::vector<std::string> ChoiceListModel::Cells(int number) const {
    for (const Choice& choice : choices_) {
        if (choice.number == number) {
            return choice.cells;
        }
    }
    return {};
}

}  // namespace dialvane
