// The main window's state machine: panels, the tree, the editor's life, sending and the
// transfers it runs.
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <utility>

#include "comm/DeviceSession.h"
#include "comm/TransferWorkflow.h"
#include "comm/UserThread.h"
#include "data/CharConv.h"
#include "data/ModeMessages.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "data/TextChecks.h"
#include "support/Environment.h"
#include "support/FileUtil.h"
#include "support/Messages.h"
#include "ui/EditForm.h"
#include "ui/EditFormGroup.h"
#include "ui/ErrLogForm.h"
#include "ui/FormVer.h"
#include "ui/MainForm.h"
#include "ui/MainFormQuestions.h"
#include "ui/OneTuchInpForm.h"
#include "ui/ProgForm.h"
#include "ui/QtPrompt.h"
#include "ui/StartupMessageForm.h"

namespace dialvane {

bool TMainForm::InquiryRunning() const {
    return inquiryThread_ != nullptr || (progForm_ != nullptr && progForm_->Running());
}

void TMainForm::CreateDialogs() {
    formVer_ = new TFormVer(this);
    editForm_ = new TEditForm(*prompt_, this);
    editFormGroup_ = new TEditForm_Group(*prompt_, this, product_->Rules());
    progForm_ = new TProgForm(*prompt_, env_.settings.disp, this);
    errLogForm_ = new TErrLogForm(*prompt_, this);
    errLogForm_->SetEditorOpener(hooks_.openTextEditor);
    oneTuchInpForm_ = new TOneTuchInpForm(this);
    startupMessage_ = new TStartupMessageForm(this);
}

void TMainForm::LoadProduct(const std::string& modelName) {
    product_->Load(modelName);
    SetThirdTabCaption();
}

void TMainForm::SelectNode(int index) {
    QTreeWidgetItem* target = nodes_[index];
    if (TV_Ctrl->currentItem() == target) {
        return;
    }
    TV_Ctrl->setCurrentItem(target);
}

void TMainForm::Panel_Change(MainModeKind mode, EditSourceKind source) {
    browsedFrom_ = nullptr;
    if (mode != MainModeKind::Exit) {
        mainMode_ = mode;
    }
    if (mode != MainModeKind::Exit) {
        ShowPanel(nullptr);
    }
    switch (mode) {
        case MainModeKind::Standby: {
            changingNode_ = true;
            TV_Ctrl->setCurrentItem(nodes_[0]);
            changingNode_ = false;
            editorShown_ = false;
            TabCtrl->hide();
            PNL_BTN_Area0->hide();
            ShowPanel(PNL_Standby);
            LayoutStandby();
            break;
        }
        case MainModeKind::Edit:
            editSource_ = source;
            switch (source) {
                case EditSourceKind::New:
                    Read_UserFile("");
                    OpenEditor();
                    untitled_ = true;
                    break;
                case EditSourceKind::FromDevice: {
                    const std::string downloaded = session_->Settings().downloadFile;
                    std::remove(downloaded.c_str());
                    untitled_ = true;
                    currentFileName_ = downloaded;
                    table_->Clear();
                    const RunResult read = RunTransfer(RunMode::Download);
                    currentFileName_.clear();
                    if (read.success) {
                        KeepDeviceList(*table_, read.modelName);
                    }
                    if (!FileExists(downloaded)) {
                        Panel_Change(MainModeKind::Standby);
                        return;
                    }
                    deviceDataUnsaved_ = true;
                    Read_UserFile(downloaded);
                    OpenEditor();
                    untitled_ = true;
                    break;
                }
                case EditSourceKind::ExistingFile: {
                    if (CB_File_Sel->currentIndex() < 0) {
                        // Nothing chosen: stay on the file-selection panel rather than none.
                        Panel_Change(MainModeKind::Edit, EditSourceKind::FileSelect);
                        return;
                    }
                    std::string name = CB_File_Sel->currentText().toStdString();
                    currentFileName_ = name;
                    AddFileHistory(name);
                    if (!FileExists(name)) {
                        if (FILE* created = std::fopen(name.c_str(), "ab")) {
                            std::fclose(created);
                        }
                        Read_UserFile("");
                    } else if (!Read_UserFile(name)) {
                        Panel_Change(MainModeKind::Edit, EditSourceKind::FileSelect);
                        return;
                    }
                    OpenEditor();
                    break;
                }
                case EditSourceKind::FileSelect:
                    editorShown_ = false;
                    TabCtrl->hide();
                    PNL_BTN_Area0->hide();
                    ShowPanel(PNL_File_Sel);
                    ReloadFileHistory();
                    untitled_ = false;
                    if (isActiveWindow() && CB_File_Sel->isVisible()) {
                        CB_File_Sel->setFocus();
                    }
                    break;
            }
            break;
        case MainModeKind::Setup:
            editorShown_ = false;
            TabCtrl->hide();
            PNL_BTN_Area0->hide();
            ShowPanel(PNL_Setup);
            Setup_Load();
            // The address is what the panel is for: typing starts there, Enter registers it.
            (CB_IP_Addr->isEnabled() ? static_cast<QWidget*>(CB_IP_Addr) : BTN_OK_Setup)
                ->setFocus();
            break;
        case MainModeKind::Exit:
            if (InquiryRunning() &&
                Ask(*prompt_, Text(Msg::CommunicatingCancelQuestion),
                    Msg::ConfirmCancellationCaption, PromptButtons::OkCancel,
                    PromptIcon::Information, PromptAnswer::Ok) == PromptAnswer::Cancel) {
                break;
            }
            close();
            return;
    }
    Menu_Enabled_Set();
}

void TMainForm::OpenEditor() {
    editorShown_ = true;
    model_.modified.Clear();
    savedButtons_ = model_.bindings;
    savedSender_ = model_.senderName;
    ResetUndo();
    PNL_BTN_Area0->show();
    BTN_Save_MFP->setEnabled(true);
    CB_Sender->setEditText(QString::fromStdString(model_.senderName));
    {
        QSignalBlocker block(TabCtrl);
        TabCtrl->setCurrentIndex(0);
    }
    currentTab_ = 0;
    TabCtrl->show();
    Load_Panel();
    SizeEditDialogs();
    // A search left from the list before would hide records of this one.
    EDT_Speed_Search->clear();
    EDT_Group_Search->clear();
    Speed_Page_Init();
}

void TMainForm::TAB_Chang(int index) {
    if (currentTab_ == 3 && index != 3 && !Sender_Check()) {
        QSignalBlocker block(TabCtrl);
        TabCtrl->setCurrentIndex(3);
        return;
    }
    currentTab_ = index;
    Load_Panel();
    switch (index) {
        case 0:
            Speed_Page_Init();
            break;
        case 1:
            Group_Page_Init();
            break;
        case 2:
            if (product_->OneTouch()) {
                OneTouch_Page_Set();
            } else {
                Quick_Page_Set();
            }
            break;
        case 3:
            Sender_Page_Set();
            break;
        default:
            break;
    }
}

bool TMainForm::SenderTextTooLong() const {
    std::string device = ToDeviceText(CB_Sender->currentText().toStdString());
    return device.size() - 2 > static_cast<size_t>(kSenderMaxBytes);
}

bool TMainForm::Edit_Update_Check(bool leaving) {
    // The file-selection panel holds no edits, whatever a refused file left in the model.
    if (mainMode_ != MainModeKind::Edit || !editorShown_) {
        return false;
    }
    if (currentTab_ == 3) {
        bool restored = false;
        if (leaving && SenderTextTooLong()) {
            CB_Sender->setEditText(QString::fromStdString(model_.senderName));
            restored = true;
        }
        if (!restored && !Sender_Check()) {
            model_.senderName = savedSender_;
        }
    }
    if (model_.bindings != savedButtons_) {
        model_.modified.bindings = true;
    }
    if (model_.senderName != savedSender_) {
        model_.modified.sender = true;
    }
    std::vector<std::string> lines;
    if (model_.modified.speedDials)
        lines.push_back(Text(Msg::UpdatedSpeedLine));
    if (model_.modified.groups)
        lines.push_back(Text(Msg::UpdatedGroupLine));
    if (model_.modified.bindings)
        lines.push_back(ModeText(ModeMessage::SavePromptSection, product_->OneTouch()));
    if (model_.modified.sender)
        lines.push_back(Text(Msg::UpdatedSenderLine));
    if (lines.empty()) {
        return false;
    }
    std::string question = Text(Msg::UpdatedSaveQuestion) + "\r\n";
    for (const std::string& line : lines) {
        question += "\r\n" + line;
    }
    switch (Ask(*prompt_, question, Msg::ConfirmExitCaption, PromptButtons::YesNoCancel,
                PromptIcon::Question, PromptAnswer::Cancel)) {
        case PromptAnswer::Yes:
            return !Save_UserFile(untitled_);
        case PromptAnswer::No:
            // Discarded: the computed kinds must not come back on the next check either.
            model_.modified.Clear();
            savedButtons_ = model_.bindings;
            savedSender_ = model_.senderName;
            MarkListSaved();
            return false;
        default:
            return true;
    }
}

void TMainForm::BtnClick() {
    int tag = activeControl_ != nullptr ? activeControl_->property("Tag").toInt() : -1;
    if (editorShown_ && currentTab_ == 3) {
        if (tag == 2 && SenderTextTooLong()) {
            CB_Sender->setEditText(QString::fromStdString(model_.senderName));
        }
        if (!Sender_Check()) {
            return;
        }
    }
    switch (tag) {
        case 0:
            SendToMfp();
            break;
        case 1:
            Save_UserFile(true);
            break;
        case 2:
            LeaveEditor();
            break;
        case 10:
        case 11:
        case 12:
        case 20:
        case 21:
        case 22:
            GridCommand(tag);
            break;
        default:
            BindingCommand(tag);
            break;
    }
}

void TMainForm::SendToMfp() {
    const TransferOptions plan = SendPlan();
    // Without a backup read there are no counts: the question comes first, as it always did.
    if (!plan.confirm &&
        Ask(*prompt_, Text(Msg::ConfirmSendToMfp) + plan.questionNote, Msg::ConfirmExecutionCaption,
            PromptButtons::YesNo, PromptIcon::Warning, PromptAnswer::No) != PromptAnswer::Yes) {
        return;
    }
    try {
        table_->BuildFromModel(model_);
        table_->CheckGroupMembers();
    } catch (const ValidationError& error) {
        ShowGeneralError(*prompt_, error.what());
        return;
    }
    ShowOutcome(RunWorkflow(std::string(), plan), std::string());
}

void TMainForm::LeaveEditor() {
    if (Edit_Update_Check(false)) {
        return;
    }
    if (deviceDataUnsaved_) {
        if (!AskDiscardDeviceData(*prompt_)) {
            return;
        }
        deviceDataUnsaved_ = false;
    }
    Panel_Change(MainModeKind::Standby);
}

bool TMainForm::TreeKeyPress(QKeyEvent* key) {
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        OpenBrowsedNode();
        return true;
    }
    // Arrowing past "Edit Records" must not start a read: what the key selects waits for Enter.
    browsingByKey_ = true;
    static_cast<QObject*>(TV_Ctrl)->event(key);
    browsingByKey_ = false;
    return key->isAccepted();
}

void TMainForm::OpenBrowsedNode() {
    if (browsedFrom_ != nullptr && TV_Ctrl->currentItem() != nullptr) {
        TV_Change(TV_Ctrl->currentItem(), browsedFrom_);
    }
}

void TMainForm::TV_Change(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (changingNode_ || current == nullptr) {
        return;
    }
    if (browsingByKey_) {
        if (browsedFrom_ == nullptr) {
            browsedFrom_ = previous != nullptr ? previous : nodes_[0];  // none yet: standby
        }
        return;
    }
    if (browsedFrom_ != nullptr) {
        // Whatever opens now replaces the node that was open, not the one the keys passed.
        previous = std::exchange(browsedFrom_, nullptr);
        if (previous == current) {
            return;
        }
    }
    if (!TV_Changing(current)) {
        changingNode_ = true;
        TV_Ctrl->setCurrentItem(previous);
        changingNode_ = false;
        return;
    }
    int index = static_cast<int>(std::find(nodes_.begin(), nodes_.end(), current) - nodes_.begin());
    switch (index) {
        case 0:
            if (mainMode_ != MainModeKind::Standby) {
                Panel_Change(MainModeKind::Standby);
            }
            break;
        case 1:
            if (mainMode_ != MainModeKind::Standby) {
                Panel_Change(MainModeKind::Standby);
                changingNode_ = true;
                TV_Ctrl->setCurrentItem(nodes_[1]);
                changingNode_ = false;
            }
            break;
        case 2:
            Panel_Change(MainModeKind::Edit, EditSourceKind::New);
            break;
        case 3: {
            std::string question = Text(Msg::ConfirmReadFromMfp, "\r\n");
            if (env_.japaneseUi) {
                question += "\r\r" + Text(Msg::JapanesePrintModeNote);
            }
            if (Ask(*prompt_, question, Msg::ConfirmExecutionCaption, PromptButtons::YesNo,
                    PromptIcon::Warning, PromptAnswer::No) == PromptAnswer::Yes) {
                Panel_Change(MainModeKind::Edit, EditSourceKind::FromDevice);
            } else {
                Panel_Change(MainModeKind::Standby);
            }
            break;
        }
        case 4:
            Panel_Change(MainModeKind::Edit, EditSourceKind::FileSelect);
            break;
        case 5:
            Panel_Change(MainModeKind::Setup);
            break;
        default:
            break;
    }
}

bool TMainForm::TV_Changing(QTreeWidgetItem* target) {
    switch (mainMode_) {
        case MainModeKind::Edit:
            if (deviceDataUnsaved_) {
                if (!AskDiscardDeviceData(*prompt_)) {
                    return false;
                }
                deviceDataUnsaved_ = false;
                return true;
            }
            return !(editorShown_ && Edit_Update_Check(false));
        case MainModeKind::Setup:
            // Leaving through the tree is the panel's Cancel; the new node stays selected.
            BTN_Cancel_Setup->setFocus();
            if (!Setup_Cancel()) {
                return false;
            }
            changingNode_ = true;
            TV_Ctrl->setCurrentItem(target);
            changingNode_ = false;
            return true;
        default:
            return true;
    }
}

RunResult TMainForm::RunTransfer(RunMode mode) {
    return RunTransferOf(mode, *table_, currentFileName_);
}

RunResult TMainForm::RunTransferOf(RunMode mode, RecordTable& table, const std::string& text,
                                   bool reportSuccess) {
    if (hooks_.runTransfer) {
        hooks_.runTransfer(mode);
        return {};
    }
    RunRequest request = session_->MakeRequest(mode);
    request.text = text;
    request.table = &table;
    request.reportSuccess = reportSuccess;
    request.product = product_.get();
    progForm_->SetRunMode(mode);
    return progForm_->Execute(*session_, request, prompt_.get());
}

}  // namespace dialvane
