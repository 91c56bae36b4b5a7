#include "TransferCommands.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <ctime>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>

#include "comm/DeviceSession.h"
#include "data/BackupStore.h"
#include "data/CharConv.h"
#include "data/DialFileLoader.h"
#include "data/DialListDiff.h"
#include "data/TextChecks.h"
#include "protocol/DeviceRecords.h"
#include "protocol/FailureText.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "support/TerminalProgress.h"
#include "support/TerminalPrompt.h"
#include "transport/UsbChannelSetup.h"

namespace dialvane {
namespace {

constexpr int kExitCompleted = 0;
constexpr int kExitFailed = 1;

// The message boxes of the desktop program, printed. The stop question only comes after a
// Ctrl-C, which already said "stop": it is answered Yes.
class CliPrompt : public IPrompt {
  public:
    explicit CliPrompt(std::ostream& out) : out_(out) {}

    PromptAnswer Ask(const PromptRequest& request) override {
        std::lock_guard lock(mutex_);
        out_ << TerminalText(request.text) << std::endl;
        if (request.title == Text(Msg::CommStopCaption)) {
            return PromptAnswer::Yes;
        }
        return EffectiveDefault(request);
    }

  private:
    std::ostream& out_;
    std::mutex mutex_;
};

// Turns Ctrl-C (and SIGTERM) into a stop request for the running transfer. The signal handler
// only writes to a pipe; a thread of its own does the rest.
int gStopPipe[2] = {-1, -1};

extern "C" void OnStopSignal(int) {
    const char stop = 1;
    [[maybe_unused]] const ssize_t ignored = write(gStopPipe[1], &stop, 1);
}

class StopSignals {
  public:
    explicit StopSignals(ExchangeEngine& engine) {
        if (pipe2(gStopPipe, O_CLOEXEC) != 0) {
            return;
        }
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
        watcher_ = std::thread([&engine] {
            char byte = 0;
            while (read(gStopPipe[0], &byte, 1) == 1 && byte != 0) {
                engine.RequestStop();
            }
        });
    }
    ~StopSignals() {
        if (!watcher_.joinable()) {
            return;
        }
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
        const char end = 0;
        [[maybe_unused]] const ssize_t ignored = write(gStopPipe[1], &end, 1);
        watcher_.join();
        close(gStopPipe[0]);
        close(gStopPipe[1]);
        gStopPipe[0] = gStopPipe[1] = -1;
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

  private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
    std::thread watcher_;
};

std::string GeneralErrorBoxText(const std::string& text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
        return text + ".";
    }
    return text;
}

// Everything one transfer command needs, torn down in the right order (threads first).
class TransferSession {
  public:
    TransferSession(const CliOptions& options, std::ostream& out, std::ostream& err)
        : options_(options), out_(options.command == "diff" ? err : out), err_(err), results_(out) {
        StartupOptions startup;
        if (!options.settingsPath.empty()) {
            startup.settingsFile = options.settingsPath;
        }
        if (!options.dataDir.empty()) {
            startup.dataFolder = options.dataDir;
        }
        prompt_ = std::make_shared<CliPrompt>(out_);
        SetActivePrompt(prompt_);
        env_ = StartEnvironment(startup);
        const bool japanese = env_.settings.lang == "JPN";
        SetNarrowCodePage(japanese ? NarrowCodePage::Cp932 : NarrowCodePage::Windows1252);
        SetJapaneseNameRule(japanese);

        progress_ =
            std::make_unique<TerminalProgress>(err, env_.settings.disp, isatty(STDERR_FILENO) != 0);
        session_ = std::make_unique<DeviceSession>(SessionSettingsFor(env_, options.verify));
        if (options.usb) {
            usb_ = std::make_unique<ChannelLibrary>(
                UsbChannelSetupFor(env_.settings, env_.programFolder, options.printer));
            session_->UseChannel(usb_.get());
        } else {
            session_->UseNetwork(options.host);
        }
        session_->SetPrompt(prompt_.get());
        session_->SetProgress(progress_.get());
        signals_ = std::make_unique<StopSignals>(session_->Engine());
        product_ = std::make_unique<TProductInfo>(env_.programSettingsFile);
        FollowProduct();
    }

    ~TransferSession() {
        signals_.reset();
        session_.reset();
        if (usb_) {
            usb_->ChannelRelease();
        }
        progress_->Finish();
        SetActivePrompt(nullptr);
    }

    int Run() {
        if (options_.command == "test") {
            return usb_ ? UsbTest() : NetworkTest();
        }
        // A run that stops before the transfer still ends with the mode's failure text, so a
        // script can rely on the last line.
        const bool upload = options_.command == "upload" || options_.command == "diff";
        const Msg failed = upload ? Msg::CommUploadFailed : Msg::CommDownloadFailed;
        if (!Inquire()) {
            out_ << Text(failed) << '\n';
            return options_.command == "diff" ? kExitUsage : kExitFailed;
        }
        RecordTable table(*product_);
        if (!upload) {
            return session_->Download(table, *product_, options_.output).success ? kExitCompleted
                                                                                 : kExitFailed;
        }
        if (!PrepareUpload(table)) {
            out_ << Text(failed) << '\n';
            return options_.command == "diff" ? kExitUsage : kExitFailed;
        }
        const bool preview = options_.command == "diff" || options_.dryRun;
        const bool backup = !preview && env_.settings.backup && !options_.noBackup;
        std::string backupPath;
        if (preview || backup) {
            RecordTable current(*product_);
            if (backup) {
                err_ << Text(Msg::BackupReading) << '\n';
            }
            const RunResult read = session_->ReadList(current, *product_);
            if (!read.success) {
                out_ << Text(Msg::BackupReadFailed) << '\n';
                return read.stopped ? kExitInterrupted : preview ? kExitUsage : kExitFailed;
            }
            if (preview) {
                return Preview(current, table);
            }
            const BackupStore store(env_.paths.backupFolder, env_.settings.backupKeep);
            std::string error;
            if (!store.Save(current, product_->ModelName(), BackupAddress(), std::time(nullptr),
                            &backupPath, &error)) {
                out_ << TerminalText(error) << '\n' << Text(failed) << '\n';
                return kExitFailed;
            }
            err_ << Text(Msg::BackupSaved, backupPath) << '\n';
        }
        std::string sendFileError;
        const RunResult result = session_->Upload(table, *product_, &sendFileError);
        if (!sendFileError.empty()) {
            out_ << TerminalText(sendFileError) << '\n' << Text(failed) << '\n';
        }
        if (!result.success && result.cancellationRan && !backupPath.empty()) {
            out_ << Text(Msg::BackupIncomplete, backupPath) << '\n'
                 << Text(Msg::BackupRestoreCommand, RestoreCommand(backupPath)) << '\n';
        }
        return result.success ? kExitCompleted : kExitFailed;
    }

  private:
    std::string BackupAddress() const { return options_.usb ? std::string("usb") : options_.host; }

    // What an upload of `planned` would change on the MFP holding `current`: diff exits 1 when
    // it printed something; a dry run has done its job either way.
    int Preview(const RecordTable& current, const RecordTable& planned) {
        const DialListDiff diff = DiffDialLists(current, planned);
        for (const std::string& line : diff.Lines()) {
            results_ << line << '\n';
        }
        if (options_.dryRun) {
            return kExitCompleted;
        }
        return diff.Empty() ? kExitCompleted : kExitFailed;
    }

    // The command that sends the backup back, as this run was called. It takes no backup of its
    // own: the newest backup stays the list the MFP held before.
    std::string RestoreCommand(const std::string& backupPath) const {
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
            command += " --host " + ShellWord(options_.host);
        }
        return command + " --no-backup " + ShellWord(backupPath);
    }

    static std::string ShellWord(const std::string& word) {
        const bool plain =
            !word.empty() && word.find_first_not_of(
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

    // The library and its receive timeout follow the model in use.
    void FollowProduct() {
        if (usb_) {
            usb_->SetLibraryChoice(product_->ZevizLibrary());
            usb_->SetReceiveTimeout(product_->MVReceiveTimeout());
        }
    }

    int UsbTest() {
        if (!Inquire()) {
            out_ << Text(Msg::UsbTestNg) << '\n';
            return kExitFailed;
        }
        out_ << Text(Msg::UsbTestOk, product_->ModelName(), usb_->PrinterName()) << '\n';
        return kExitCompleted;
    }

    int NetworkTest() {
        const RunResult result = session_->NetworkTest();
        out_ << result.networkTestText << '\n';
        if (!result.success && !result.failureCause.empty()) {
            out_ << TerminalText(result.failureCause) << '\n';
        }
        return result.success ? kExitCompleted : kExitFailed;
    }

    // The start-up inquiry: the model the MFP reports picks the capabilities.
    bool Inquire() {
        const RunResult result = session_->Inquire(*product_);
        if (result.channelTestResult != 0) {
            if (!session_->Engine().lastFailureText.empty()) {
                out_ << TerminalText(session_->Engine().lastFailureText) << '\n';
            }
            out_ << FailureText(ResponseStatus::QNL_ERR_DEV, 0) << '\n';
            return false;
        }
        FollowProduct();
        return true;
    }

    // The user file through the editor loader and the strict gate: all before anything goes
    // to the MFP.
    bool PrepareUpload(RecordTable& table) {
        DialModel model;
        const LoadResult loaded = LoadDialFile(options_.file, model, *product_);
        if (!loaded.readable) {
            out_ << TerminalText(loaded.readError) << '\n';
            return false;
        }
        for (const std::string& line : loaded.errorLines) {
            out_ << line << '\n';
        }
        if (!loaded.errorLines.empty()) {
            return false;
        }
        try {
            table.BuildFromModel(model);
            CheckEncodes(table, *product_);
        } catch (const std::runtime_error& error) {
            out_ << GeneralErrorBoxText(error.what()) << '\n';
            return false;
        }
        return true;
    }

    const CliOptions& options_;
    std::ostream& out_;
    std::ostream& err_;
    std::ostream& results_;  // what a preview prints
    Environment env_;
    std::shared_ptr<CliPrompt> prompt_;
    std::unique_ptr<TerminalProgress> progress_;
    std::unique_ptr<ChannelLibrary> usb_;  // --usb; outlives the session that uses it
    std::unique_ptr<DeviceSession> session_;
    std::unique_ptr<StopSignals> signals_;
    std::unique_ptr<TProductInfo> product_;
};

}  // namespace

bool IsTransferCommand(const std::string& command) {
    return command == "test" || command == "download" || command == "upload" || command == "diff";
}

int RunTransferCommand(const CliOptions& options, std::ostream& out, std::ostream& err) {
    TransferSession session(options, out, err);
    return session.Run();
}

}  // namespace dialvane
