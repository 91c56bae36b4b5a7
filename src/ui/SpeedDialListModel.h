#pragma once

#include <QColor>

#include "ui/ListTableModel.h"

namespace dialvane {

class DialModel;

// The speed dials of the editor: key, address name, search keyword and fax number.
class SpeedDialListModel : public ListTableModel {
  public:
    SpeedDialListModel(const DialModel& model, QObject* parent);

    // Products without search keywords show that column, and its title, in `band`.
    void SetKeywordBand(bool noKeyword, const QColor& band);

  protected:
    std::vector<int> Numbers() const override;
    std::vector<std::string> Cells(int number) const override;
    QVariant CellDecoration(int column, int role) const override;
    QVariant TitleDecoration(int section, int role) const override;

  private:
    const DialModel& model_;
    bool noKeyword_ = false;
    QColor band_;
};

}  // namespace dialvane
