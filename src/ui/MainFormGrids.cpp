// The speed-dial and group grids of the editor and their add, edit and delete commands.
#include <QApplication>
#include <QHeaderView>
#include <QPalette>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <functional>

#include "data/ModeMessages.h"
#include "data/ProductInfo.h"
#include "data/RecordKey.h"
#include "data/RecordTable.h"
#include "support/Messages.h"
#include "ui/CaptionHelpers.h"
#include "ui/EditForm.h"
#include "ui/EditFormGroup.h"
#include "ui/MainForm.h"

namespace dialvane {
namespace {

// Records in a grid: its rows count the title row too, as the buttons' rules do.
int GridRows(const QTableWidget* grid) {
    return grid->rowCount() + 1;
}

// A column is as wide as designed, or wider when its title needs it.
int ColumnWidth(const QFontMetrics& metrics, int designed, const QStringList& titles, int column) {
    const QString title = column < titles.size() ? titles[column] : QString();
    return std::max(designed, metrics.horizontalAdvance(title) + 16);
}

void SetRow(QTableWidget* grid, int row, const std::vector<std::string>& cells) {
    for (int column = 0; column < grid->columnCount(); ++column) {
        std::string text = column < static_cast<int>(cells.size()) ? cells[column] : std::string();
        grid->setItem(row, column, new QTableWidgetItem(QString::fromStdString(text)));
    }
}

void SelectRow(QTableWidget* grid, int row) {
    if (row >= 0 && row < grid->rowCount()) {
        grid->setCurrentCell(row, 0);
        grid->selectRow(row);
    }
}

// One row per record number (a blank row when there is none), then the selection: -1 keeps the
// row index (the last row when it is gone), 0 takes the last row, a number that record's row.
void FillRows(QTableWidget* grid, const std::vector<int>& numbers,
              const std::function<std::vector<std::string>(int)>& cells, int select) {
    const int remembered = grid->currentRow();
    grid->setRowCount(std::max<int>(1, numbers.size()));
    if (numbers.empty()) {
        SetRow(grid, 0, {});
    }
    for (size_t row = 0; row < numbers.size(); ++row) {
        SetRow(grid, static_cast<int>(row), cells(numbers[row]));
    }
    const int last = grid->rowCount() - 1;
    if (select == -1) {
        SelectRow(grid, remembered >= 0 && remembered <= last ? remembered : last);
    } else if (select == 0) {
        SelectRow(grid, last);
    } else {
        const auto found = std::find(numbers.begin(), numbers.end(), select);
        if (found != numbers.end()) {
            SelectRow(grid, static_cast<int>(found - numbers.begin()));
        }
    }
}

// A group is shown when its row has a key or it has members; a deleted group keeps its number
// but has neither.
bool GroupUsed(const DialModel& model, int group) {
    return !model.groupDisplay[group].key.empty() ||
           (model.groups[group].number != 0 && !model.groups[group].members.empty());
}

int SelectedRow(const QTableWidget* grid) {
    int row = grid->currentRow();
    return row < 0 ? 0 : row;
}

}  // namespace

void TMainForm::Speed_Page_Init() {
    QFontMetrics metrics(SFG_Speed->font());
    QStringList titles = CommaList(Text(Msg::MainSpeedColumns4));
    SFG_Speed->setColumnCount(4);
    SFG_Speed->setHorizontalHeaderLabels(titles);
    int first =
        std::max(metrics.horizontalAdvance("S000"), metrics.horizontalAdvance(titles[0])) + 5;
    const int widths[4] = {first + 10, 130, 80, 130};
    for (int column = 0; column < 4; ++column) {
        SFG_Speed->setColumnWidth(column, ColumnWidth(metrics, widths[column], titles, column));
    }
    SFG_Speed->verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
    SFG_Speed->scrollToTop();
    Speed_Grid_Set(-1);
    if (GridDataRows(SFG_Speed) == 0 && BTN_Speed_Add->isEnabled()) {
        BTN_Speed_Add->setFocus();
    }
}

void TMainForm::Group_Page_Init() {
    QFontMetrics metrics(SFG_Group->font());
    QStringList titles = CommaList(Text(Msg::MainGroupColumns));
    SFG_Group->setColumnCount(3);
    SFG_Group->setHorizontalHeaderLabels(titles);
    int first =
        std::max(metrics.horizontalAdvance("G00"), metrics.horizontalAdvance(titles[0])) + 5;
    const int widths[3] = {first + 10, 150, 300};
    for (int column = 0; column < 3; ++column) {
        SFG_Group->setColumnWidth(column, ColumnWidth(metrics, widths[column], titles, column));
    }
    SFG_Group->verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
    SFG_Group->scrollToTop();
    for (int group = 1; group <= kMaxGroups; ++group) {
        if (GroupUsed(model_, group)) {
            model_.groupDisplay[group].recordText = model_.GroupRecordText(group);
        }
    }
    Group_Grid_Set(-1);
    if (GridDataRows(SFG_Group) == 0 && BTN_Group_Add->isEnabled()) {
        BTN_Group_Add->setFocus();
    }
}

void TMainForm::Speed_Grid_Set(int select) {
    if (!editorShown_) {
        return;
    }
    // Products without search keywords show that column as a blank band.
    QColor band = palette().color(QPalette::Disabled, QPalette::WindowText);
    if (QTableWidgetItem* title = SFG_Speed->horizontalHeaderItem(2)) {
        title->setForeground(product_->NoKeyword() ? band : palette().color(QPalette::WindowText));
    }
    std::vector<int> numbers;
    for (int number = 1; number <= kMaxSpeedDials; ++number) {
        if (!model_.speedDials[number].key.empty()) {
            numbers.push_back(number);
        }
    }
    FillRows(
        SFG_Speed, numbers,
        [this](int number) {
            const SpeedDialEntry& entry = model_.speedDials[number];
            return std::vector<std::string>{entry.key, entry.name, entry.keyword, entry.faxNumber};
        },
        select);
    for (int row = 0; row < SFG_Speed->rowCount(); ++row) {
        if (QTableWidgetItem* cell = SFG_Speed->item(row, 2); cell && product_->NoKeyword()) {
            cell->setBackground(band);
        }
    }
    for (QPushButton* button : {BTN_Speed_Edit, BTN_Speed_Del, BTN_Speed_Add}) {
        Button_Enabled_Set(button);
    }
    Menu_Enabled_Set();
}

void TMainForm::Group_Grid_Set(int select) {
    if (!editorShown_) {
        return;
    }
    std::vector<int> numbers;
    for (int group = 1; group <= kMaxGroups; ++group) {
        if (GroupUsed(model_, group)) {
            numbers.push_back(group);
        }
    }
    FillRows(
        SFG_Group, numbers,
        [this](int group) {
            const GroupDisplay& display = model_.groupDisplay[group];
            std::string key = display.key.empty() ? FormatRecordKey('G', group) : display.key;
            std::string name = display.name.empty() ? model_.groups[group].name : display.name;
            return std::vector<std::string>{key, name, model_.GroupRecordText(group)};
        },
        select);
    for (QPushButton* button : {BTN_Group_Edit, BTN_Group_Del, BTN_Group_Add}) {
        Button_Enabled_Set(button);
    }
    Menu_Enabled_Set();
}

void TMainForm::Button_Enabled_Set(QPushButton* button) {
    bool enabled = false;
    if (button == BTN_Speed_Edit || button == BTN_Speed_Del) {
        enabled = GridDataRows(SFG_Speed) > 0;
    } else if (button == BTN_Speed_Add) {
        enabled = GridRows(SFG_Speed) <= product_->SpeedDial();
    } else if (button == BTN_Group_Edit || button == BTN_Group_Del) {
        enabled = GridDataRows(SFG_Group) > 0;
    } else if (button == BTN_Group_Add) {
        enabled = GridRows(SFG_Group) < kMaxGroups + 1;
    }
    button->setEnabled(enabled);
}

void TMainForm::GridCommand(int tag) {
    Undoable(UndoNameOf(tag), [this, tag] { RunGridCommand(tag); });
}

void TMainForm::RunGridCommand(int tag) {
    editOperation_ = tag % 10 == 0   ? EditOperationKind::Edit
                     : tag % 10 == 1 ? EditOperationKind::Delete
                                     : EditOperationKind::Add;
    switch (tag) {
        case 10:
            Speed_Edit();
            break;
        case 11:
            Speed_Del();
            break;
        case 12:
            Speed_Add();
            break;
        case 20:
            Group_Edit();
            break;
        case 21:
            Group_Del();
            break;
        case 22:
            Group_Add();
            break;
        default:
            break;
    }
}

bool TMainForm::RunSpeedDialog(SpeedDialEntry& buffer) {
    if (hooks_.editSpeedDial) {
        return hooks_.editSpeedDial(editOperation_, buffer);
    }
    const EditOperationKind mode =
        editOperation_ == EditOperationKind::Add ? EditOperationKind::Add : EditOperationKind::Edit;
    QString opener =
        activeControl_ != nullptr ? activeControl_->property("text").toString() : QString();
    return editForm_->Execute(mode, buffer, model_, *product_, opener);
}

bool TMainForm::RunGroupDialog(GroupDisplay& buffer) {
    if (hooks_.editGroup) {
        return hooks_.editGroup(editOperation_, buffer, model_);
    }
    const EditOperationKind mode =
        editOperation_ == EditOperationKind::Add ? EditOperationKind::Add : EditOperationKind::Edit;
    QString opener =
        activeControl_ != nullptr ? activeControl_->property("text").toString() : QString();
    return editFormGroup_->Execute(mode, buffer, model_, opener);
}

void TMainForm::Speed_Edit() {
    const QTableWidgetItem* key = SFG_Speed->item(SelectedRow(SFG_Speed), 0);
    char letter = 0;
    int number = 0;
    if (key == nullptr || !ParseRecordKey(key->text().toStdString(), letter, number) ||
        number < 1 || number > kMaxSpeedDials) {
        return;
    }
    SpeedDialEntry buffer = model_.speedDials[number];
    if (!RunSpeedDialog(buffer)) {
        return;
    }
    model_.modified.speedDials = true;
    model_.speedDials[number] = buffer;
    SetRow(SFG_Speed, SelectedRow(SFG_Speed),
           {buffer.key, buffer.name, buffer.keyword, buffer.faxNumber});
    Speed_Grid_Set(-1);
}

void TMainForm::Speed_Add() {
    SpeedDialEntry buffer;
    buffer.key.clear();
    if (GridDataRows(SFG_Speed) > 0) {
        const QTableWidgetItem* key = SFG_Speed->item(SelectedRow(SFG_Speed), 0);
        char letter = 0;
        int number = 0;
        if (key != nullptr && ParseRecordKey(key->text().toStdString(), letter, number) &&
            number >= 1 && number <= kMaxSpeedDials) {
            buffer = model_.speedDials[number];
        }
    }
    if (!RunSpeedDialog(buffer)) {
        return;
    }
    char letter = 0;
    int number = 0;
    if (!ParseRecordKey(buffer.key, letter, number) || number < 1 || number > kMaxSpeedDials) {
        return;
    }
    model_.modified.speedDials = true;
    model_.speedDials[number] = buffer;
    Speed_Grid_Set(-1);
}

std::string TMainForm::ButtonName(int binding) const {
    if (product_->OneTouch()) {
        const Msg labels[3] = {Msg::MainLabelOneA, Msg::MainLabelOneB, Msg::MainLabelOneC};
        return binding >= 1 && binding <= 3 ? Text(labels[binding - 1]) : std::string();
    }
    return Text(Msg::MainQuickDialName) + std::to_string(binding);
}

std::string TMainForm::BindingReferences(const std::string& key) const {
    std::string lines;
    for (int binding = 1; binding <= kMaxBindings; ++binding) {
        if (model_.bindings[binding] == key) {
            if (lines.empty()) {
                lines = "\r\n" + ModeText(ModeMessage::TargetInUse, product_->OneTouch()) + "\r\n";
            }
            lines += "  " + ButtonName(binding) + "\r\n";
        }
    }
    return lines;
}

bool TMainForm::AskDeletion(const std::string& question) {
    PromptRequest request;
    request.text = question + "\r\n" + Text(Msg::OkToDelete);
    request.title = Text(Msg::ConfirmDeletionCaption);
    request.buttons = PromptButtons::YesNo;
    request.icon = PromptIcon::Warning;
    request.defaultAnswer = PromptAnswer::No;
    return prompt_->Ask(request) == PromptAnswer::Yes;
}

void TMainForm::Speed_Del() {
    const QTableWidgetItem* keyItem = SFG_Speed->item(SelectedRow(SFG_Speed), 0);
    char letter = 0;
    int number = 0;
    if (keyItem == nullptr || !ParseRecordKey(keyItem->text().toStdString(), letter, number) ||
        number < 1 || number > kMaxSpeedDials) {
        return;
    }
    SpeedDialEntry& entry = model_.speedDials[number];
    std::string question = Text(Msg::DeleteRecordLine, TabCtrl->tabText(0).toStdString(),
                                FormatRecordKey('s', number), entry.name, entry.faxNumber) +
                           "\r\n";
    question += BindingReferences(entry.key);
    std::vector<int> groups;
    for (int group = 1; group <= kMaxGroups; ++group) {
        if (model_.TestMembership(number, group)) {
            if (groups.empty()) {
                question += "\r\n" + Text(Msg::UsedByGroups) + "\r\n";
            }
            question +=
                "  " + FormatRecordKey('g', group) + ":" + model_.groups[group].name + "\r\n";
            groups.push_back(group);
        }
    }
    if (!AskDeletion(question)) {
        return;
    }
    model_.modified.speedDials = true;
    entry.key.clear();
    for (int group : groups) {
        model_.RemoveMember(group, 'S', number);
    }
    entry = SpeedDialEntry{};
    entry.key.clear();
    Speed_Grid_Set(-1);
    ClearBindingsOf('S', number);
}

void TMainForm::Group_Edit() {
    const QTableWidgetItem* key = SFG_Group->item(SelectedRow(SFG_Group), 0);
    char letter = 0;
    int number = 0;
    if (key == nullptr || !ParseRecordKey(key->text().toStdString(), letter, number) ||
        number < 1 || number > kMaxGroups) {
        return;
    }
    GroupDisplay buffer = model_.groupDisplay[number];
    buffer.key = FormatRecordKey('G', number);
    buffer.name = model_.groups[number].name;
    buffer.recordText = model_.GroupRecordText(number);
    RunGroupDialog(buffer);
    // The dialog changes the model itself, also when it is left without saving.
    Group_Grid_Set(-1);
}

void TMainForm::Group_Add() {
    GroupDisplay buffer;
    if (!RunGroupDialog(buffer)) {
        Group_Grid_Set(-1);
        return;
    }
    model_.modified.groups = true;
    Group_Grid_Set(0);
}

void TMainForm::Group_Del() {
    const QTableWidgetItem* keyItem = SFG_Group->item(SelectedRow(SFG_Group), 0);
    char letter = 0;
    int number = 0;
    if (keyItem == nullptr || !ParseRecordKey(keyItem->text().toStdString(), letter, number) ||
        number < 1 || number > kMaxGroups) {
        return;
    }
    std::string key = FormatRecordKey('G', number);
    std::string question =
        Text(Msg::DeleteRecordLine, TabCtrl->tabText(1).toStdString(), FormatRecordKey('g', number),
             model_.groups[number].name, model_.GroupRecordText(number)) +
        "\r\n";
    question += BindingReferences(key);
    if (!AskDeletion(question)) {
        return;
    }
    model_.modified.groups = true;
    // The bindings are cleared below with the message, so check them before the model does.
    std::array<std::string, kMaxBindings + 1> before = model_.bindings;
    model_.DeleteGroup(number);
    model_.ResetGroup(number);
    model_.bindings = before;
    Group_Grid_Set(-1);
    ClearBindingsOf('G', number);
}

void TMainForm::ClearBindingsOf(char letter, int number) {
    std::string key = FormatRecordKey(letter, number);
    std::string names;
    for (int binding = 1; binding <= kMaxBindings; ++binding) {
        if (model_.bindings[binding] != key) {
            continue;
        }
        model_.bindings[binding].clear();
        if (!names.empty()) {
            names += ", ";
        }
        names += product_->OneTouch() ? ButtonName(binding) : std::to_string(binding);
    }
    if (names.empty()) {
        return;
    }
    std::string text = Text(Msg::ClearBindings, names);
    if (!product_->OneTouch()) {
        text = Text(Msg::QuickDialPrefix) + text;
    }
    PromptRequest request;
    request.text = text;
    request.title = Text(Msg::ConfirmCaption);
    request.icon = PromptIcon::Information;
    prompt_->Ask(request);
}

}  // namespace dialvane
