#include "ui/OneTuchInpForm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "support/Messages.h"
#include "ui/BindingText.h"
#include "ui/CaptionHelpers.h"
#include "ui/ChoiceListModel.h"
#include "ui/ListFilterProxy.h"
#include "ui/ListKeys.h"
#include "ui/WidgetFactories.h"

namespace dialvane {

TOneTuchInpForm::TOneTuchInpForm(QWidget* parent) : QDialog(parent) {
    setObjectName("OneTuchInpForm");
    setModal(true);
    if (parent != nullptr) {
        setFont(parent->font());
    }
    auto* outer = new QVBoxLayout(this);
    GB_Inport = new QGroupBox(this);
    GB_Inport->setObjectName("GB_Inport");
    auto* inner = new QVBoxLayout(GB_Inport);
    EDT_Inport_Search = MakeSearchField(GB_Inport, "EDT_Inport_Search");
    inner->addWidget(EDT_Inport_Search);
    SFG_Inport = MakeSelectionGrid(GB_Inport, "SFG_Inport");
    SFG_Inport->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    SFG_Inport->setSortingEnabled(true);
    inner->addWidget(SFG_Inport);
    outer->addWidget(GB_Inport, 1);

    auto* bar = new QWidget(this);
    bar->setObjectName("PNL_BTN_Area");
    BTN_OK = new QPushButton(bar);
    BTN_OK->setObjectName("BTN_OK");
    BTN_Cancel = new QPushButton(bar);
    BTN_Cancel->setObjectName("BTN_Cancel");
    BTN_OK->setDefault(true);
    BTN_Cancel->setAutoDefault(false);
    outer->addWidget(bar);

    ApplyCaptions(this);
    ArrangeButtons(bar, kStandardRow);

    const QFontMetrics metrics(font());
    const auto titleWidth = [&](int column) {
        const QString title = SFG_Inport->model()->headerData(column, Qt::Horizontal).toString();
        return title.isEmpty() ? 0 : metrics.horizontalAdvance(title) + 5 + 10;
    };
    SFG_Inport->setColumnWidth(0,
                               std::max(metrics.horizontalAdvance("S000") + 5 + 10, titleWidth(0)));
    SFG_Inport->setColumnWidth(1, 200);
    // 100 pixels cut the title "Telephone Number/Record" in half; the column is at least as
    // wide as its title, and the dialog's width follows.
    SFG_Inport->setColumnWidth(2, std::max(100, titleWidth(2)));
    SFG_Inport->verticalHeader()->setDefaultSectionSize(metrics.height() + 4);

    connect(BTN_OK, &QPushButton::clicked, this, [this] { BtnOkClick(); });
    connect(BTN_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    // Enter and a double click choose, as OK does; Escape clears a search before it cancels.
    new ListKeys(SFG_Inport, EDT_Inport_Search,
                 {[this] {
                      if (BTN_OK->isEnabled()) {
                          BtnOkClick();
                      }
                  },
                  {},
                  {}});
    connect(EDT_Inport_Search, &QLineEdit::textChanged, this, [this](const QString& text) {
        SelectionView(SFG_Inport)->SetSearch(text);
        UpdateOk();
    });
    connect(SFG_Inport->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { UpdateOk(); });
    connect(SFG_Inport->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateOk(); });
}

int TOneTuchInpForm::ColumnsWidth() const {
    return SFG_Inport->columnWidth(0) + SFG_Inport->columnWidth(1) + SFG_Inport->columnWidth(2);
}

void TOneTuchInpForm::Fill(const DialModel& model, const std::string& binding) {
    const std::vector<SelectionRow> rows = SelectionRows(model);
    std::vector<ChoiceListModel::Choice> choices;
    int current = 0;
    for (const SelectionRow& row : rows) {
        // Numbered in the order listed, so sorting by the first column restores that order.
        choices.push_back({static_cast<int>(choices.size()) + 1, {row.key, row.name, row.record}});
        if (!binding.empty() && row.key == binding) {
            current = choices.back().number;
        }
    }
    EDT_Inport_Search->clear();
    SelectionChoices(SFG_Inport)->SetChoices(std::move(choices));
    // The dialog opens on what the button is bound to, or on no row at all, so Enter alone
    // never binds the button to something the user did not choose.
    SFG_Inport->selectionModel()->clear();
    const int row = SelectionView(SFG_Inport)->RowOf(current);
    if (row >= 0) {
        const QModelIndex index = SFG_Inport->model()->index(row, 0);
        SFG_Inport->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        SFG_Inport->scrollTo(index);
    }
    UpdateOk();
}

int TOneTuchInpForm::ChosenRow() const {
    // Focus alone makes a row current without selecting it; only a selected row is chosen.
    const QModelIndexList selected = SFG_Inport->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.front().row();
}

QString TOneTuchInpForm::CellAt(int row, int column) const {
    return SFG_Inport->model()->index(row, column).data().toString();
}

void TOneTuchInpForm::UpdateOk() {
    const int row = ChosenRow();
    BTN_OK->setEnabled(row >= 0 && !CellAt(row, 0).isEmpty());
}

void TOneTuchInpForm::BtnOkClick() {
    const int row = ChosenRow();
    if (row < 0 || CellAt(row, 0).isEmpty()) {
        return;
    }
    selection_ = SelectionText({S(CellAt(row, 0)), S(CellAt(row, 1)), S(CellAt(row, 2))});
    accept();
}

void TOneTuchInpForm::Open(const QString& target, const DialModel& model,
                           const std::string& current) {
    setWindowTitle(Q(Text(Msg::SelectFormCaption, S(target))));
    Fill(model, BindingFromDisplay(current));
    SFG_Inport->setFocus();
}

bool TOneTuchInpForm::Execute(const QString& target, const DialModel& model,
                              std::string& selection) {
    selection_ = selection;
    Open(target, model, selection);
    if (exec() != QDialog::Accepted) {
        return false;
    }
    selection = selection_;
    return true;
}

}  // namespace dialvane
