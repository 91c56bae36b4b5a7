// Undo and redo of the open list's edits. Each step keeps the list as it was before and after
// the edit, so a delete that also took group members and button bindings away comes back whole.
#include <QAction>
#include <QComboBox>
#include <QMenuBar>
#include <QTabBar>
#include <QUndoStack>

#include "data/ProductInfo.h"
#include "support/Messages.h"
#include "ui/MainForm.h"
#include "ui/QuickDialTab.h"

namespace dialvane {
namespace {

class ListEditCommand : public QUndoCommand {
  public:
    ListEditCommand(const std::string& name, ListSnapshot before, ListSnapshot after,
                    std::function<void(const ListSnapshot&)> apply)
        : QUndoCommand(QString::fromStdString(name)),
          before_(std::move(before)),
          after_(std::move(after)),
          apply_(std::move(apply)) {}

    void undo() override { apply_(before_); }
    void redo() override {
        // The edit itself already changed the list when the step is pushed.
        if (pushed_) {
            apply_(after_);
        }
        pushed_ = true;
    }

  private:
    ListSnapshot before_, after_;
    std::function<void(const ListSnapshot&)> apply_;
    bool pushed_ = false;
};

}  // namespace

void TMainForm::BuildUndoMenu() {
    undoStack_ = new QUndoStack(this);
    QMenu* menu = new QMenu(menuBar());
    menu->setObjectName("MN_MenuEditing");
    menuBar()->insertMenu(menuBar()->actions().value(1), menu);
    MN_Undo = menu->addAction(QString());
    MN_Undo->setObjectName("MN_Undo");
    MN_Undo->setShortcut(QKeySequence::Undo);
    connect(MN_Undo, &QAction::triggered, undoStack_, &QUndoStack::undo);
    MN_Redo = menu->addAction(QString());
    MN_Redo->setObjectName("MN_Redo");
    MN_Redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    connect(MN_Redo, &QAction::triggered, undoStack_, &QUndoStack::redo);
    connect(undoStack_, &QUndoStack::indexChanged, this, [this] { UpdateUndoActions(); });
    UpdateUndoActions();
}

void TMainForm::UpdateUndoActions() {
    if (undoStack_ == nullptr) {
        return;
    }
    const bool editing = mainMode_ == MainModeKind::Edit && editorShown_;
    const QString undo = undoStack_->undoText();
    const QString redo = undoStack_->redoText();
    MN_Undo->setText(QString::fromStdString(
        undo.isEmpty() ? Text(Msg::UndoNothing) : Text(Msg::UndoItem, undo.toStdString())));
    MN_Redo->setText(QString::fromStdString(
        redo.isEmpty() ? Text(Msg::RedoNothing) : Text(Msg::RedoItem, redo.toStdString())));
    MN_Undo->setEnabled(editing && undoStack_->canUndo());
    MN_Redo->setEnabled(editing && undoStack_->canRedo());
    if (QMenu* menu = findChild<QMenu*>("MN_MenuEditing")) {
        menu->setTitle(QString::fromStdString(Text(Msg::MainMenuEditing)));
    }
}

void TMainForm::ResetUndo() {
    savedList_ = TakeSnapshot(model_);
    undoStack_->clear();
    UpdateUndoActions();
}

void TMainForm::MarkListSaved() {
    savedList_ = TakeSnapshot(model_);
    undoStack_->setClean();
}

void TMainForm::Undoable(const std::string& name, const std::function<void()>& command) {
    ListSnapshot before = TakeSnapshot(model_);
    command();
    PushListEdit(name, std::move(before));
}

void TMainForm::PushListEdit(const std::string& name, ListSnapshot before) {
    ListSnapshot after = TakeSnapshot(model_);
    if (!Differences(before, after).Any()) {
        return;
    }
    undoStack_->push(
        new ListEditCommand(name, std::move(before), std::move(after),
                            [this](const ListSnapshot& list) { ApplyListSnapshot(list); }));
}

std::string TMainForm::UndoNameOf(int tag) const {
    if (tag >= 10 && tag <= 22) {
        const std::string list = TabCtrl->tabText(tag / 10 - 1).toStdString();
        const Msg verbs[3] = {Msg::UndoEditRecord, Msg::UndoDeleteRecord, Msg::UndoAddRecord};
        return Text(verbs[tag % 10], list);
    }
    int slot = -1;
    bool clearing = false;
    if (tag >= 32 && tag <= 37) {
        slot = (tag - 32) % 3;
        clearing = tag >= 35;
    } else if (tag >= TPanelQuickDialTab::kFirstClearTag) {
        slot = tag - TPanelQuickDialTab::kFirstClearTag;
        clearing = true;
    } else if (tag >= TPanelQuickDialTab::kFirstEditTag) {
        slot = tag - TPanelQuickDialTab::kFirstEditTag;
    }
    return Text(clearing ? Msg::UndoClearButton : Msg::UndoSetButton, ButtonName(slot + 1));
}

void TMainForm::ApplyListSnapshot(const ListSnapshot& snapshot) {
    RestoreSnapshot(snapshot, model_);
    // Back at the list as saved, nothing is left to save: the flags follow the list's content.
    model_.modified = Differences(snapshot, savedList_);
    CB_Sender->setEditText(QString::fromStdString(model_.senderName));
    switch (currentTab_) {
        case 0:
            Speed_Grid_Set(-1);
            break;
        case 1:
            Group_Grid_Set(-1);
            break;
        case 2:
            Button_Page_Set();
            break;
        default:
            break;
    }
    Menu_Enabled_Set();
}

}  // namespace dialvane
