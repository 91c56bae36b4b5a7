#include "ui/OneTuchInpForm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "support/Messages.h"
#include "ui/BindingText.h"
#include "ui/CaptionHelpers.h"

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
    SFG_Inport = MakeSelectionGrid(GB_Inport, "SFG_Inport");
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
        const QTableWidgetItem* title = SFG_Inport->horizontalHeaderItem(column);
        return title ? metrics.horizontalAdvance(title->text()) + 5 + 10 : 0;
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
    connect(SFG_Inport, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        SFG_Inport->setCurrentCell(row, 0);
        if (BTN_OK->isEnabled()) {
            BtnOkClick();
        }
    });
    connect(SFG_Inport, &QTableWidget::currentCellChanged, this, [this] { UpdateOk(); });
    connect(SFG_Inport, &QTableWidget::itemSelectionChanged, this, [this] { UpdateOk(); });
}

int TOneTuchInpForm::ColumnsWidth() const {
    return SFG_Inport->columnWidth(0) + SFG_Inport->columnWidth(1) + SFG_Inport->columnWidth(2);
}

void TOneTuchInpForm::Fill(const DialModel& model, const std::string& binding) {
    const std::vector<SelectionRow> rows = SelectionRows(model);
    SFG_Inport->setRowCount(std::max<int>(1, rows.size()));
    int current = -1;
    for (int row = 0; row < SFG_Inport->rowCount(); ++row) {
        const SelectionRow cells = row < static_cast<int>(rows.size()) ? rows[row] : SelectionRow{};
        const std::string* texts[3] = {&cells.key, &cells.name, &cells.record};
        for (int column = 0; column < 3; ++column) {
            SFG_Inport->setItem(row, column, new QTableWidgetItem(Q(*texts[column])));
        }
        if (!binding.empty() && cells.key == binding) {
            current = row;
        }
    }
    // The dialog opens on what the button is bound to, or on no row at all, so Enter alone
    // never binds the button to something the user did not choose.
    SFG_Inport->clearSelection();
    SFG_Inport->setCurrentCell(current, current >= 0 ? 0 : -1);
    if (current >= 0) {
        SFG_Inport->selectRow(current);
        SFG_Inport->scrollToItem(SFG_Inport->item(current, 0));
    }
    UpdateOk();
}

int TOneTuchInpForm::ChosenRow() const {
    // Focus alone makes a row current without selecting it; only a selected row is chosen.
    const int row = SFG_Inport->currentRow();
    return row >= 0 && SFG_Inport->selectionModel()->isRowSelected(row, {}) ? row : -1;
}

void TOneTuchInpForm::UpdateOk() {
    // Only a row with a key can be bound; the blank row of an empty list cannot.
    const QTableWidgetItem* key = SFG_Inport->item(ChosenRow(), 0);
    BTN_OK->setEnabled(key != nullptr && !key->text().isEmpty());
}

void TOneTuchInpForm::BtnOkClick() {
    const int row = ChosenRow();
    SelectionRow chosen;
    std::string* cells[3] = {&chosen.key, &chosen.name, &chosen.record};
    for (int column = 0; column < 3; ++column) {
        if (const QTableWidgetItem* item = SFG_Inport->item(row, column)) {
            *cells[column] = S(item->text());
        }
    }
    if (chosen.key.empty()) {
        return;
    }
    selection_ = SelectionText(chosen);
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
