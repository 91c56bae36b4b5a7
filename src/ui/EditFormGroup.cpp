#include "ui/EditFormGroup.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "data/RecordKey.h"
#include "data/TextChecks.h"
#include "support/Prompt.h"
#include "support/TextUtil.h"
#include "ui/CaptionHelpers.h"
#include "ui/ChoiceListModel.h"
#include "ui/FieldLimit.h"
#include "ui/InputCheck.h"
#include "ui/ListFilterProxy.h"
#include "ui/ListKeys.h"
#include "ui/WidgetFactories.h"

namespace dialvane {

namespace {

bool AskYesNo(IPrompt& prompt, const std::string& text, Msg title) {
    return AskBox(prompt, text, title, PromptButtons::YesNo, PromptIcon::Warning) ==
           PromptAnswer::Yes;
}

// The number behind the grid's selected row, else behind its current row; 0 for none.
int SelectedNumber(const QTableView* grid) {
    const QModelIndexList selected = grid->selectionModel()->selectedRows();
    return SelectionView(grid)->NumberAt(selected.isEmpty() ? grid->currentIndex().row()
                                                            : selected.front().row());
}

}  // namespace

TEditForm_Group::TEditForm_Group(IPrompt& prompt, QWidget* parent, TextRules rules)
    : QDialog(parent), prompt_(prompt), rules_(rules) {
    setObjectName(QStringLiteral("EditForm_Group"));
    setModal(true);
    if (parent != nullptr) {
        setFont(parent->font());
    }
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 0);

    auto* header = new QGridLayout;
    LBL_Group_Num = new QLabel(this);
    LBL_Group_Num->setObjectName(QStringLiteral("LBL_Group_Num"));
    CB_Group_Num = new QComboBox(this);
    CB_Group_Num->setObjectName(QStringLiteral("CB_Group_Num"));
    CB_Group_Num->setMinimumWidth(MeasureWidth(CB_Group_Num));
    LBL_Group_Name = new QLabel(this);
    LBL_Group_Name->setObjectName(QStringLiteral("LBL_Group_Name"));
    CB_Group_Name = new QComboBox(this);
    CB_Group_Name->setObjectName(QStringLiteral("CB_Group_Name"));
    CB_Group_Name->setEditable(true);
    CB_Group_Name->setInsertPolicy(QComboBox::NoInsert);
    CB_Group_Name->setMinimumWidth(260);
    LBL_Group_Name_Used = new QLabel(this);
    LBL_Group_Name_Used->setObjectName(QStringLiteral("LBL_Group_Name_Used"));
    LimitField(CB_Group_Name->lineEdit(), NameMeasure(kNameMaxBytes), LBL_Group_Name_Used);
    header->addWidget(LBL_Group_Num, 0, 0);
    header->addWidget(CB_Group_Num, 0, 1, Qt::AlignLeft);
    header->addWidget(LBL_Group_Name, 1, 0);
    header->addWidget(CB_Group_Name, 1, 1);
    header->addWidget(LBL_Group_Name_Used, 1, 2);
    header->setColumnStretch(1, 1);
    outer->addLayout(header);

    GB_Group_Entry = new QGroupBox(this);
    GB_Group_Entry->setObjectName(QStringLiteral("GB_Group_Entry"));
    SFG_Edit_Group = MakeSelectionGrid(GB_Group_Entry, "SFG_Edit_Group");
    (new QVBoxLayout(GB_Group_Entry))->addWidget(SFG_Edit_Group);
    outer->addWidget(GB_Group_Entry, 1);

    auto* moves = new QHBoxLayout;
    BTN_Relese = new QPushButton(this);
    BTN_Relese->setObjectName(QStringLiteral("BTN_Relese"));
    BTN_Speed_Add = new QPushButton(this);
    BTN_Speed_Add->setObjectName(QStringLiteral("BTN_Speed_Add"));
    for (QPushButton* button : {BTN_Relese, BTN_Speed_Add}) {
        button->setAutoDefault(false);
    }
    moves->addStretch(1);
    moves->addWidget(BTN_Relese);
    moves->addWidget(BTN_Speed_Add);
    moves->addStretch(1);
    outer->addLayout(moves);

    GB_Speed = new QGroupBox(this);
    GB_Speed->setObjectName(QStringLiteral("GB_Speed"));
    EDT_Speed_Search = MakeSearchField(GB_Speed, "EDT_Speed_Search");
    SFG_Speed = MakeSelectionGrid(GB_Speed, "SFG_Speed");
    // Several speed dials can join the group in one step.
    SFG_Speed->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SFG_Speed->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    SFG_Speed->setSortingEnabled(true);
    auto* available = new QVBoxLayout(GB_Speed);
    available->addWidget(EDT_Speed_Search);
    available->addWidget(SFG_Speed);
    // Only the search's own keys: Enter and Escape in the grids keep the dialog's meaning.
    new ListKeys(SFG_Speed, EDT_Speed_Search, {});
    // The member area takes half of the height between the header and the buttons.
    outer->addWidget(GB_Speed, 1);

    PNL_BTN_Area = new QWidget(this);
    PNL_BTN_Area->setObjectName(QStringLiteral("PNL_BTN_Area"));
    BTN_OK = new QPushButton(PNL_BTN_Area);
    BTN_OK->setObjectName(QStringLiteral("BTN_OK"));
    BTN_Cancel = new QPushButton(PNL_BTN_Area);
    BTN_Cancel->setObjectName(QStringLiteral("BTN_Cancel"));
    BTN_OK->setDefault(true);
    BTN_Cancel->setAutoDefault(false);
    outer->addWidget(PNL_BTN_Area);

    ApplyCaptions(this);
    ArrangeButtons(PNL_BTN_Area, kStandardRow);
    for (QPushButton* button : {BTN_Relese, BTN_Speed_Add}) {
        button->setMinimumWidth(std::max(kMinButtonWidth, MeasureWidth(button)));
        button->setMinimumHeight(MeasureHeight(button));
    }
    FitColumns();
    resize(520, 560);

    connect(BTN_OK, &QPushButton::clicked, this, &TEditForm_Group::BtnOkClick);
    connect(BTN_Cancel, &QPushButton::clicked, this, &TEditForm_Group::reject);
    connect(BTN_Speed_Add, &QPushButton::clicked, this, &TEditForm_Group::AddMember);
    connect(BTN_Relese, &QPushButton::clicked, this, &TEditForm_Group::RemoveMember);
    connect(CB_Group_Num, &QComboBox::currentIndexChanged, this, &TEditForm_Group::NumberChanged);
    connect(EDT_Speed_Search, &QLineEdit::textChanged, this, &TEditForm_Group::SearchChanged);
}

bool TEditForm_Group::Execute(EditOperationKind mode, GroupDisplay& buffer, DialModel& model,
                              const QString& opener) {
    Open(mode, buffer, model, opener);
    if (exec() != QDialog::Accepted) {
        return false;
    }
    buffer = buffer_;
    return true;
}

void TEditForm_Group::Open(EditOperationKind mode, const GroupDisplay& buffer, DialModel& model,
                           const QString& opener) {
    mode_ = mode;
    model_ = &model;
    buffer_ = buffer;
    number_ = 0;
    char letter = 0;
    int number = 0;
    if (!buffer_.key.empty() && ParseRecordKey(buffer_.key, letter, number) && number >= 1 &&
        number <= kMaxGroups) {
        number_ = number;
    }

    const QSignalBlocker block(CB_Group_Num);
    CB_Group_Num->clear();
    if (mode_ == EditOperationKind::Add) {
        for (int g = 1; g <= kMaxGroups; ++g) {
            const GroupDialEntry& group = model.groups[g];
            if (group.number == 0 || group.members.empty()) {
                CB_Group_Num->addItem(Q(FormatRecordKey('g', g)), g);
            }
        }
        number_ = CB_Group_Num->count() > 0 ? CB_Group_Num->itemData(0).toInt() : 0;
        buffer_.mask.assign(kMaxGroups, '0');
        CB_Group_Name->clear();
        for (const std::string& name : recentNames_) {
            CB_Group_Name->addItem(Q(name));
        }
    } else {
        CB_Group_Num->addItem(Q(FormatRecordKey('g', number_)), number_);
        CB_Group_Name->clear();
    }
    CB_Group_Num->setCurrentIndex(CB_Group_Num->count() > 0 ? 0 : -1);
    CB_Group_Name->setEditText(Q(buffer_.name));

    if (number_ != 0) {
        saved_ = model.groups[number_];
        savedDisplay_ = model.groupDisplay[number_];
    } else {
        saved_ = GroupDialEntry{};
        savedDisplay_ = GroupDisplay{};
    }
    GB_Group_Entry->setEnabled(true);
    GB_Speed->setEnabled(true);
    {
        const QSignalBlocker quiet(EDT_Speed_Search);
        EDT_Speed_Search->clear();
        SelectionView(SFG_Speed)->SetSearch({});
    }

    ApplyCaptions(this);
    FitColumns();
    setWindowTitle(windowTitle() + QStringLiteral(" [") + opener + QStringLiteral("]"));
    FillGrids(0, 0);
    CB_Group_Name->setFocus();
}

std::vector<int> TEditForm_Group::AvailableSpeedDials() const {
    std::vector<int> dials;
    if (number_ == 0) {
        return dials;
    }
    const auto& members = model_->groups[number_].members;
    for (int s = 1; s <= kMaxSpeedDials; ++s) {
        const bool member = std::any_of(members.begin(), members.end(), [s](const GroupMember& m) {
            return m.kind == 'S' && m.number == s;
        });
        if (model_->SpeedDialUsed(s) && !member) {
            dials.push_back(s);
        }
    }
    return dials;
}

void TEditForm_Group::FillGrid(QTableView* grid, const DialModel& model,
                               const std::vector<int>& dials, int selectedRow) {
    std::vector<ChoiceListModel::Choice> choices;
    for (const int dial : dials) {
        const SpeedDialEntry& entry = model.speedDials[dial];
        choices.push_back({dial, {FormatRecordKey('S', dial), entry.name, entry.faxNumber}});
    }
    SelectionChoices(grid)->SetChoices(std::move(choices));
    grid->selectionModel()->clear();
    const int rows = grid->model()->rowCount();
    if (rows > 0) {
        SelectViewRow(grid, std::clamp(selectedRow, 0, rows - 1));
    }
}

void TEditForm_Group::SearchChanged(const QString& text) {
    SelectionView(SFG_Speed)->SetSearch(text);
    if (SFG_Speed->selectionModel()->selectedRows().isEmpty() &&
        SFG_Speed->model()->rowCount() > 0) {
        SelectViewRow(SFG_Speed, 0);
    }
}

void TEditForm_Group::FillGrids(int memberRow, int availableRow) {
    std::vector<int> members;
    if (number_ != 0) {
        for (const GroupMember& member : model_->groups[number_].members) {
            if (member.kind == 'S') {
                members.push_back(member.number);
            }
        }
    }
    FillGrid(SFG_Edit_Group, *model_, members, memberRow);
    FillGrid(SFG_Speed, *model_, AvailableSpeedDials(), availableRow);
    UpdateButtons();
}

void TEditForm_Group::UpdateButtons() {
    const int count = number_ != 0 ? static_cast<int>(model_->groups[number_].members.size()) : 0;
    BTN_Relese->setEnabled(GB_Group_Entry->isEnabled() && count >= 1);
    BTN_Speed_Add->setEnabled(GB_Speed->isEnabled() && number_ != 0 && count < kMaxGroupMembers);
}

void TEditForm_Group::AddMember() {
    if (number_ == 0) {
        return;
    }
    const ListFilterProxy* view = SelectionView(SFG_Speed);
    std::vector<int> rows;
    for (const QModelIndex& index : SFG_Speed->selectionModel()->selectedRows()) {
        if (view->NumberAt(index.row()) != 0) {
            rows.push_back(index.row());
        }
    }
    if (rows.empty()) {
        const int row = SFG_Speed->currentIndex().row();
        if (view->NumberAt(row) == 0) {
            return;
        }
        rows.push_back(row);
    }
    // In list order, and only as many as the group still takes: the rest stay available.
    std::sort(rows.begin(), rows.end());
    auto& members = model_->groups[number_].members;
    std::size_t added = 0;
    for (const int row : rows) {
        if (members.size() >= kMaxGroupMembers) {
            break;
        }
        const int dial = view->NumberAt(row);
        members.push_back(GroupMember{'S', dial});
        model_->SetMembership(dial, number_);
        ++added;
    }
    if (added == 0) {
        return;
    }
    FillGrids(static_cast<int>(members.size()) - 1, rows.front());
}

void TEditForm_Group::FitColumns() {
    // The last column stretches over what is left; the grid leaves it room for its title.
    for (QTableView* grid : {SFG_Edit_Group, SFG_Speed}) {
        const QHeaderView* header = grid->horizontalHeader();
        const int last = grid->model()->columnCount() - 1;
        int width = 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width() +
                    header->sectionSizeHint(last);
        for (int column = 0; column < last; ++column) {
            grid->setColumnWidth(
                column, std::max(grid->columnWidth(column), header->sectionSizeHint(column)));
            width += grid->columnWidth(column);
        }
        grid->setMinimumWidth(width);
    }
}

void TEditForm_Group::RemoveMember() {
    if (number_ == 0) {
        return;
    }
    auto& members = model_->groups[number_].members;
    // Found by number: the grid shows only the speed-dial members.
    const int dial = SelectedNumber(SFG_Edit_Group);
    const auto found = std::find_if(members.begin(), members.end(), [dial](const GroupMember& m) {
        return m.kind == 'S' && m.number == dial;
    });
    if (dial == 0 || found == members.end()) {
        return;
    }
    const int row = SelectionView(SFG_Edit_Group)->RowOf(dial);
    // Removed here rather than through the model's member removal: that deletes a group left
    // empty (and its one-touch bindings) at once, before the user has decided anything.
    members.erase(found);
    model_->ClearMembership(dial, number_);
    FillGrids(row, 0);
    // The speed dial given back stays in sight, selected, unless the search hides it.
    if (const int back = SelectionView(SFG_Speed)->RowOf(dial); back >= 0) {
        SelectViewRow(SFG_Speed, back);
    }
}

void TEditForm_Group::NumberChanged(int index) {
    // Members picked so far follow the group number chosen for the new group.
    if (mode_ != EditOperationKind::Add || index < 0) {
        return;
    }
    const int target = CB_Group_Num->itemData(index).toInt();
    if (target == number_ || target == 0) {
        return;
    }
    std::vector<GroupMember> members;
    if (number_ != 0) {
        members = model_->groups[number_].members;
        Restore();
    }
    number_ = target;
    saved_ = model_->groups[number_];
    savedDisplay_ = model_->groupDisplay[number_];
    model_->groups[number_].members = members;
    for (const GroupMember& member : members) {
        if (member.kind == 'S') {
            model_->SetMembership(member.number, number_);
        }
    }
    FillGrids(0, 0);
}

bool TEditForm_Group::MembersChanged() const {
    if (number_ == 0) {
        return false;
    }
    const auto& now = model_->groups[number_].members;
    if (now.size() != saved_.members.size()) {
        return true;
    }
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i].kind != saved_.members[i].kind || now[i].number != saved_.members[i].number) {
            return true;
        }
    }
    return false;
}

void TEditForm_Group::Restore() {
    if (number_ == 0) {
        return;
    }
    for (int s = 1; s <= kMaxSpeedDials; ++s) {
        model_->ClearMembership(s, number_);
    }
    model_->groups[number_] = saved_;
    model_->groupDisplay[number_] = savedDisplay_;
    for (const GroupMember& member : saved_.members) {
        if (member.kind == 'S') {
            model_->SetMembership(member.number, number_);
        }
    }
    if (mode_ == EditOperationKind::Edit) {
        model_->groups[number_].recordText = model_->GroupRecordText(number_);
        model_->groupDisplay[number_].recordText = model_->groups[number_].recordText;
    }
}

void TEditForm_Group::BtnOkClick() {
    const std::string name = S(CB_Group_Name->currentText());
    if (!AcceptCheck(prompt_, CheckNameText(name, kNameMaxBytes, rules_).code,
                     {Msg::EditNotEntered, Msg::GroupNameTooLong, Msg::GroupNameIllegal},
                     CB_Group_Name)) {
        return;
    }
    for (int g = 1; g <= kMaxGroups; ++g) {
        const GroupDialEntry& group = model_->groups[g];
        if (group.number == 0 || group.members.empty() || g == number_) {
            continue;
        }
        if (group.name == name) {
            if (!AskYesNo(prompt_, Text(Msg::GroupDuplicateName), Msg::GroupDuplicateCaption)) {
                CB_Group_Name->setFocus();
                return;
            }
            break;
        }
    }
    if (number_ == 0) {
        return;  // no free group number: nothing can be stored
    }
    GroupDialEntry& group = model_->groups[number_];
    if (group.members.empty()) {
        if (mode_ == EditOperationKind::Edit) {
            if (!AskYesNo(prompt_, Text(Msg::GroupDeleteEmpty, "\r\n"), Msg::GroupDeleteCaption)) {
                return;
            }
            Restore();
            model_->DeleteGroup(number_);
            model_->ResetGroup(number_);
            model_->modified.groups = true;
        } else {
            if (!AskYesNo(prompt_, Text(Msg::GroupAddEmpty, "\r\n"), Msg::GroupExitCaption)) {
                return;
            }
            Restore();
        }
        QDialog::reject();
        return;
    }

    // A renamed group is a change to save as much as changed members.
    if (MembersChanged() || Trim(name) != saved_.name) {
        model_->modified.groups = true;
    }
    group.number = number_;
    group.name = Trim(name);
    group.recordText = model_->GroupRecordText(number_);
    GroupDisplay& display = model_->groupDisplay[number_];
    display.key = "G" + S(CB_Group_Num->currentText());
    display.name = name;
    display.recordText = group.recordText;
    display.mask = buffer_.mask;
    buffer_ = display;
    if (mode_ == EditOperationKind::Add) {
        recentNames_.erase(std::remove(recentNames_.begin(), recentNames_.end(), name),
                           recentNames_.end());
        recentNames_.insert(recentNames_.begin(), name);
        if (recentNames_.size() > static_cast<std::size_t>(kRecentNames)) {
            recentNames_.resize(kRecentNames);
        }
    }
    accept();
}

bool TEditForm_Group::LeaveWithoutSaving() {
    if (MembersChanged() &&
        !AskYesNo(prompt_, Text(Msg::GroupCancelQuestion), Msg::EditConfirmUpdateCaption)) {
        return false;
    }
    Restore();
    return true;
}

void TEditForm_Group::reject() {
    if (LeaveWithoutSaving()) {
        QDialog::reject();
    }
}

void TEditForm_Group::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}

}  // namespace dialvane
