#include "ui/ListTableModel.h"

#include "ui/ListFilterProxy.h"

namespace dialvane {

ListTableModel::ListTableModel(int columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns) {}

void ListTableModel::Refresh() {
    beginResetModel();
    rows_.clear();
    for (int number : Numbers()) {
        Row row;
        row.number = number;
        for (const std::string& cell : Cells(number)) {
            row.cells.push_back(QString::fromStdString(cell));
        }
        while (row.cells.size() < columns_) {
            row.cells.push_back(QString());
        }
        // One line per cell, so a search never matches across two of them.
        row.folded = FoldForSearch(row.cells.join(QLatin1Char('\n')));
        rows_.push_back(std::move(row));
    }
    endResetModel();
}

int ListTableModel::NumberAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row].number : 0;
}

int ListTableModel::RowOf(int number) const {
    for (size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row].number == number) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

const QString& ListTableModel::FoldedText(int row) const {
    static const QString none;
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row].folded : none;
}

int ListTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ListTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant ListTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size()) ||
        index.column() >= columns_) {
        return {};
    }
    const Row& row = rows_[index.row()];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return row.cells[index.column()];
        default:
            return CellDecoration(index.column(), role);
    }
}

QVariant ListTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) {
        return section < titles_.size() ? titles_[section] : QString();
    }
    if (role == Qt::InitialSortOrderRole) {  // the first click sorts A to Z, not Z to A
        return Qt::AscendingOrder;
    }
    return TitleDecoration(section, role);
}

bool ListTableModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                   int role) {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_ ||
        (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return false;
    }
    while (titles_.size() <= section) {
        titles_.push_back(QString());
    }
    titles_[section] = value.toString().trimmed();
    emit headerDataChanged(orientation, section, section);
    return true;
}

QVariant ListTableModel::CellDecoration(int, int) const {
    return {};
}

QVariant ListTableModel::TitleDecoration(int, int) const {
    return {};
}

}  // namespace dialvane
