// The speed-dial and group grids of the editor and their add, edit and delete commands.
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <functional>

#include "data/ModeMessages.h"
#include "data/ProductInfo.h"
#include "data/RecordKey.h"
#include "data/RecordTable.h"
#include "support/Messages.h"
#include "ui/CaptionHelpers.h"
#include "ui/EditForm.h"
#include "ui/EditFormGroup.h"
#include "ui/GroupListModel.h"
#include "ui/ListFilterProxy.h"
#include "ui/ListKeys.h"
#include "ui/MainForm.h"
#include "ui/SpeedDialListModel.h"
#include "ui/WidgetFactories.h"

namespace dialvane {
namespace {

// A column is as wide as designed, or wider when its title needs it.
int ColumnWidth(const QFontMetrics& metrics, int designed, const QStringList& titles, int column) {
    const QString title = column < titles.size() ? titles[column] : QString();
    return std::max(designed, metrics.horizontalAdvance(title) + 16);
}

void SetTitles(QTableView* grid, const QStringList& titles) {
    for (int column = 0; column < titles.size(); ++column) {
        grid->model()->setHeaderData(column, Qt::Horizontal, titles[column]);
    }
}

}  // namespace

void TMainForm::AttachList(QTableView* grid, ListTableModel* list) {
    auto* view = new ListFilterProxy(list, grid);
    grid->setModel(view);
    grid->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    grid->setSortingEnabled(true);
    QLineEdit* search = grid == SFG_Speed ? EDT_Speed_Search : EDT_Group_Search;
    const int firstTag = grid == SFG_Speed ? 10 : 20;
    QPushButton* buttons[3] = {grid == SFG_Speed ? BTN_Speed_Edit : BTN_Group_Edit,
                               grid == SFG_Speed ? BTN_Speed_Del : BTN_Group_Del,
                               grid == SFG_Speed ? BTN_Speed_Add : BTN_Group_Add};
    // The keys act as the buttons do, and only while the button could be pressed.
    auto command = [this, buttons, firstTag](int offset) {
        return [this, buttons, firstTag, offset] {
            if (buttons[offset]->isEnabled()) {
                activeControl_ = buttons[offset];
                GridCommand(firstTag + offset);
            }
        };
    };
    new ListKeys(grid, search, {command(0), command(1), command(2)});
    connect(search, &QLineEdit::textChanged, this,
            [this, grid](const QString& text) { SearchChanged(grid, text); });
}

ListFilterProxy* TMainForm::ViewOf(const QTableView* grid) const {
    return static_cast<ListFilterProxy*>(grid->model());
}

int TMainForm::SelectedNumber(const QTableView* grid) const {
    const QModelIndexList rows = grid->selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : ViewOf(grid)->NumberAt(rows.front().row());
}

void TMainForm::SelectNumber(QTableView* grid, int number) {
    ListFilterProxy* view = ViewOf(grid);
    if (view->RowOf(number) < 0 && view->List()->RowOf(number) >= 0) {
        // A record the search hides would be selected unseen: show the whole list instead.
        (grid == SFG_Speed ? EDT_Speed_Search : EDT_Group_Search)->clear();
    }
    const int row = view->RowOf(number);
    if (row >= 0) {
        SelectViewRow(grid, row);
    }
}

void TMainForm::RefillList(QTableView* grid, int select) {
    ListFilterProxy* view = ViewOf(grid);
    const int before = SelectedNumber(grid);
    const QModelIndexList selected = grid->selectionModel()->selectedRows();
    const int beforeRow = selected.isEmpty() ? -1 : selected.front().row();
    view->List()->Refresh();
    const int rows = view->rowCount();
    if (rows == 0) {
        // An empty list has no row to show as selected.
        grid->selectionModel()->clear();
        return;
    }
    if (select > 0 && view->List()->RowOf(select) >= 0) {
        SelectNumber(grid, select);
        return;
    }
    int row = rows - 1;
    if (select != 0 && view->RowOf(before) >= 0) {
        row = view->RowOf(before);
    } else if (select != 0 && beforeRow >= 0) {
        // The selected record is gone: the one that took its place, else the one above.
        row = std::min(beforeRow, rows - 1);
    }
    SelectViewRow(grid, row);
}

void TMainForm::SearchChanged(QTableView* grid, const QString& text) {
    const int before = SelectedNumber(grid);
    ViewOf(grid)->SetSearch(text);
    if (ViewOf(grid)->RowOf(before) < 0 && ViewOf(grid)->rowCount() > 0) {
        SelectViewRow(grid, 0);
    }
    const bool speed = grid == SFG_Speed;
    for (QPushButton* button :
         {speed ? BTN_Speed_Edit : BTN_Group_Edit, speed ? BTN_Speed_Del : BTN_Group_Del}) {
        Button_Enabled_Set(button);
    }
}

void TMainForm::Speed_Page_Init() {
    QFontMetrics metrics(SFG_Speed->font());
    QStringList titles = CommaList(Text(Msg::MainSpeedColumns4));
    SetTitles(SFG_Speed, titles);
    int first =
        std::max(metrics.horizontalAdvance("S000"), metrics.horizontalAdvance(titles[0])) + 5;
    const int widths[4] = {first + 10, 130, 80, 130};
    for (int column = 0; column < 4; ++column) {
        SFG_Speed->setColumnWidth(column, ColumnWidth(metrics, widths[column], titles, column));
    }
    SFG_Speed->verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
    SFG_Speed->scrollToTop();
    Speed_Grid_Set(-1);
    if (speedList_->rowCount() == 0 && BTN_Speed_Add->isEnabled()) {
        BTN_Speed_Add->setFocus();
    }
}

void TMainForm::Group_Page_Init() {
    QFontMetrics metrics(SFG_Group->font());
    QStringList titles = CommaList(Text(Msg::MainGroupColumns));
    SetTitles(SFG_Group, titles);
    int first =
        std::max(metrics.horizontalAdvance("G00"), metrics.horizontalAdvance(titles[0])) + 5;
    const int widths[3] = {first + 10, 150, 300};
    for (int column = 0; column < 3; ++column) {
        SFG_Group->setColumnWidth(column, ColumnWidth(metrics, widths[column], titles, column));
    }
    SFG_Group->verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
    SFG_Group->scrollToTop();
    for (int group = 1; group <= kMaxGroups; ++group) {
        if (GroupListModel::Listed(model_, group)) {
            model_.groupDisplay[group].recordText = model_.GroupRecordText(group);
        }
    }
    Group_Grid_Set(-1);
    if (groupList_->rowCount() == 0 && BTN_Group_Add->isEnabled()) {
        BTN_Group_Add->setFocus();
    }
}

void TMainForm::Speed_Grid_Set(int select) {
    if (!editorShown_) {
        return;
    }
    // Products without search keywords show that column as a blank band.
    speedList_->SetKeywordBand(product_->NoKeyword(),
                               palette().color(QPalette::Disabled, QPalette::WindowText));
    RefillList(SFG_Speed, select);
    for (QPushButton* button : {BTN_Speed_Edit, BTN_Speed_Del, BTN_Speed_Add}) {
        Button_Enabled_Set(button);
    }
    Menu_Enabled_Set();
}

void TMainForm::Group_Grid_Set(int select) {
    if (!editorShown_) {
        return;
    }
    RefillList(SFG_Group, select);
    for (QPushButton* button : {BTN_Group_Edit, BTN_Group_Del, BTN_Group_Add}) {
        Button_Enabled_Set(button);
    }
    Menu_Enabled_Set();
}

void TMainForm::Button_Enabled_Set(QPushButton* button) {
    // Edit and Delete act on a record the list shows; Add on the records there are, shown or not.
    bool enabled = false;
    if (button == BTN_Speed_Edit || button == BTN_Speed_Del) {
        enabled = ViewOf(SFG_Speed)->rowCount() > 0;
    } else if (button == BTN_Speed_Add) {
        enabled = speedList_->rowCount() < product_->SpeedDial();
    } else if (button == BTN_Group_Edit || button == BTN_Group_Del) {
        enabled = ViewOf(SFG_Group)->rowCount() > 0;
    } else if (button == BTN_Group_Add) {
        enabled = groupList_->rowCount() < kMaxGroups;
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
    const int number = SelectedNumber(SFG_Speed);
    if (number < 1 || number > kMaxSpeedDials) {
        return;
    }
    SpeedDialEntry buffer = model_.speedDials[number];
    if (!RunSpeedDialog(buffer)) {
        return;
    }
    model_.modified.speedDials = true;
    model_.speedDials[number] = buffer;
    Speed_Grid_Set(-1);
}

void TMainForm::Speed_Add() {
    SpeedDialEntry buffer;
    buffer.key.clear();
    if (const int selected = SelectedNumber(SFG_Speed);
        selected >= 1 && selected <= kMaxSpeedDials) {
        buffer = model_.speedDials[selected];
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
    Speed_Grid_Set(number);
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
    const int number = SelectedNumber(SFG_Speed);
    if (number < 1 || number > kMaxSpeedDials) {
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
    const int number = SelectedNumber(SFG_Group);
    if (number < 1 || number > kMaxGroups) {
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
    std::array<bool, kMaxGroups + 1> listed{};
    for (int group = 1; group <= kMaxGroups; ++group) {
        listed[group] = GroupListModel::Listed(model_, group);
    }
    GroupDisplay buffer;
    if (!RunGroupDialog(buffer)) {
        Group_Grid_Set(-1);
        return;
    }
    model_.modified.groups = true;
    // The dialog registers the group itself: the new one is the group listed now and not before.
    int added = 0;
    for (int group = 1; group <= kMaxGroups && added == 0; ++group) {
        if (!listed[group] && GroupListModel::Listed(model_, group)) {
            added = group;
        }
    }
    char letter = 0;
    if (added == 0 && !ParseRecordKey(buffer.key, letter, added)) {
        added = 0;
    }
    Group_Grid_Set(added);
}

void TMainForm::Group_Del() {
    const int number = SelectedNumber(SFG_Group);
    if (number < 1 || number > kMaxGroups) {
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
