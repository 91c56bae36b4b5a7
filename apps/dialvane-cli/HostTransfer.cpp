#include "HostTransfer.h"

#include <chrono>
#include <ctime>
#include <ostream>

#include "CliCommands.h"
#include "StandardStreams.h"
#include "TerminalPrompt.h"
#include "UserFileEncoding.h"
#include "data/BackupStore.h"
#include "data/DialFileLoader.h"
#include "data/DialListDiff.h"
#include "data/ModeMessages.h"
#include "protocol/DeviceRecords.h"
#include "protocol/FailureText.h"
#include "support/DiagnosticLog.h"
#include "support/FileUtil.h"
#include "support/Messages.h"
#include "transport/UsbChannelSetup.h"

namespace dialvane {
namespace {

class CliPrompt : public IPrompt {
  public:
    explicit CliPrompt(TerminalProgress& lines) : lines_(lines) {}

    PromptAnswer Ask(const PromptRequest& request) override {
        if (request.title == Text(Msg::CommCompletionCaption)) {
            return EffectiveDefault(request);
        }
        lines_.WriteLine(request.text);
        if (request.title == Text(Msg::CommStopCaption)) {
            return PromptAnswer::Yes;
        }
        return EffectiveDefault(request);
    }

  private:
    TerminalProgress& lines_;
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

std::unique_ptr<IPrompt> MakeCliPrompt(TerminalProgress& lines) {
    return std::make_unique<CliPrompt>(lines);
}

HostTransfer::HostTransfer(const Environment& environment, const CliOptions& options,
                           std::string host, std::ostream& out, std::ostream& err, bool drawBar,
                           bool tagLog)
    : environment_(environment),
      options_(options),
      host_(std::move(host)),
      out_(out),
      progress_(std::make_unique<TerminalProgress>(err, environment.settings.disp, drawBar)),
      prompt_(MakeCliPrompt(*progress_)),
      product_(std::make_unique<TProductInfo>(environment.programSettingsFile)),
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
        settings.fileEncoding = UserFileEncoding(options_);
        settings.downloadFile = folder_->File("TELDIR_TOOL.TMP");
        settings.sendFile = folder_->File("MFP_VERIFY.TMP");
        if (tagLog_) {
            settings.engine.logTag = host_;
        }
        {
            std::lock_guard lock(sessionMutex_);
            session_ = std::make_unique<DeviceSession>(std::move(settings));
            if (options_.usb) {
                usb_ = std::make_unique<ChannelLibrary>(UsbChannelSetupFor(
                    environment_.settings, environment_.programFolder, options_.printer));
                session_->UseChannel(usb_.get());
                FollowProduct();
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
            outcome = usb_ ? UsbTest() : NetworkTest();
        } else {
            outcome = Transfer(outputFile);
        }
        std::lock_guard lock(sessionMutex_);
        session_.reset();
        if (usb_) {
            usb_->ChannelRelease();
            usb_.reset();
        }
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

void HostTransfer::FollowProduct() {
    if (usb_) {
        usb_->SetLibraryChoice(product_->ZevizLibrary());
        usb_->SetReceiveTimeout(product_->MVReceiveTimeout());
    }
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
    outcome.result = Text(Msg::UsbTestOk, product_->ModelName(), usb_->PrinterName());
    Result(outcome.result);
    return outcome;
}

HostOutcome HostTransfer::Transfer(const std::string& outputFile) {
    // A run that stops before the transfer still ends with the mode's failure text, so a
    // script can rely on the last line.
    const bool download = options_.command == "download";
    const bool preview = options_.command == "diff" || options_.dryRun;
    const Msg failed = download ? Msg::CommDownloadFailed : Msg::CommUploadFailed;
    HostOutcome outcome;
    // diff can only say "cannot compare": that is its usage/file error status.
    const int notDone = options_.command == "diff" ? kExitUsage : kExitErrors;
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
        return fail(TerminalText(session_->Engine().lastFailureText));
    }
    // This MFP's kind of quick dials words the messages of this thread, whatever the others are.
    const ScopedModeMessages wording(product_->OneTouch());
    RecordTable table(*product_);
    if (stopRequested_) {
        return fail({});
    }
    const std::string model = outcome.model;
    if (download) {
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
    if (!PrepareUpload(table)) {
        return fail({});
    }
    std::string backupPath;
    if (!ReadCurrentList(table, outcome, &backupPath)) {
        if (!preview) {
            return fail(outcome.result);
        }
        outcome.stopped = stopRequested_;
        return outcome;
    }
    if (preview) {
        return outcome;
    }
    std::string sendFileError;
    const RunResult result = session_->Upload(table, *product_, &sendFileError);
    if (!sendFileError.empty()) {
        Message(sendFileError);
        return fail(TerminalText(sendFileError));
    }
    outcome = Outcome(result, failed);
    outcome.model = model;
    if (!result.success && result.cancellationRan && !backupPath.empty()) {
        Message(Text(Msg::BackupIncomplete, backupPath));
        Message(Text(Msg::BackupRestoreCommand, RestoreCommand(backupPath)));
    }
    return outcome;
}

bool HostTransfer::ReadCurrentList(const RecordTable& planned, HostOutcome& outcome,
                                   std::string* backupPath) {
    const bool preview = options_.command == "diff" || options_.dryRun;
    const bool backup = !preview && environment_.settings.backup && !options_.noBackup;
    if (!preview && !backup) {
        return true;
    }
    RecordTable current(*product_);
    if (backup) {
        Message(Text(Msg::BackupReading));
    }
    const RunResult read = session_->ReadList(current, *product_);
    if (!read.success) {
        outcome.result = Text(Msg::BackupReadFailed);
        Message(outcome.result);
        outcome.exitStatus = preview ? kExitUsage : kExitErrors;
        return false;
    }
    if (preview) {
        // diff exits 1 when it printed something; a dry run has done its job either way.
        const DialListDiff diff = DiffDialLists(current, planned);
        for (const std::string& line : diff.Lines()) {
            Result(line);
        }
        outcome.success = true;
        outcome.exitStatus = options_.dryRun || diff.Empty() ? kExitOk : kExitErrors;
        return false;
    }
    const BackupStore store(environment_.paths.backupFolder, environment_.settings.backupKeep);
    std::string error;
    if (!store.Save(current, product_->ModelName(), BackupAddress(), std::time(nullptr), backupPath,
                    &error)) {
        Message(error);
        outcome.result = TerminalText(error);
        return false;
    }
    Message(Text(Msg::BackupSaved, *backupPath));
    return true;
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
    } else if (!session_->Engine().lastFailureText.empty()) {
        // What the device did says more than the run's general "stopped by device error".
        outcome.result = TerminalText(session_->Engine().lastFailureText);
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
        if (!session_->Engine().lastFailureText.empty()) {
            Message(session_->Engine().lastFailureText);
        }
        // After Ctrl-C the device was never at fault.
        if (!result.stopped) {
            Message(FailureText(ResponseStatus::QNL_ERR_DEV, 0));
        }
        return false;
    }
    outcome.model = result.modelName;
    FollowProduct();
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
        CheckEncodes(table, *product_);
    } catch (const std::runtime_error& error) {
        Message(GeneralErrorText(error.what()));
        return false;
    }
    return true;
}

}  // namespace dialvane
