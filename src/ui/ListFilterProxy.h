#pragma once

#include <QCollator>
#include <QSortFilterProxyModel>

namespace dialvane {

class ListTableModel;

// A text as the search compares it: compatibility forms folded (full-width "ＳＡＬＥＳ" and
// half-width "ｾｰﾙｽ" read as "SALES" and "セールス") and case folded.
QString FoldForSearch(const QString& text);

// One of the editor's lists as the view shows it: only the records whose cells hold the search
// text, sorted by the clicked column: keys by number, texts in the locale's order.
class ListFilterProxy : public QSortFilterProxyModel {
  public:
    ListFilterProxy(ListTableModel* source, QObject* parent);

    void SetSearch(const QString& text);
    // The record number behind a row of the view; 0 when there is none.
    int NumberAt(int row) const;
    // The view's row of a record; -1 when it has none or the search hides it.
    int RowOf(int number) const;
    ListTableModel* List() const { return list_; }

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

  private:
    ListTableModel* list_;
    QString folded_;
    QCollator collator_;
};

}  // namespace dialvane
