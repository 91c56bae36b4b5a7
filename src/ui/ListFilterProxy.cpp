#include "ui/ListFilterProxy.h"

#include "ui/ListTableModel.h"

namespace dialvane {

QString FoldForSearch(const QString& text) {
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    // Most names are plain ASCII; the list is refolded at every refill.
    return ascii ? text.toLower() : text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

ListFilterProxy::ListFilterProxy(ListTableModel* source, QObject* parent)
    : QSortFilterProxyModel(parent), list_(source) {
    setSourceModel(source);
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

void ListFilterProxy::SetSearch(const QString& text) {
    QString folded = FoldForSearch(text.trimmed());
    if (folded == folded_) {
        return;
    }
    folded_ = std::move(folded);
    invalidateRowsFilter();
}

int ListFilterProxy::NumberAt(int row) const {
    const QModelIndex shown = index(row, 0);
    return shown.isValid() ? list_->NumberAt(mapToSource(shown).row()) : 0;
}

int ListFilterProxy::RowOf(int number) const {
    const int sourceRow = list_->RowOf(number);
    if (sourceRow < 0) {
        return -1;
    }
    const QModelIndex shown = mapFromSource(list_->index(sourceRow, 0));
    return shown.isValid() ? shown.row() : -1;
}

bool ListFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    return folded_.isEmpty() || list_->FoldedText(sourceRow).contains(folded_);
}

bool ListFilterProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const int leftNumber = list_->NumberAt(left.row());
    const int rightNumber = list_->NumberAt(right.row());
    if (left.column() != 0) {
        const int order = collator_.compare(left.data().toString(), right.data().toString());
        if (order != 0) {
            return order < 0;
        }
    }
    // Equal texts keep the stored order, so a sort never shuffles them.
    return leftNumber < rightNumber;
}

}  // namespace dialvane
