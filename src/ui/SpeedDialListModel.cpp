#include "ui/SpeedDialListModel.h"

#include "data/DialModel.h"

namespace dialvane {

namespace {
constexpr int kKeywordColumn = 2;
}

SpeedDialListModel::SpeedDialListModel(const DialModel& model, QObject* parent)
    : ListTableModel(4, parent), model_(model) {}

void SpeedDialListModel::SetKeywordBand(bool noKeyword, const QColor& band) {
    if (noKeyword == noKeyword_ && band == band_) {
        return;
    }
    noKeyword_ = noKeyword;
    band_ = band;
    emit headerDataChanged(Qt::Horizontal, kKeywordColumn, kKeywordColumn);
    if (rowCount() > 0) {
        emit dataChanged(index(0, kKeywordColumn), index(rowCount() - 1, kKeywordColumn),
                         {Qt::BackgroundRole});
    }
}

std::vector<int> SpeedDialListModel::Numbers() const {
    std::vector<int> numbers;
    for (int number = 1; number <= kMaxSpeedDials; ++number) {
        if (!model_.speedDials[number].key.empty()) {
            numbers.push_back(number);
        }
    }
    return numbers;
}

std::vector<std::string> SpeedDialListModel::Cells(int number) const {
    const SpeedDialEntry& entry = model_.speedDials[number];
    return {entry.key, entry.name, entry.keyword, entry.faxNumber};
}

QVariant SpeedDialListModel::CellDecoration(int column, int role) const {
    if (role == Qt::BackgroundRole && column == kKeywordColumn && noKeyword_) {
        return band_;
    }
    return {};
}

QVariant SpeedDialListModel::TitleDecoration(int section, int role) const {
    if (role == Qt::ForegroundRole && section == kKeywordColumn && noKeyword_) {
        return band_;
    }
    return {};
}

}  // namespace dialvane
