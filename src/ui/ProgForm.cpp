#include "ui/ProgForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <mutex>

#include "comm/DeviceSession.h"
#include "comm/UserThread.h"
#include "support/DiagnosticLog.h"
#include "ui/CaptionHelpers.h"
#include "ui/ThreadBridges.h"

namespace dialvane {

namespace {

// Questions of a run reach the user through the caller's prompt (the window's when it has none)
// on the main thread; the compact dialog hides itself before the closing message.
class RunPrompt : public IPrompt {
  public:
    RunPrompt(TProgForm* form, IPrompt& prompt) : form_(form), prompt_(prompt) {}
    PromptAnswer Ask(const PromptRequest& request) override {
        if (form_->Compact() && request.title == Text(Msg::CommCompletionCaption)) {
            form_->hide();
        }
        return prompt_.Ask(request);
    }

  private:
    TProgForm* form_;
    IPrompt& prompt_;
};

}  // namespace

TProgForm::TProgForm(IPrompt& prompt, int disp, QWidget* mainWindow)
    : QDialog(mainWindow), prompt_(prompt), disp_(disp), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("ProgForm"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    if (mainWindow != nullptr) {
        setFont(mainWindow->font());
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    PNL_Prog = new QWidget(this);
    PNL_Prog->setObjectName(QStringLiteral("PNL_Prog"));
    PNL_Prog->setFixedHeight(81);
    auto* bars = new QVBoxLayout(PNL_Prog);
    bars->setContentsMargins(10, 10, 10, 10);
    bars->setSpacing(10);
    PB_SEQ = new QProgressBar(PNL_Prog);
    PB_SEQ->setObjectName(QStringLiteral("PB_SEQ"));
    PB_Trans = new QProgressBar(PNL_Prog);
    PB_Trans->setObjectName(QStringLiteral("PB_Trans"));
    for (QProgressBar* bar : {PB_SEQ, PB_Trans}) {
        bar->setTextVisible(false);
        bar->setRange(0, 100);
        bar->setValue(0);
        bars->addWidget(bar);
    }
    layout->addWidget(PNL_Prog);

    PNL_Status = new QWidget(this);
    PNL_Status->setObjectName(QStringLiteral("PNL_Status"));
    auto* status = new QVBoxLayout(PNL_Status);
    status->setContentsMargins(10, 0, 10, 5);
    status->setSpacing(5);
    QFont guiFont = font();
    guiFont.setFamily(DefaultGuiFont().family());
    LBL_Status = new QLabel(PNL_Status);
    LBL_Status->setObjectName(QStringLiteral("LBL_Status"));
    LBL_Status->setFont(guiFont);
    LBL_TRANS_STAT = new QLabel(PNL_Status);
    LBL_TRANS_STAT->setObjectName(QStringLiteral("LBL_TRANS_STAT"));
    LBL_TRANS_STAT->setFont(guiFont);
    LBL_TRANS_STAT->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    LBL_TRANS_STAT->setFixedHeight(QFontMetrics(guiFont).lineSpacing() * 3 + 4);
    RE_Log = new QTextEdit(PNL_Status);
    RE_Log->setObjectName(QStringLiteral("RE_Log"));
    RE_Log->setReadOnly(true);
    RE_Log->setAcceptRichText(false);
    RE_Log->setLineWrapMode(QTextEdit::NoWrap);
    RE_Log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RE_Log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RE_Log->setFont(font());
    status->addWidget(LBL_Status);
    status->addWidget(LBL_TRANS_STAT);
    status->addWidget(RE_Log, 1);
    layout->addWidget(PNL_Status, 1);

    PNL_BTN_Area = new QWidget(this);
    PNL_BTN_Area->setObjectName(QStringLiteral("PNL_BTN_Area"));
    LBL_Target = new QLabel(PNL_BTN_Area);
    LBL_Target->setObjectName(QStringLiteral("LBL_Target"));
    LBL_Target->setAlignment(Qt::AlignCenter);
    BTN_Save = new QPushButton(PNL_BTN_Area);
    BTN_Save->setObjectName(QStringLiteral("BTN_Save"));
    BTN_OK = new QPushButton(PNL_BTN_Area);
    BTN_OK->setObjectName(QStringLiteral("BTN_OK"));
    BTN_Abort = new QPushButton(PNL_BTN_Area);
    BTN_Abort->setObjectName(QStringLiteral("BTN_Abort"));
    for (QPushButton* button : {BTN_Save, BTN_OK, BTN_Abort}) {
        button->setAutoDefault(false);
    }
    connect(BTN_Abort, &QPushButton::clicked, this, [this] { BtnClick(0); });
    connect(BTN_OK, &QPushButton::clicked, this, [this] { BtnClick(1); });
    connect(BTN_Save, &QPushButton::clicked, this, [this] { BtnClick(2); });
    layout->addWidget(PNL_BTN_Area);
    PNL_BTN_Area->installEventFilter(this);

    ApplyCaptions(this);
    if (Compact()) {
        BTN_Save->hide();
        BTN_OK->hide();
        setTabOrder(BTN_Save, BTN_OK);
        setTabOrder(BTN_OK, BTN_Abort);
        RE_Log->hide();
        LBL_Status->hide();
        resize(410, 180);
    } else {
        setTabOrder(BTN_Save, BTN_Abort);
        setTabOrder(BTN_Abort, BTN_OK);
        LBL_TRANS_STAT->hide();
        resize(410, 267);
        setSizeGripEnabled(true);
    }
    ArrangeButtons(PNL_BTN_Area, kStandardRow);
    PNL_BTN_Area->setFixedHeight(MeasureHeight(BTN_Abort) + 10);
    LBL_Target->lower();
    BTN_Abort->setEnabled(false);
}

TProgForm::~TProgForm() {
    if (worker_ != nullptr) {
        worker_->Terminate();
        worker_->Join();
    }
    if (workThread_.joinable()) {
        if (session_ != nullptr) {
            session_->RequestStop();
        }
        workThread_.join();
    }
}

void TProgForm::BeginRun(DeviceSession& session, IPrompt* sessionPrompt) {
    session_ = &session;
    progressBridge_ = new QtProgressBridge(this, this);
    promptBridge_ = std::make_shared<QtPromptBridge>(
        std::make_shared<RunPrompt>(this, sessionPrompt != nullptr ? *sessionPrompt : prompt_));
    session.SetProgress(progressBridge_);
    session.SetPrompt(promptBridge_.get());

    savedCaption_ = windowTitle();
    firstActivation_ = true;
    ended_ = false;
    running_ = true;
    PB_Trans->setMinimum(0);
    SetTargetLabel(std::string());
    const bool upload = mode_ == RunMode::Upload;
    bar_.SetDirection(upload ? 1 : 0);
    SetBarValue(PB_Trans, upload ? 12 : 5, 0);
    SetBarValue(PB_SEQ, PB_SEQ->maximum(), 0);

    if (mainWindow_ != nullptr) {
        move(mainWindow_->geometry().center() - rect().center());
    }
}

void TProgForm::EndRun(IProgress& previousProgress, IPrompt* sessionPrompt) {
    session_->SetProgress(&previousProgress);
    session_->SetPrompt(sessionPrompt);
    delete progressBridge_;
    progressBridge_ = nullptr;
    promptBridge_.reset();
    session_ = nullptr;
    FlushStatuses();
}

RunResult TProgForm::Execute(DeviceSession& session, RunRequest request, IPrompt* sessionPrompt) {
    request.mode = mode_;
    IProgress& previousProgress = session.Progress();
    BeginRun(session, sessionPrompt);
    worker_ = session.MakeWorker(std::move(request));
    worker_->Start([this](const RunResult&) {
        QMetaObject::invokeMethod(
            this, [this] { EndOfSequence(); }, Qt::QueuedConnection);
    });
    exec();
    // The compact dialog hides itself before the closing message; the run is over only when
    // the worker has handed over.
    while (!ended_) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    worker_->Join();
    RunResult result = worker_->Result();
    worker_.reset();
    EndRun(previousProgress, sessionPrompt);
    return result;
}

void TProgForm::ExecuteWork(DeviceSession& session,
                            const std::function<void(IPrompt&, IProgress&)>& work,
                            IPrompt* sessionPrompt) {
    IProgress& previousProgress = session.Progress();
    BeginRun(session, sessionPrompt);
    IPrompt& prompt = *promptBridge_;
    IProgress& progress = *progressBridge_;
    workThread_ = std::thread([this, &work, &prompt, &progress] {
        work(prompt, progress);
        QMetaObject::invokeMethod(
            this, [this] { EndOfSequence(); }, Qt::QueuedConnection);
    });
    exec();
    while (!ended_) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    workThread_.join();
    EndRun(previousProgress, sessionPrompt);
}

void TProgForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (firstActivation_) {
        FirstActivation();
    }
}

void TProgForm::FirstActivation() {
    firstActivation_ = false;
    const std::string direction =
        Text(mode_ == RunMode::Upload ? Msg::ProgSendRecordFile : Msg::ProgReadRecordFile);
    setWindowTitle(savedCaption_ + Q(" [" + direction + "]"));
    BTN_Abort->setEnabled(true);
    BTN_OK->setEnabled(false);
    BTN_Save->setEnabled(BTN_OK->isEnabled());
    RE_Log->clear();
}

void TProgForm::done(int result) {
    firstActivation_ = false;
    if (!savedCaption_.isEmpty()) {
        setWindowTitle(savedCaption_);
    }
    BTN_Abort->setEnabled(false);
    QDialog::done(result);
}

void TProgForm::reject() {
    // Escape does not end a transfer; only the end of the sequence or OK closes the dialog.
    if (!running_ && !Compact()) {
        done(QDialog::Rejected);
    }
}

void TProgForm::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TProgForm::BtnClick(int tag) {
    switch (tag) {
        case 0:
            BTN_Abort->setEnabled(false);
            if (session_ != nullptr) {
                session_->RequestStop();
            }
            break;
        case 1:
            done(QDialog::Accepted);
            break;
        case 2: {
            QFileDialog dialog(this);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setNameFilter(QtFileFilter(Text(Msg::TextSaveFilter)));
            dialog.setDefaultSuffix(QStringLiteral("csv"));
            if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
                SaveView(S(dialog.selectedFiles().front()));
            }
            break;
        }
        default:
            break;
    }
}

void TProgForm::EndOfSequence() {
    ended_ = true;
    running_ = false;
    SetBarValue(PB_Trans, PB_Trans->maximum(), 0);
    SetBarValue(PB_SEQ, PB_SEQ->maximum(), PB_SEQ->maximum());
    BTN_Abort->setEnabled(false);
    if (!Compact()) {
        BTN_OK->setEnabled(true);
        BTN_Save->setEnabled(true);
    }
    emit SequenceEnded();
    if (Compact()) {
        done(QDialog::Accepted);
    }
}

void TProgForm::ShowStatus(const std::string& text, int level) {
    pendingStatuses_.emplace_back(text, level);
    FlushStatuses();
}

void TProgForm::FlushStatuses() {
    if (pendingStatuses_.empty()) {
        return;
    }
    // A worker holding the log lock may be waiting for this thread (a question); never block
    // on the lock here, try again shortly instead.
    std::unique_lock lock(LogLock(), std::try_to_lock);
    if (!lock.owns_lock()) {
        if (!flushScheduled_) {
            flushScheduled_ = true;
            QTimer::singleShot(1, this, [this] {
                flushScheduled_ = false;
                FlushStatuses();
            });
        }
        return;
    }
    for (const auto& [text, level] : pendingStatuses_) {
        if (!Compact()) {
            if (level <= disp_) {
                QTextCursor cursor(RE_Log->document());
                cursor.movePosition(QTextCursor::Start);
                const bool empty = RE_Log->document()->isEmpty();
                cursor.insertText(empty ? Q(text) : Q(text) + QLatin1Char('\n'));
            }
        } else if (level == 0) {
            LBL_TRANS_STAT->setText(Q(text + "\n\n" + Text(Msg::ProgDoNotPrint)));
            // Three lines of the window font, or more when the text's glyphs (Japanese ones
            // come from a taller fallback font) need more.
            LBL_TRANS_STAT->setFixedHeight(
                std::max(QFontMetrics(LBL_TRANS_STAT->font()).lineSpacing() * 3 + 4,
                         LBL_TRANS_STAT->sizeHint().height()));
        }
    }
    pendingStatuses_.clear();
}

void TProgForm::SetSequenceProgress(char kind, int step, long long done, long long total) {
    bar_.Apply(kind, step, done, total);
    SetBarValue(PB_SEQ, bar_.Maximum(), bar_.Position());
}

void TProgForm::SetTargetLabel(const std::string& name) {
    LBL_Target->setText(name.empty() ? QString() : Q("[  " + name + "  ]"));
}

void TProgForm::SetTransferRange(int maximum) {
    SetBarValue(PB_Trans, maximum, 0);
}

void TProgForm::SetTransferPosition(int position) {
    SetBarValue(PB_Trans, PB_Trans->maximum(), position);
}

void TProgForm::SetDirection(int direction) {
    bar_.SetDirection(direction);
}

void TProgForm::SetButtonsEnabled(bool enabled) {
    BTN_Abort->setEnabled(enabled && running_);
}

void TProgForm::SetBarValue(QProgressBar* bar, long long maximum, long long position) {
    const long long top = std::max(0LL, std::min<long long>(maximum, INT32_MAX));
    bar->setMaximum(static_cast<int>(top));
    bar->setValue(static_cast<int>(std::clamp(position, 0LL, top)));
}

std::vector<std::string> TProgForm::ViewLines() const {
    std::vector<std::string> lines;
    if (RE_Log->document()->isEmpty()) {
        return lines;
    }
    for (QTextBlock block = RE_Log->document()->begin(); block.isValid(); block = block.next()) {
        lines.push_back(S(block.text()));
    }
    return lines;
}

bool TProgForm::SaveView(const std::string& path) {
    return SaveLinesOrTell(prompt_, path, ViewLines());
}

bool TProgForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PNL_BTN_Area && event->type() == QEvent::Resize) {
        LBL_Target->setGeometry(PNL_BTN_Area->rect());
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace dialvane
