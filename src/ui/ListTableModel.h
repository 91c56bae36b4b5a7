#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <string>
#include <vector>

namespace dialvane {

// The rows of one of the editor's lists: a copy of the records, by number, taken at each
// Refresh. The window refills it after every change, so the view never shows a record the dial
// model no longer holds.
class ListTableModel : public QAbstractTableModel {
  public:
    ListTableModel(int columns, QObject* parent);

    // Takes the records from the dial model again (a model reset: views drop their selection).
    void Refresh();

    int NumberAt(int row) const;
    int RowOf(int number) const;  // -1 when the number has no row
    // The row's cells as one case- and width-folded text, for the search.
    const QString& FoldedText(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The column titles come from the caption table, which sets them here.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role) override;

  protected:
    // The numbers of the records to show, in stored order, and the cells of one of them.
    virtual std::vector<int> Numbers() const = 0;
    virtual std::vector<std::string> Cells(int number) const = 0;
    // Colours of a cell or title beyond the text; none by default.
    virtual QVariant CellDecoration(int column, int role) const;
    virtual QVariant TitleDecoration(int section, int role) const;

  private:
    struct Row {
        int number = 0;
        QStringList cells;
        QString folded;
    };
    std::vector<Row> rows_;
    QStringList titles_;
    int columns_;
};

}  // namespace dialvane
