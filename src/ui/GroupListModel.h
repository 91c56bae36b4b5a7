#pragma once

#include "ui/ListTableModel.h"

namespace dialvane {

class DialModel;

// The group dials of the editor: key, group name and the members' names.
class GroupListModel : public ListTableModel {
  public:
    GroupListModel(const DialModel& model, QObject* parent);

    // A group is listed when its row has a key or it has members; a deleted group keeps its
    // number but has neither.
    static bool Listed(const DialModel& model, int group);

  protected:
    std::vector<int> Numbers() const override;
    std::vector<std::string> Cells(int number) const override;

  private:
    const DialModel& model_;
};

}  // namespace dialvane
