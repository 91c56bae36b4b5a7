#include "HostTransfer.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <ostream>

#include "CliCommands.h"
#include "StandardStreams.h"
#include "TerminalPrompt.h"
#include "UserFileEncoding.h"
#include "comm/TransferWorkflow.h"
#include "data/BackupStore.h"
#include "data/DialFileLoader.h"
#include "data/DialListDiff.h"
#include "support/DiagnosticLog.h"
#include "support/FileUtil.h"
#include "support/Messages.h"

namespace dialvane {
namespace {

class CliPrompt : public IPrompt {
  public:
    CliPrompt(TerminalProgress& lines, std::ostream& err, bool askSend)
        : lines_(lines), err_(err), askSend_(askSend) {}

    PromptAnswer Ask(const PromptRequest& request) override {
        // A Ctrl-C already said "stop"; the completion is printed by the caller.
        if (request.title == Text(Msg::CommCompletionCaption) ||
            request.title == Text(Msg::CommStopCaption)) {
            return request.title == Text(Msg::CommStopCaption) ? PromptAnswer::Yes
                                                               : EffectiveDefault(request);
        }
        if (request.purpose == PromptPurpose::SendConfirmation) {
            if (askSend_) {
                lines_.Finish();
                return TerminalPrompt(std::cin, err_, true).Ask(request);
            }
            // The counts under the question, as a line of their own.
            const std::size_t gap = request.text.rfind("\r\n\r\n");
            if (gap != std::string::npos) {
                lines_.WriteLine(request.text.substr(gap + 4));
            }
            return PromptAnswer::Yes;
        }
        lines_.WriteLine(request.text);
        return EffectiveDefault(request);
    }

  private:
    TerminalProgress& lines_;
    std::ostream& err_;
    bool askSend_;
};

// "\r\n( text )", as a run stores the error that ended it, back to the text.
std::string StoredErrorText(const std::string& stored) {
    std::string text = TerminalText(stored);
    const std::size_t open = text.find("( ");
    const std::size_t close = text.rfind(" )");
    if (open != std::string::npos && close != std::string::npos && close > open) {
        return text.substr(open + 2, close - open - 2);
    }
    return text;
}

std::string ShellWord(const std::string& word) {
    const bool plain = !word.empty() && word.find_first_not_of(
                                            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                            "0123456789._/:@%+=,-") == std::string::npos;
    if (plain) {
        return word;
    }
    std::string quoted = "'";
    for (const char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

}  // namespace

std::unique_ptr<IPrompt> MakeCliPrompt(TerminalProgress& lines, std::ostream& err, bool askSend) {
    return std::make_unique<CliPrompt>(lines, err, askSend);
}

HostTransfer::HostTransfer(const Environment& environment, const CliOptions& options,
                           std::string host, std::ostream& out, std::ostream& err, bool drawBar,
                           bool tagLog, bool askSend)
    : environment_(environment),
      options_(options),
      host_(std::move(host)),
      out_(out),
      progress_(std::make_unique<TerminalProgress>(err, environment.settings.disp, drawBar)),
      prompt_(MakeCliPrompt(*progress_, err, askSend)),
      product_(std::make_unique<TProductInfo>(environment.programSettingsFile,
                                              CliTextRules(environment))),
      tagLog_(tagLog) {}

HostTransfer::~HostTransfer() {
    {
        std::lock_guard lock(sessionMutex_);
        session_.reset();
    }
    progress_->Finish();
}

void HostTransfer::RequestStop() {
    stopRequested_ = true;
    std::lock_guard lock(sessionMutex_);
    if (session_) {
        session_->RequestStop();
    }
}

void HostTransfer::Message(const std::string& text) {
    progress_->WriteLine(text);
}

void HostTransfer::Result(const std::string& text) {
    progress_->Finish();
    out_ << TerminalText(text) << '\n';
    out_.flush();
}

HostOutcome HostTransfer::Run(const std::string& outputFile) {
    const auto start = std::chrono::steady_clock::now();
    const ScopedLogTag tag(tagLog_ ? host_ : std::string());
    HostOutcome outcome;
    std::string error;
    folder_ = RunFolder::Create(environment_.paths.dataFolder, &error);
    if (!folder_) {
        Message(error);
        outcome.result = error;
    } else if (stopRequested_) {
        outcome.stopped = true;
        outcome.result = Text(Msg::CliStoppedByUser);
    } else {
        DeviceSessionSettings settings = SessionSettingsFor(environment_, options_.verify);
        settings.fileEncoding = UserFileEncoding(options_, product_->Rules());
        settings.downloadFile = folder_->File("TELDIR_TOOL.TMP");
        settings.sendFile = folder_->File("MFP_VERIFY.TMP");
        if (tagLog_) {
            settings.engine.logTag = host_;
        }
        {
            std::lock_guard lock(sessionMutex_);
            session_ = std::make_unique<DeviceSession>(std::move(settings));
            if (options_.usb) {
                session_->UseUsb(environment_.settings, environment_.programFolder,
                                 options_.printer);
                session_->FollowProduct(*product_);
            } else {
                session_->UseNetwork(host_);
            }
            session_->SetPrompt(prompt_.get());
            session_->SetProgress(progress_.get());
            if (stopRequested_) {
                session_->RequestStop();
            }
        }
        if (options_.command == "test") {
            outcome = options_.usb ? UsbTest() : NetworkTest();
        } else {
            outcome = Transfer(outputFile);
        }
        // Its end releases the USB library: the command no longer talks over USB.
        std::lock_guard lock(sessionMutex_);
        session_.reset();
    }
    folder_.reset();
    progress_->Finish();
    if (outcome.stopped) {
        outcome.exitStatus = kExitInterrupted;
    }
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return outcome;
}

HostOutcome HostTransfer::NetworkTest() {
    const RunResult result = session_->NetworkTest();
    HostOutcome outcome;
    outcome.success = result.success;
    outcome.exitStatus = result.success ? kExitOk : kExitErrors;
    outcome.model = result.modelName;
    outcome.result = result.networkTestText;
    if (result.success) {
        Result(result.networkTestText);
    } else {
        Message(result.networkTestText);
        if (!result.failureCause.empty()) {
            Message(result.failureCause);
        }
    }
    return outcome;
}

HostOutcome HostTransfer::UsbTest() {
    HostOutcome outcome;
    if (!Inquire(outcome)) {
        outcome.result = Text(Msg::UsbTestNg);
        Message(outcome.result);
        return outcome;
    }
    outcome.success = true;
    outcome.exitStatus = kExitOk;
    outcome.result = Text(Msg::UsbTestOk, product_->ModelName(), session_->UsbPrinterName());
    Result(outcome.result);
    return outcome;
}

HostOutcome HostTransfer::Transfer(const std::string& outputFile) {
    // A run that stops before the transfer still ends with the mode's failure text, so a
    // script can rely on the last line.
    if (options_.command != "download") {
        return Send();
    }
    const Msg failed = Msg::CommDownloadFailed;
    HostOutcome outcome;
    const int notDone = kExitErrors;
    auto fail = [&](const std::string& why) {
        Message(Text(failed));
        outcome.success = false;
        outcome.exitStatus = notDone;
        outcome.result = why.empty() ? Text(failed) : why;
        outcome.stopped = stopRequested_;
        if (outcome.stopped) {
            outcome.result = Text(Msg::CliStoppedByUser);
        }
        return outcome;
    };
    if (!Inquire(outcome)) {
        return fail(TerminalText(session_->LastFailureText()));
    }
    RecordTable table(*product_);
    if (stopRequested_) {
        return fail({});
    }
    const std::string model = outcome.model;
    {
        const bool toStandardOutput = outputFile == kStandardStream;
        const std::string file = toStandardOutput ? folder_->File("download.csv") : outputFile;
        const RunResult result = session_->Download(table, *product_, file);
        if (result.success && toStandardOutput) {
            progress_->Finish();
            if (!CopyFileTo(file, out_)) {
                return fail(Text(Msg::CliStandardOutputFailed));
            }
        }
        outcome = Outcome(result, failed);
        outcome.model = model;
        return outcome;
    }
}

HostOutcome HostTransfer::Send() {
    const bool restore = options_.command == "restore";
    const bool diff = options_.command == "diff";
    const bool sync = static_cast<bool>(fromCurrent_);
    TransferOptions plan;
    plan.previewOnly = diff || options_.dryRun;
    plan.backup = restore || (environment_.settings.backup && !options_.noBackup);
    // Without the MFP's list there is nothing to count, and nothing is asked, as before.
    plan.confirm = plan.backup && !sync;
    plan.verify = restore || sync;  // a restore and a sync always read the list back
    plan.backupFolder = environment_.paths.backupFolder;
    plan.backupKeep = environment_.settings.backupKeep;
    plan.backupAddress = BackupAddress();

    HostOutcome outcome;
    bool usage = false;   // no backup, or a BACKUP that is not there: exit 2
    bool listed = false;  // --list: printed, nothing sent
    std::string chosen;
    ListSource source;
    if (restore) {
        source = [&](const TProductInfo& product, RecordTable& table, ListChoice& choice) {
            const BackupStore store(plan.backupFolder, plan.backupKeep);
            std::vector<std::string> backups = store.List(product.ModelName(), plan.backupAddress);
            if (options_.list) {
                listed = true;
                for (auto it = backups.rbegin(); it != backups.rend(); ++it) {
                    Result(BackupSummaryLine(*it, product));
                }
                return false;
            }
            if (options_.file.empty()) {
                if (backups.empty()) {
                    usage = true;
                    choice.error = Text(Msg::RestoreNoBackup, store.Folder());
                    return false;
                }
                chosen = backups.back();
            } else {
                chosen = options_.file;
                if (!FileExists(chosen) && chosen.find('/') == std::string::npos) {
                    chosen = store.Folder() + chosen;
                }
            }
            choice.spareBackup = chosen;
            if (!LoadBackup(chosen, product, table, &choice.error)) {
                usage = true;
                return false;
            }
            return true;
        };
    } else {
        source = [&](const TProductInfo&, RecordTable& table, ListChoice&) {
            return PrepareUpload(table);
        };
    }

    TransferWorkflow workflow(*session_, *product_, *prompt_, *progress_);
    const TransferReport report =
        sync ? workflow.SendAgainstCurrent(fromCurrent_, plan) : workflow.Send(source, plan);
    if (!report.model.empty()) {
        outcome.model = report.model;
    }
    const Msg failed = Msg::CommUploadFailed;
    switch (report.end) {
        case TransferEnd::Previewed:
            for (const std::string& line : report.diff.Lines()) {
                Result(line);
            }
            // diff exits 1 when it printed something; a dry run has done its job either way.
            outcome.success = true;
            outcome.exitStatus = options_.dryRun || report.diff.Empty() ? kExitOk : kExitErrors;
            // A sync has to leave every MFP holding the address book; a preview says which would.
            if (sync) {
                outcome.success = report.diff.Empty();
                outcome.exitStatus = outcome.success ? kExitOk : kExitErrors;
                outcome.result =
                    outcome.success ? Text(Msg::TransferUnchangedResult) : report.diff.Summary();
            }
            return outcome;
        case TransferEnd::Unchanged:
            Result(Text(Msg::TransferUnchanged));
            outcome.success = true;
            outcome.exitStatus = kExitOk;
            outcome.result = Text(Msg::TransferUnchangedResult);
            return outcome;
        case TransferEnd::Declined:
            Message(Text(Msg::TransferDeclined));
            outcome.result = Text(Msg::TransferDeclined);
            return outcome;
        case TransferEnd::Done: {
            std::string text = TerminalText(report.completion);
            if (restore) {
                const std::size_t verifyLine = text.find('\n');
                text = Text(Msg::RestoreDone, std::filesystem::path(chosen).filename().string()) +
                       (verifyLine == std::string::npos ? "" : text.substr(verifyLine));
            }
            Result(text);
            outcome.success = true;
            outcome.exitStatus = kExitOk;
            // A sync's row says the list was read back and found equal.
            outcome.result =
                sync ? text.substr(text.rfind('\n') + 1) : text.substr(0, text.find('\n'));
            return outcome;
        }
        case TransferEnd::FailedUnchanged:
        case TransferEnd::FailedChanged:
            break;
    }
    if (listed) {
        outcome.success = true;
        outcome.exitStatus = kExitOk;
        return outcome;
    }
    outcome.stopped = report.stopped || stopRequested_;
    // A list with errors has printed them; its end is the mode's failure text, as before.
    if (report.phase == TransferPhase::FileCheck && report.cause.empty()) {
        Message(Text(failed));
        outcome.result = Text(failed);
    } else {
        Message(report.FailureMessage());
        outcome.result = TerminalText(report.cause);
        if (report.end == TransferEnd::FailedChanged && !report.backupPath.empty()) {
            Message(Text(Msg::BackupRestoreCommand, RestoreCommand(report.backupPath)));
        }
    }
    if (outcome.stopped) {
        outcome.result = Text(Msg::CliStoppedByUser);
    }
    outcome.exitStatus = usage || diff ? kExitUsage : kExitErrors;
    return outcome;
}

std::string HostTransfer::BackupAddress() const {
    return options_.usb ? std::string("usb") : host_;
}

// It takes no backup of its own: the newest backup stays the list the MFP held before.
std::string HostTransfer::RestoreCommand(const std::string& backupPath) const {
    std::string command = "dialvane-cli";
    if (!options_.settingsPath.empty()) {
        command += " --settings " + ShellWord(options_.settingsPath);
    }
    if (!options_.dataDir.empty()) {
        command += " --data-dir " + ShellWord(options_.dataDir);
    }
    command += " upload";
    if (options_.usb) {
        command += " --usb";
        if (!options_.printer.empty()) {
            command += " --printer " + ShellWord(options_.printer);
        }
    } else {
        command += " --host " + ShellWord(host_);
    }
    return command + " --no-backup " + ShellWord(backupPath);
}

HostOutcome HostTransfer::Outcome(const RunResult& result, Msg failed) {
    HostOutcome outcome;
    outcome.success = result.success;
    outcome.stopped = result.stopped || (!result.success && stopRequested_);
    if (result.success) {
        outcome.exitStatus = kExitOk;
        outcome.result = TerminalText(result.completionText);
        // With the list itself on standard output, the completion text is only a message.
        if (options_.output == kStandardStream && options_.command == "download") {
            Message(outcome.result);
        } else {
            Result(outcome.result);
        }
        return outcome;
    }
    if (!result.completionText.empty()) {
        Message(result.completionText);
    }
    if (outcome.stopped) {
        outcome.result = Text(Msg::CliStoppedByUser);
    } else if (const std::string device = session_->LastFailureText(); !device.empty()) {
        // What the device did says more than the run's general "stopped by device error".
        outcome.result = TerminalText(device);
    } else if (!result.errorText.empty()) {
        outcome.result = StoredErrorText(result.errorText);
    } else {
        outcome.result = Text(failed);
    }
    return outcome;
}

// The start-up inquiry: the model the MFP reports picks the capabilities.
bool HostTransfer::Inquire(HostOutcome& outcome) {
    const RunResult result = session_->Inquire(*product_);
    if (result.channelTestResult != 0) {
        if (const std::string device = session_->LastFailureText(); !device.empty()) {
            Message(device);
        }
        // After Ctrl-C the device was never at fault.
        if (!result.stopped) {
            Message(Text(Msg::QnlDeviceNotConnected));
        }
        return false;
    }
    outcome.model = result.modelName;
    session_->FollowProduct(*product_);
    return true;
}

// The user file through the editor loader and the strict gate: all before anything goes to
// the MFP.
bool HostTransfer::PrepareUpload(RecordTable& table) {
    DialModel model;
    const LoadResult loaded =
        LoadUserFile(options_, model, *product_, [this](const std::string& w) { Message(w); });
    if (!loaded.readable) {
        Message(loaded.readError);
        return false;
    }
    for (const std::string& line : loaded.errorLines) {
        Message(line);
    }
    if (!loaded.errorLines.empty()) {
        return false;
    }
    try {
        table.BuildFromModel(model);
        CheckListSendable(table, *product_);
    } catch (const std::runtime_error& error) {
        Message(GeneralErrorText(error.what()));
        return false;
    }
    return true;
}

}  // namespace dialvane
