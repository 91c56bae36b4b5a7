#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "comm/DeviceRun.h"
#include "support/Progress.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTextEdit;
class QWidget;

namespace dialvane {

class DeviceSession;
class IPrompt;
class QtProgressBridge;
class QtPromptBridge;
class UThread;
struct RunRequest;
struct RunResult;

// The progress dialog of a download or upload. Compact when DISP is 0 (one status label, Stop),
// detailed otherwise (a progress view of the lines whose level is at most DISP, Stop, OK, Save).
// IProgress is implemented for the main thread; the worker reaches it through a queued bridge.
class TProgForm : public QDialog, public IProgress {
    Q_OBJECT
  public:
    TProgForm(IPrompt& prompt, int disp, QWidget* mainWindow = nullptr);
    ~TProgForm() override;

    // Download (a read from the MFP) or Upload (a write to it); set before Execute.
    void SetRunMode(RunMode mode) { mode_ = mode; }
    RunMode Mode() const { return mode_; }
    bool Compact() const { return disp_ == 0; }

    // Runs one transfer: the worker for `request` (its mode is the dialog's run mode) in
    // `session`, with the dialog shown modally until the sequence has ended and the dialog is
    // closed. Progress and questions of the run go through thread bridges to this dialog; the
    // questions are answered by `sessionPrompt` (the session's prompt between transfers;
    // nullptr: the dialog's own), which the session gets back afterwards with its
    // previous progress. Returns the worker's result.
    RunResult Execute(DeviceSession& session, RunRequest request, IPrompt* sessionPrompt = nullptr);
    // The same for a sequence of runs: `work` runs on a worker thread with the dialog's
    // questions and progress, and Stop stops the run of `session` that is under way.
    void ExecuteWork(DeviceSession& session, const std::function<void(IPrompt&, IProgress&)>& work,
                     IPrompt* sessionPrompt = nullptr);

    // The worker of the running transfer (the main window's worker slot looks here); nullptr
    // when no transfer runs.
    UThread* Worker() const { return worker_.get(); }
    // A transfer (one run or a workflow) is under way.
    bool Running() const { return worker_ != nullptr || workThread_.joinable(); }

    // IProgress, main thread.
    void ShowStatus(const std::string& text, int level) override;
    void SetSequenceProgress(char kind, int step, long long done, long long total) override;
    void SetTargetLabel(const std::string& name) override;
    void SetTransferRange(int maximum) override;
    void SetTransferPosition(int position) override;
    void SetDirection(int direction) override;
    void SetButtonsEnabled(bool enabled) override;

    // Lines of the progress view, newest first.
    std::vector<std::string> ViewLines() const;
    // Writes the view to path; an unwritable file is reported to the user. False then.
    bool SaveView(const std::string& path);

    // Components, by their names.
    QWidget* PNL_BTN_Area = nullptr;
    QPushButton* BTN_Abort = nullptr;
    QPushButton* BTN_OK = nullptr;
    QPushButton* BTN_Save = nullptr;
    QWidget* PNL_Prog = nullptr;
    QProgressBar* PB_SEQ = nullptr;
    QProgressBar* PB_Trans = nullptr;
    QWidget* PNL_Status = nullptr;
    QLabel* LBL_Status = nullptr;
    QLabel* LBL_TRANS_STAT = nullptr;
    QTextEdit* RE_Log = nullptr;
    QLabel* LBL_Target = nullptr;

  signals:
    // Emitted on the main thread when the worker's sequence has ended.
    void SequenceEnded();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;
    void reject() override;

  private:
    void BtnClick(int tag);
    void FirstActivation();
    void EndOfSequence();
    void SetBarValue(QProgressBar* bar, long long maximum, long long position);
    void FlushStatuses();
    bool eventFilter(QObject* watched, QEvent* event) override;

    IPrompt& prompt_;
    int disp_;
    RunMode mode_ = RunMode::Download;
    QWidget* mainWindow_;
    QString savedCaption_;
    bool firstActivation_ = false;
    bool running_ = false;
    bool ended_ = false;
    std::vector<std::pair<std::string, int>> pendingStatuses_;
    bool flushScheduled_ = false;
    SequenceBar bar_;
    DeviceSession* session_ = nullptr;
    std::unique_ptr<UThread> worker_;
    std::thread workThread_;  // ExecuteWork's worker
    void BeginRun(DeviceSession& session, IPrompt* sessionPrompt);
    void EndRun(IProgress& previousProgress, IPrompt* sessionPrompt);
    QtProgressBridge* progressBridge_ = nullptr;
    std::shared_ptr<QtPromptBridge> promptBridge_;
};

}  // namespace dialvane
