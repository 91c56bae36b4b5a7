// The main window's start-up inquiry, its placement on the screen and its close.
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QMetaObject>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

#include "comm/DeviceSession.h"
#include "comm/RunFolder.h"
#include "comm/UserThread.h"
#include "data/ProductInfo.h"
#include "support/DiagnosticLog.h"
#include "support/Environment.h"
#include "support/FileUtil.h"
#include "support/Messages.h"
#include "ui/MainForm.h"
#include "ui/MainFormQuestions.h"
#include "ui/StartupMessageForm.h"

namespace dialvane {

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
        Tell(*prompt_, Text(Msg::ProgramSettingsMissing, "\r\n", Text(Msg::ProductTitle)),
             Msg::AppTitle, PromptIcon::Stop, true);
        close();
        return;
    }
    printerName_ = hooks_.findPrinter ? hooks_.findPrinter() : std::string();
    if (printerName_.empty()) {
        if (env_.user.connection == 0) {
            Tell(*prompt_, Text(Msg::PrinterDriverMissing), Msg::AppTitle, PromptIcon::Stop);
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
        SetIdleTitle(Format("%s%s", Text(Msg::AppTitle),
                            Text(Msg::OfflineSuffix) + env_.settings.offlineTarget));
        TV_Ctrl->setEnabled(true);
        editMenuAllowed_ = true;
        Menu_Enabled_Set();
        return;
    }
    deviceReady_ = false;
    SetIdleTitle(Text(Msg::AppTitle));
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
        Tell(*prompt_, Text(Msg::DeviceNotConnected), Msg::AppTitle, PromptIcon::Warning, true);
        return;
    }
    if (startupMessage_ != nullptr) {
        startupMessage_->RequestClose();
    }
    deviceReady_ = true;
    LoadProduct(modelName);
    captionSuffix_ =
        Text(Msg::CaptionSuffixSeparator) + (env_.user.connection == 0 ? printerName_ : modelName);
    SetIdleTitle(Format("%s%s", Text(Msg::AppTitle), captionSuffix_));
    TV_Ctrl->setEnabled(true);
    editMenuAllowed_ = true;
    Menu_Enabled_Set();
    if (mainMode_ == MainModeKind::Setup) {
        Setup_Button_Set();
    }
}

bool TMainForm::CanClose() {
    if (deviceDataUnsaved_) {
        if (!AskDiscardDeviceData(*prompt_)) {
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
            if (Ask(*prompt_, Text(Msg::SettingsLocked, "\r\n"), Msg::ExclusionErrorCaption,
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
