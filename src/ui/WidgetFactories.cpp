#include "ui/WidgetFactories.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTableView>
#include <algorithm>

#include "ui/CaptionHelpers.h"
#include "ui/CaptionTables.h"
#include "ui/ChoiceListModel.h"
#include "ui/ListFilterProxy.h"
#include "ui/TextPlacement.h"

namespace dialvane {

void ShadowLabel(QLabel* label, int count, const QColor& base) {
    if (label == nullptr || label->parentWidget() == nullptr) {
        return;
    }
    QWidget* parent = label->parentWidget();
    for (int i = 0; i < count; ++i) {
        const QString name = label->objectName() + QString::number(i);
        const QList<QLabel*> old = parent->findChildren<QLabel*>(name, Qt::FindDirectChildrenOnly);
        for (QLabel* previous : old) {
            previous->hide();
            previous->setParent(nullptr);
            previous->deleteLater();
        }
        auto* copy = new QLabel(label->text(), parent);
        copy->setObjectName(name);
        copy->setAlignment(label->alignment());
        copy->setIndent(label->indent());
        copy->setMargin(label->margin());
        copy->setContentsMargins(label->contentsMargins());
        copy->setFont(label->font());
        copy->setAttribute(Qt::WA_TranslucentBackground);
        copy->setAutoFillBackground(false);
        copy->setAttribute(Qt::WA_TransparentForMouseEvents);
        QPalette palette = label->palette();
        QPoint offset(0, 0);
        if (i < count - 1) {
            const int add = (count - i) * 12;
            palette.setColor(QPalette::WindowText, QColor(std::min(255, base.red() + add),
                                                          std::min(255, base.green() + add),
                                                          std::min(255, base.blue() + add)));
            offset = QPoint(i + 1, i + 1);
        }
        copy->setPalette(palette);
        copy->setGeometry(label->geometry().translated(offset));
        copy->show();
        copy->raise();
    }
    // The label itself is drawn by its last copy.
    label->lower();
}

void ComboHistory(QComboBox* combo, std::vector<std::string>& list, int max, int mode) {
    if (combo == nullptr) {
        return;
    }
    const QString text = combo->currentText();
    auto store = [&] {
        list.clear();
        for (int i = 0; i < combo->count(); ++i) {
            list.push_back(S(combo->itemText(i)));
        }
    };
    if (mode == 0) {
        combo->clear();
        for (const std::string& entry : list) {
            combo->addItem(Q(entry));
        }
        if (combo->isEditable()) {
            combo->setEditText(text);
        }
    } else if (mode == 1) {
        if (text.isEmpty()) {
            return;
        }
        const int present = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (present >= 0) {
            combo->removeItem(present);
        }
        if (max >= 1 && combo->count() >= max) {
            combo->removeItem(max - 1);
        }
        while (max >= 1 && combo->count() >= max) {
            combo->removeItem(combo->count() - 1);
        }
        combo->insertItem(0, text);
        store();
    } else {
        store();
    }
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        combo->setCurrentIndex(index);
    }
}

QLabel* AddPanelHead(QBoxLayout* layout, const char* headName, const char* titleName) {
    auto* head = new QWidget(layout->parentWidget());
    head->setObjectName(headName);
    head->setStyleSheet(QString("QWidget#%1 { background: #0a246a; }").arg(headName));
    head->setMinimumHeight(32);
    auto* headLayout = new QHBoxLayout(head);
    headLayout->setContentsMargins(10, 5, 10, 5);
    auto* title = new QLabel(head);
    title->setObjectName(titleName);
    title->setStyleSheet("color: yellow; font-weight: bold; font-size: 21px;");
    headLayout->addWidget(title);
    layout->addWidget(head);
    return title;
}

QTableView* MakeSelectionGrid(QWidget* parent, const char* name) {
    auto* grid = new QTableView(parent);
    grid->setObjectName(QLatin1String(name));
    grid->setModel(new ListFilterProxy(new ChoiceListModel(3, grid), grid));
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    StyleGridTitles(grid);
    grid->setColumnWidth(1, 200);
    return grid;
}

ListFilterProxy* SelectionView(const QTableView* grid) {
    return static_cast<ListFilterProxy*>(grid->model());
}

ChoiceListModel* SelectionChoices(const QTableView* grid) {
    return static_cast<ChoiceListModel*>(SelectionView(grid)->List());
}

QLineEdit* MakeSearchField(QWidget* parent, const char* name) {
    auto* search = new QLineEdit(parent);
    search->setObjectName(QLatin1String(name));
    search->setClearButtonEnabled(true);
    search->setPlaceholderText(Q(Msg::SpeedListSearchHint));
    // Ctrl+F anywhere in the dialog puts the cursor in its search, as in the main window.
    auto* find = new QShortcut(QKeySequence::Find, search);
    QObject::connect(find, &QShortcut::activated, search, [search] {
        search->setFocus(Qt::ShortcutFocusReason);
        search->selectAll();
    });
    return search;
}

void StyleGridTitles(QTableView* grid) {
    grid->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: yellow; color: #1a1a1a; }"));
}

void SelectViewRow(QTableView* grid, int row) {
    const QModelIndex index = grid->model()->index(row, 0);
    grid->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid->scrollTo(index);
}

}  // namespace dialvane
