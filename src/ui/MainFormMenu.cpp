// The main window's menu, its keys, help and the enabling of the menu items.
#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QUrl>

#include "support/Environment.h"
#include "support/Messages.h"
#include "support/Prompt.h"
#include "ui/FormVer.h"
#include "ui/MainForm.h"

namespace dialvane {

void TMainForm::BuildMenu() {
    QMenu* file = menuBar()->addMenu(QString());
    file->setObjectName("MN_MenuFile");
    // Opening the File menu while editing takes Save As away until the next enabling pass.
    connect(file, &QMenu::aboutToShow, this, [this] { FormClick(); });
    QMenu* edit = file->addMenu(QString());
    edit->setObjectName("MN_Edit_Menu");
    MN_Edit = edit->menuAction();
    MN_Edit->setObjectName("MN_Edit");
    auto leaf = [this](QMenu* menu, const char* name, auto handler) {
        QAction* action = menu->addAction(QString());
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    MN_Edit_New = leaf(edit, "MN_Edit_New", [this] {
        TV_Ctrl->expandAll();
        SelectNode(2);
    });
    MN_Edit_MFP = leaf(edit, "MN_Edit_MFP", [this] {
        TV_Ctrl->expandAll();
        SelectNode(3);
    });
    MN_Edit_Std = leaf(edit, "MN_Edit_Std", [this] {
        TV_Ctrl->expandAll();
        SelectNode(4);
    });
    MN_Setup = leaf(file, "MN_Setup", [this] { SelectNode(5); });
    file->addSeparator()->setObjectName("N1");
    MN_Save = leaf(file, "MN_Save", [this] { SaveFromMenu(false); });
    MN_SaveAs = leaf(file, "MN_SaveAs", [this] {
        if (BTN_Save->isVisibleTo(this) && editorShown_) {
            mainMode_ = MainModeKind::Edit;
            SaveFromMenu(true);
        }
    });
    MN_Save_MFP = leaf(file, "MN_Save_MFP", [this] { ClickFor(BTN_Save_MFP); });
    MN_Restore = leaf(file, "MN_Restore", [this] { RestoreFromBackup(); });
    MN_Import = leaf(file, "MN_Import", [this] { ImportContacts(); });
    MN_Print = leaf(file, "MN_Print", [this] { PrintList(); });
    MN_Print->setShortcut(QKeySequence::Print);
    MN_PrintPreview = leaf(file, "MN_PrintPreview", [this] { PreviewList(); });
    MN_ExportPdf = leaf(file, "MN_ExportPdf", [this] { ExportListPdf(); });
    MN_Exit = leaf(file, "MN_Exit", [this] { Panel_Change(MainModeKind::Exit); });
    QMenu* help = menuBar()->addMenu(QString());
    help->setObjectName("MN_MenuHelp");
    MN_Help = leaf(help, "MN_Help", [this] { ShowHelp(); });
    // The keys users expect: F1 for help, Ctrl+Q to close through the close query, Ctrl+S to
    // save the open list to its file, asking for a name only when it has none yet.
    MN_Help->setShortcut(QKeySequence::HelpContents);
    MN_Exit->setShortcut(QKeySequence::Quit);
    MN_Save->setShortcut(QKeySequence::Save);
    MN_SaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    auto* save = new QShortcut(QKeySequence::Save, this);
    save->setObjectName("SC_Save");
    connect(save, &QShortcut::activated, this, [this] {
        if (BTN_Save->isEnabled()) {
            SaveFromMenu(false);
        }
    });
    MN_Version = leaf(help, "MN_Version", [this] { ShowVersion(); });
}

void TMainForm::SaveFromMenu(bool askName) {
    if (mainMode_ != MainModeKind::Edit || !editorShown_) {
        return;
    }
    // A sender name still being typed is checked and taken, as the Save button does, so the
    // file gets what the page shows.
    if (currentTab_ == 3 && !Sender_Check()) {
        return;
    }
    Save_UserFile(askName || untitled_ || deviceDataUnsaved_ || currentFileName_.empty());
}

void TMainForm::ClickFor(QPushButton* button) {
    // A menu command that stands for a button acts as that button, by its Tag.
    button->setFocus();
    activeControl_ = button;
    BtnClick();
}

void TMainForm::FormClick() {
    // Only the file-selection panel takes Save As away: taking it away while the editor is
    // shown would disable the command each time the menu opens, so it could never be chosen.
    if (mainMode_ == MainModeKind::Edit && !editorShown_) {
        MN_SaveAs->setEnabled(false);
    }
}

void TMainForm::mousePressEvent(QMouseEvent* event) {
    FormClick();
    QMainWindow::mousePressEvent(event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    // The editor's Cancel is the window's cancel button: Escape presses it while it is shown.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier &&
        BTN_Cancel->isVisibleTo(this) && BTN_Cancel->isEnabled()) {
        ClickFor(BTN_Cancel);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

std::string TMainForm::HelpFile() const {
    return env_.resourceFolder + "help/index.html";
}

void TMainForm::ShowHelp() {
    const std::string page = HelpFile();
    // A missing page and a page no program could show are told apart: the fixes differ.
    const bool exists = QFile::exists(QString::fromStdString(page));
    if (exists && (hooks_.openHelp ? hooks_.openHelp(page)
                                   : QDesktopServices::openUrl(
                                         QUrl::fromLocalFile(QString::fromStdString(page))))) {
        return;
    }
    PromptRequest request;
    request.text = Text(exists ? Msg::HelpNoBrowser : Msg::HelpMissing, "\r\n", page);
    request.title = Text(Msg::AppTitle);
    request.icon = PromptIcon::Information;
    prompt_->Ask(request);
}

void TMainForm::ShowVersion() {
    if (formVer_ != nullptr) {
        formVer_->Execute();
    }
}

void TMainForm::Menu_Enabled_Set() {
    for (QAction* action : {MN_Edit, MN_Edit_Std, MN_Edit_MFP, MN_Edit_New, MN_Setup, MN_Exit}) {
        action->setEnabled(true);
    }
    for (QAction* action :
         {MN_Save, MN_SaveAs, MN_Save_MFP, MN_Print, MN_PrintPreview, MN_ExportPdf}) {
        action->setEnabled(false);
    }
    if (mainMode_ == MainModeKind::Edit && editorShown_) {
        MN_Save->setEnabled(!untitled_);
        for (QAction* action : {MN_SaveAs, MN_Save_MFP, MN_Print, MN_PrintPreview, MN_ExportPdf}) {
            action->setEnabled(true);
        }
    }
    if (!editMenuAllowed_) {
        MN_Edit->setEnabled(false);
    }
    // A backup goes back whenever the MFP was found, editing or not.
    MN_Restore->setEnabled(editMenuAllowed_);
    // An import ends in the editor, so it is offered when the editor may be entered.
    MN_Import->setEnabled(editMenuAllowed_);
    // Ctrl+S belongs to the Save item while it is on, else to the window (a list without a
    // name): never to both, which would leave the key doing nothing.
    if (auto* save = findChild<QShortcut*>("SC_Save")) {
        save->setEnabled(!MN_Save->isEnabled());
    }
    UpdateUndoActions();
    UpdateDocumentTitle();
}

}  // namespace dialvane
