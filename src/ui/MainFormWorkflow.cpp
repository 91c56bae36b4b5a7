// The main window's state machine: panels, the editor's life, saving, sending, the start-up
// inquiry and the close.
#include <unistd.h>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QMetaObject>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

#include "comm/DeviceSession.h"
#include "comm/RunFolder.h"
#include "comm/TransferWorkflow.h"
#include "comm/UserThread.h"
#include "data/CharConv.h"
#include "data/DialFileLoader.h"
#include "data/DialFileWriter.h"
#include "data/DownloadWriter.h"
#include "data/ModeMessages.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "data/TextChecks.h"
#include "support/DiagnosticLog.h"
#include "support/Environment.h"
#include "support/FileUtil.h"
#include "support/Messages.h"
#include "ui/EditForm.h"
#include "ui/EditFormGroup.h"
#include "ui/ErrLogForm.h"
#include "ui/FormVer.h"
#include "ui/InputCheck.h"
#include "ui/MainForm.h"
#include "ui/OneTuchInpForm.h"
#include "ui/ProgForm.h"
#include "ui/QtPrompt.h"
#include "ui/StartupMessageForm.h"

namespace dialvane {
namespace {

PromptAnswer Ask(const std::string& text, Msg title, PromptButtons buttons, PromptIcon icon,
                 PromptAnswer defaultAnswer, bool onTop = false) {
    PromptRequest request;
    request.text = text;
    request.title = Text(title);
    request.buttons = buttons;
    request.icon = icon;
    request.defaultAnswer = defaultAnswer;
    request.onTop = onTop;
    return AskUser(request);
}

void Tell(const std::string& text, Msg title, PromptIcon icon, bool onTop = false) {
    Ask(text, title, PromptButtons::Ok, icon, PromptAnswer::Ok, onTop);
}

bool AskDiscardDeviceData() {
    return Ask(Text(Msg::DeviceDataUnsavedQuestion), Msg::ConfirmExecutionCaption,
               PromptButtons::YesNo, PromptIcon::Warning, PromptAnswer::No) == PromptAnswer::Yes;
}

std::string FilePart(const std::string& path) {
    size_t cut = path.find_last_of("/\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The Qt filter list of "Name(*.ext)|*.ext|..." pairs.
QString QtFilter() {
    QStringList parts = QString::fromStdString(Text(Msg::MainFileFilter)).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        filters << name.section('(', 0, 0) + " (" + parts[i + 1] + ")";
    }
    return filters.join(";;");
}

}  // namespace

const std::vector<std::string>& TMainForm::FileHistory() const {
    return env_.user.fileHistory;
}

bool TMainForm::InquiryRunning() const {
    return inquiryThread_ != nullptr || (progForm_ != nullptr && progForm_->Running());
}

void TMainForm::CreateDialogs() {
    formVer_ = new TFormVer(this);
    editForm_ = new TEditForm(this);
    editFormGroup_ = new TEditForm_Group(this, product_->Rules());
    progForm_ = new TProgForm(env_.settings.disp, this);
    errLogForm_ = new TErrLogForm(this);
    oneTuchInpForm_ = new TOneTuchInpForm(this);
    startupMessage_ = new TStartupMessageForm(this);
}

void TMainForm::ShowVersion() {
    if (formVer_ != nullptr) {
        formVer_->Execute();
    }
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
                    const RunResult read = RunTransfer(0);
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
            break;
        case MainModeKind::Exit:
            if (InquiryRunning() &&
                Ask(Text(Msg::CommunicatingCancelQuestion), Msg::ConfirmCancellationCaption,
                    PromptButtons::OkCancel, PromptIcon::Information,
                    PromptAnswer::Ok) == PromptAnswer::Cancel) {
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

bool TMainForm::Read_UserFile(const std::string& fileName) {
    LoadResult result = LoadDialFile(fileName, model_, *product_);
    if (!result.readable) {
        Tell(result.readError, Msg::FileErrorCaption, PromptIcon::Stop);
        return false;
    }
    if (!result.errorLines.empty()) {
        if (Ask(Text(Msg::ReadUserDataQuestion), Msg::ReadUserDataCaption, PromptButtons::YesNo,
                PromptIcon::Stop, PromptAnswer::Yes) == PromptAnswer::Yes) {
            if (hooks_.showErrors) {
                hooks_.showErrors(result.errorLines);
            } else if (errLogForm_ != nullptr) {
                errLogForm_->ShowErrors(result.errorLines);
            }
        }
        return false;
    }
    return true;
}

bool TMainForm::Write_UserFile(const std::string& fileName) {
    std::string error;
    if (!SaveDialFile(fileName, model_, *product_, &error)) {
        Tell(error, Msg::FileErrorCaption, PromptIcon::Stop);
        return false;
    }
    return true;
}

bool TMainForm::Save_UserFile(bool askName) {
    // Without a name there is nothing to save to: ask for one.
    if (askName || currentFileName_.empty()) {
        std::optional<std::string> chosen;
        if (hooks_.saveFileName) {
            chosen = hooks_.saveFileName(currentFileName_);
        } else {
            QFileDialog dialog(this, QString(), QString::fromStdString(currentFileName_),
                               QtFilter());
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix("csv");
            if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
                chosen = dialog.selectedFiles().first().toStdString();
            }
        }
        if (!chosen || chosen->empty()) {
            return false;
        }
        currentFileName_ = *chosen;
        AddFileHistory(currentFileName_);
    }
    if (!Write_UserFile(currentFileName_)) {
        return false;
    }
    Tell(Text(Msg::UserDataSaved, FilePart(currentFileName_)), Msg::SaveUserDataCaption,
         PromptIcon::Information);
    model_.modified.Clear();
    deviceDataUnsaved_ = false;
    savedButtons_ = model_.bindings;
    savedSender_ = model_.senderName;
    editSource_ = EditSourceKind::ExistingFile;
    return true;
}

void TMainForm::AddFileHistory(const std::string& path) {
    std::vector<std::string>& history = env_.user.fileHistory;
    std::erase(history, path);
    if (history.size() >= 10) {
        history.erase(history.begin() + 9, history.end());
    }
    history.insert(history.begin(), path);
    ReloadFileHistory();
    int index = CB_File_Sel->findText(QString::fromStdString(path));
    CB_File_Sel->setCurrentIndex(path.empty() ? -1 : index);
    UpdateFileSelRun();
}

void TMainForm::ReloadFileHistory() {
    QSignalBlocker block(CB_File_Sel);
    CB_File_Sel->clear();
    for (const std::string& entry : env_.user.fileHistory) {
        CB_File_Sel->addItem(QString::fromStdString(entry));
    }
    CB_File_Sel->setCurrentIndex(
        currentFileName_.empty() ? -1
                                 : CB_File_Sel->findText(QString::fromStdString(currentFileName_)));
    UpdateFileSelRun();
}

void TMainForm::UpdateFileSelRun() {
    if (PNL_File_Sel->isVisibleTo(this)) {
        BTN_File_Sel_Run->setEnabled(CB_File_Sel->count() > 0 && CB_File_Sel->currentIndex() >= 0);
    }
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
    switch (Ask(question, Msg::ConfirmExitCaption, PromptButtons::YesNoCancel, PromptIcon::Question,
                PromptAnswer::Cancel)) {
        case PromptAnswer::Yes:
            return !Save_UserFile(untitled_);
        case PromptAnswer::No:
            // Discarded: the computed kinds must not come back on the next check either.
            model_.modified.Clear();
            savedButtons_ = model_.bindings;
            savedSender_ = model_.senderName;
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
        Ask(Text(Msg::ConfirmSendToMfp) + plan.questionNote, Msg::ConfirmExecutionCaption,
            PromptButtons::YesNo, PromptIcon::Warning, PromptAnswer::No) != PromptAnswer::Yes) {
        return;
    }
    try {
        table_->BuildFromModel(model_);
        table_->CheckGroupMembers();
    } catch (const ValidationError& error) {
        ShowGeneralError(error.what());
        return;
    }
    ShowOutcome(RunWorkflow(std::string(), plan), std::string());
}

void TMainForm::LeaveEditor() {
    if (Edit_Update_Check(false)) {
        return;
    }
    if (deviceDataUnsaved_) {
        if (!AskDiscardDeviceData()) {
            return;
        }
        deviceDataUnsaved_ = false;
    }
    Panel_Change(MainModeKind::Standby);
}

void TMainForm::File_Sel_BtnClick() {
    int tag = activeControl_ != nullptr ? activeControl_->property("Tag").toInt() : -1;
    std::string text = CB_File_Sel->currentText().toStdString();
    switch (tag) {
        case 0: {
            std::string start = FileExists(text) ? text : std::string();
            std::optional<std::string> chosen;
            if (hooks_.openFileName) {
                chosen = hooks_.openFileName(start);
            } else {
                QString name = QFileDialog::getOpenFileName(
                    this, QString(), QString::fromStdString(start), QtFilter());
                if (!name.isEmpty()) {
                    chosen = name.toStdString();
                }
            }
            if (chosen && !chosen->empty()) {
                currentFileName_ = *chosen;
                AddFileHistory(*chosen);
            }
            BTN_File_Sel_Run->setFocus();
            break;
        }
        case 1:
            if (FileExists(text)) {
                Panel_Change(MainModeKind::Edit, EditSourceKind::ExistingFile);
            } else {
                Tell(Text(Msg::SpecifiedFileNotFound), Msg::SearchingFileCaption, PromptIcon::Stop);
            }
            break;
        case 2:
            Panel_Change(MainModeKind::Standby);
            break;
        default:
            break;
    }
}

void TMainForm::TV_Change(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (changingNode_ || current == nullptr) {
        return;
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
            if (Ask(question, Msg::ConfirmExecutionCaption, PromptButtons::YesNo,
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
                if (!AskDiscardDeviceData()) {
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

RunResult TMainForm::RunTransfer(int tag) {
    return RunTransferOf(tag, *table_, currentFileName_);
}

RunResult TMainForm::RunTransferOf(int tag, RecordTable& table, const std::string& text,
                                   bool reportSuccess) {
    if (hooks_.runTransfer) {
        hooks_.runTransfer(tag);
        return {};
    }
    RunRequest request = session_->MakeRequest(tag == 0 ? RunMode::Download : RunMode::Upload);
    request.text = text;
    request.table = &table;
    request.reportSuccess = reportSuccess;
    request.product = product_.get();
    progForm_->SetTag(tag);
    return progForm_->Execute(*session_, request);
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!firstShown_) {
        firstShown_ = true;
        if (QScreen* screen = this->screen()) {
            PlaceInside(screen->availableGeometry());
        }
    }
}

void TMainForm::PlaceInside(const QRect& area) {
    const QSize frame = frameGeometry().size() - size();
    resize(size().boundedTo(area.size() - frame));
    const QSize outer = size() + frame;
    move(std::max(area.left(), area.left() + (area.width() - outer.width()) / 2),
         std::max(area.top(), area.top() + (area.height() - outer.height()) / 2));
}

bool TMainForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && firstActivation_) {
        firstActivation_ = false;
        TV_Ctrl->setFocus();
        changingNode_ = true;
        TV_Ctrl->setCurrentItem(nodes_[0]);
        changingNode_ = false;
        StartupTimer->start();
    }
    return QMainWindow::event(event);
}

void TMainForm::StartupTimerTimer() {
    StartupTimer->stop();
    // The inquiry disables the window and shows its notice: it waits while a question or a
    // dialog is open, so no window opens over a question still waiting for its answer.
    if (QApplication::activeModalWidget() != nullptr || InquiryRunning()) {
        StartupTimer->start();
        return;
    }
    if (!FileExists(env_.programSettingsFile)) {
        Tell(Text(Msg::ProgramSettingsMissing, "\r\n", Text(Msg::ProductTitle)), Msg::AppTitle,
             PromptIcon::Stop, true);
        close();
        return;
    }
    printerName_ = hooks_.findPrinter ? hooks_.findPrinter() : std::string();
    if (printerName_.empty()) {
        if (env_.user.connection == 0) {
            Tell(Text(Msg::PrinterDriverMissing), Msg::AppTitle, PromptIcon::Stop);
            close();
            return;
        }
        // The network path needs no driver; note it for the record and go on.
        LogWrite(Text(Msg::PrinterDriverMissing), LogCategory::LogFunc_Error,
                 LogCategory::LogFunc_Error, 'L');
    }
    RunDeviceInquiry();
}

void TMainForm::ApplyConnection() {
    if (env_.user.connection == 1) {
        // Refused while no address is current; otherwise the most recently registered one.
        std::vector<std::string> addresses;
        if (!env_.user.ipAddress.empty()) {
            addresses = env_.user.ipHistory.empty() ? std::vector<std::string>{env_.user.ipAddress}
                                                    : env_.user.ipHistory;
        }
        session_->UseNetwork(addresses);
    } else {
        session_->UseUsb(env_.settings, env_.programFolder);
        session_->FollowProduct(*product_);
    }
}

void TMainForm::RunDeviceInquiry() {
    ApplyConnection();
    if (env_.offlineMode) {
        deviceReady_ = true;
        LoadProduct(env_.settings.offlineTarget);
        setWindowTitle(QString::fromStdString(Format(
            "%s%s", Text(Msg::AppTitle), Text(Msg::OfflineSuffix) + env_.settings.offlineTarget)));
        TV_Ctrl->setEnabled(true);
        editMenuAllowed_ = true;
        Menu_Enabled_Set();
        return;
    }
    deviceReady_ = false;
    setWindowTitle(QString::fromStdString(Text(Msg::AppTitle)));
    setEnabled(false);
    if (startupMessage_ != nullptr) {
        startupMessage_->ShowNotice(QString::fromStdString(Text(Msg::ConnectingNotice)), 2000);
    }
    StartInquiryWorker(session_->MakeRequest(RunMode::ChannelTest));
}

void TMainForm::StartInquiryWorker(const RunRequest& request) {
    networkTestRunning_ = request.mode == RunMode::NetworkTest;
    inquiryThread_ = session_->MakeWorker(request);
    inquiryEnded_ = false;
    inquiryThread_->Start([this](const RunResult&) {
        inquiryEnded_ = true;
        QMetaObject::invokeMethod(
            this, [this] { InquiryFinished(); }, Qt::QueuedConnection);
    });
}

void TMainForm::InquiryFinished() {
    // After a close the inquiry is over for good: the close has already taken the worker back.
    if (!inquiryThread_ || shutdownDone_) {
        return;
    }
    inquiryThread_->Join();
    if (networkTestRunning_) {
        NetworkTestFinished();
        return;
    }
    RunResult result = inquiryThread_->Result();
    inquiryThread_.reset();
    FinishStartup(result.channelTestResult == 0, result.modelName);
}

void TMainForm::EnterForcedSetup() {
    deviceReady_ = false;
    LoadProduct("Unknown");
    TV_Ctrl->setEnabled(true);
    if (mainMode_ == MainModeKind::Setup) {
        Setup_Load();
    }
    SelectNode(5);
    TV_Ctrl->setEnabled(false);
    editMenuAllowed_ = false;
    Menu_Enabled_Set();
    Setup_Button_Set();
}

void TMainForm::FinishStartup(bool success, const std::string& modelName) {
    setEnabled(true);
    if (!success) {
        // The notice goes before the warning: one window at a time, nothing left behind.
        if (startupMessage_ != nullptr) {
            startupMessage_->hide();
        }
        EnterForcedSetup();
        Tell(Text(Msg::DeviceNotConnected), Msg::AppTitle, PromptIcon::Warning, true);
        return;
    }
    if (startupMessage_ != nullptr) {
        startupMessage_->RequestClose();
    }
    deviceReady_ = true;
    LoadProduct(modelName);
    captionSuffix_ =
        Text(Msg::CaptionSuffixSeparator) + (env_.user.connection == 0 ? printerName_ : modelName);
    setWindowTitle(QString::fromStdString(Format("%s%s", Text(Msg::AppTitle), captionSuffix_)));
    TV_Ctrl->setEnabled(true);
    editMenuAllowed_ = true;
    Menu_Enabled_Set();
    if (mainMode_ == MainModeKind::Setup) {
        Setup_Button_Set();
    }
}

bool TMainForm::CanClose() {
    if (deviceDataUnsaved_) {
        if (!AskDiscardDeviceData()) {
            return false;
        }
        deviceDataUnsaved_ = false;
    }
    if (Edit_Update_Check(true)) {
        return false;
    }
    const std::string& settings = env_.paths.userSettingsFile;
    if (FileExists(settings)) {
        while (!UserSettingsWritable(settings)) {
            if (Ask(Text(Msg::SettingsLocked, "\r\n"), Msg::ExclusionErrorCaption,
                    PromptButtons::RetryCancel, PromptIcon::Stop,
                    PromptAnswer::Cancel) != PromptAnswer::Retry) {
                break;
            }
        }
    }
    return true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (shutdownDone_) {
        event->accept();
        return;
    }
    if (!CanClose()) {
        event->ignore();
        return;
    }
    SaveUserSettings(env_);
    ShutDown();
    event->accept();
}

bool TMainForm::EndSession() {
    sessionEnding_ = true;
    if (!CanClose()) {
        return false;
    }
    SaveUserSettings(env_);
    return true;
}

void TMainForm::ShutDown() {
    if (shutdownDone_) {
        return;
    }
    shutdownDone_ = true;
    // Even at a session end the threads are stopped: the process must not end with a thread
    // still joinable.
    if (inquiryThread_) {
        inquiryThread_->Terminate();
        session_->RequestStop();
        // The run asks whether to stop, and that question is shown on this thread: keep serving
        // events until the run has ended, or each thread would wait for the other for ever.
        while (!inquiryEnded_) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        inquiryThread_->Join();
        inquiryThread_.reset();
    }
    // Also releases the USB library: the window no longer talks over USB.
    session_->Shutdown();
    runFolder_.reset();
}

DeviceSessionSettings TMainForm::WindowSessionSettings() {
    DeviceSessionSettings settings = SessionSettingsFor(env_);
    // The window's temporary files are its own, beside any other copy of the program, and go
    // when it closes.
    std::string error;
    runFolder_ = RunFolder::Create(env_.paths.dataFolder, &error);
    if (runFolder_) {
        settings.downloadFile = runFolder_->File("TELDIR_TOOL.TMP");
        settings.sendFile = runFolder_->File("MFP_VERIFY.TMP");
    } else {
        LogWrite(error, LogCategory::LogFunc_Error, LogCategory::LogFunc_Error, 'L');
    }
    return settings;
}

std::string TMainForm::RunFolderPath() const {
    return runFolder_ ? runFolder_->Path() : std::string();
}

}  // namespace dialvane
