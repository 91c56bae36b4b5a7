#pragma once

#include <atomic>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "CliOptions.h"
#include "TerminalProgress.h"
#include "comm/DeviceSession.h"
#include "comm/RunFolder.h"
#include "comm/TransferWorkflow.h"
#include "support/Environment.h"
#include "support/Prompt.h"

namespace dialvane {

// What became of one MFP.
struct HostOutcome {
    bool success = false;
    bool stopped = false;
    int exitStatus = kExitErrors;  // what this MFP alone would make the program exit with
    std::string model;             // the name the MFP reported; empty when it never answered
    std::string result;            // the completion text, or the most telling failure text
    double seconds = 0;
};

// One MFP's part of a transfer command (over the network, or with --usb over the channel
// library), with everything of its own: the session (connection, engine, receive thread), a
// folder for its temporary files, its capabilities and its table.
// Results (the completion text, the diff, the test's model line) go to `out`; progress,
// warnings and failure messages to `err`. With `tagLog` the log lines of this MFP's run carry
// its address.
class HostTransfer {
  public:
    HostTransfer(const Environment& environment, const CliOptions& options, std::string host,
                 std::ostream& out, std::ostream& err, bool drawBar, bool tagLog,
                 bool askSend = false);
    ~HostTransfer();
    HostTransfer(const HostTransfer&) = delete;
    HostTransfer& operator=(const HostTransfer&) = delete;

    // Runs the command against this MFP on the calling thread; a download goes to `outputFile`.
    HostOutcome Run(const std::string& outputFile);
    // Thread-safe: the running exchange stops (the fax is released) and nothing further starts.
    void RequestStop();
    // sync: the list to send is built from the one the MFP holds, read back after sending, and
    // nothing is asked. Set before Run.
    void BuildFromCurrent(CurrentListSource source) { fromCurrent_ = std::move(source); }

  private:
    HostOutcome Transfer(const std::string& outputFile);
    HostOutcome NetworkTest();
    HostOutcome UsbTest();
    bool Inquire(HostOutcome& outcome);
    bool PrepareUpload(RecordTable& table);
    // upload, diff and restore: the transfer workflow with this MFP's list or backup.
    HostOutcome Send();
    // The run's result: the completion text is printed as a result or a failure message.
    HostOutcome Outcome(const RunResult& result, Msg failed);
    // A message line on the progress stream, below the bar.
    void Message(const std::string& text);
    // A result line on the results stream, after the bar's line has ended.
    void Result(const std::string& text);
    std::string BackupAddress() const;
    // The command that sends the backup back, as this run was called.
    std::string RestoreCommand(const std::string& backupPath) const;

    const Environment& environment_;
    const CliOptions& options_;
    std::string host_;
    std::ostream& out_;
    std::unique_ptr<TerminalProgress> progress_;
    std::unique_ptr<IPrompt> prompt_;
    std::unique_ptr<RunFolder> folder_;
    std::unique_ptr<TProductInfo> product_;
    bool tagLog_;

    std::mutex sessionMutex_;  // the session against RequestStop
    std::unique_ptr<DeviceSession> session_;
    std::atomic<bool> stopRequested_{false};
    CurrentListSource fromCurrent_;
};

// The message boxes of the desktop program, printed on `lines`. The completion box is left to
// the caller, which knows whether it is a result or a failure. The stop question only comes
// after a Ctrl-C, which already said "stop": it is answered Yes, unprinted. The send
// confirmation prints its counts and is answered Yes, unless `askSend` (one MFP on a terminal,
// no --yes): then it is asked on `err` and answered from standard input.
std::unique_ptr<IPrompt> MakeCliPrompt(TerminalProgress& lines, std::ostream& err, bool askSend);

}  // namespace dialvane
