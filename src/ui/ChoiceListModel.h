#pragma once

#include <string>
#include <vector>

#include "ui/ListTableModel.h"

namespace dialvane {

// The rows a dialog offers to choose from, as the dialog put them together: each with the
// number it is found by again and its cells.
class ChoiceListModel : public ListTableModel {
  public:
    struct Choice {
        int number = 0;
        std::vector<std::string> cells;
    };

    ChoiceListModel(int columns, QObject* parent);

    // Replaces the rows (a model reset).
    void SetChoices(std::vector<Choice> choices);

  protected:
    std::vector<int> Numbers() const override;
    std::vector<std::string> Cells(int number) const override;

  private:
    std::vector<Choice> choices_;
};

}  // namespace dialvane
