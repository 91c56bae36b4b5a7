#include "comm/TransferWorkflow.h"

#include <ctime>
#include <filesystem>

#include "data/BackupStore.h"
#include "data/DialFileLoader.h"
#include "data/DownloadWriter.h"
#include "protocol/DeviceRecords.h"
#include "protocol/FailureText.h"
#include "support/FileUtil.h"
#include "support/Messages.h"

namespace dialvane {
namespace {

Msg PhaseName(TransferPhase phase) {
    switch (phase) {
        case TransferPhase::Inquiry:
            return Msg::TransferPhaseInquiry;
        case TransferPhase::FileCheck:
            return Msg::TransferPhaseFileCheck;
        case TransferPhase::Backup:
            return Msg::TransferPhaseBackup;
        case TransferPhase::Sending:
            return Msg::TransferPhaseSending;
        case TransferPhase::Verifying:
            return Msg::TransferPhaseVerifying;
    }
    return Msg::TransferPhaseSending;
}

// A cause reads as one sentence inside the outcome message.
std::string Sentence(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    const std::size_t end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
    if (!text.empty() && text.back() != '.' && text.back() != '?' && text.back() != '!') {
        text += '.';
    }
    return text;
}

// "\r\n( text )", as a run stores the error that ended it, back to the text.
std::string StoredErrorText(const std::string& stored) {
    const std::size_t open = stored.find("( ");
    const std::size_t close = stored.rfind(" )");
    if (open != std::string::npos && close != std::string::npos && close > open) {
        return stored.substr(open + 2, close - open - 2);
    }
    return stored;
}

}  // namespace

std::string TransferReport::FailureMessage() const {
    const std::string phaseName = Text(PhaseName(phase));
    if (end == TransferEnd::FailedChanged) {
        return backupPath.empty()
                   ? Text(Msg::TransferFailedChangedNoBackup, phaseName, Sentence(cause))
                   : Text(Msg::TransferFailedChanged, phaseName, Sentence(cause), backupPath);
    }
    return Text(Msg::TransferFailedUnchanged, phaseName, Sentence(cause));
}

void CheckListSendable(const RecordTable& table, const TProductInfo& product) {
    CheckEncodes(table, product);
}

TransferWorkflow::TransferWorkflow(DeviceSession& session, TProductInfo& product, IPrompt& prompt,
                                   IProgress& progress)
    : session_(session), product_(product), prompt_(prompt), progress_(progress) {}

TransferReport TransferWorkflow::Send(const ListSource& source, const TransferOptions& options) {
    return Run([&source](const TProductInfo& product, const RecordTable&, RecordTable& table,
                         ListChoice& choice) { return source(product, table, choice); },
               false, options);
}

TransferReport TransferWorkflow::SendAgainstCurrent(const CurrentListSource& source,
                                                    const TransferOptions& options) {
    return Run(source, true, options);
}

TransferReport TransferWorkflow::Run(const CurrentListSource& build, bool fromCurrent,
                                     const TransferOptions& options) {
    TransferReport report;
    if (!Inquire(report)) {
        return report;
    }
    RecordTable current(product_);
    // A list built from the MFP's own needs it first; any other is checked before the MFP is
    // read, so a file with errors costs no transfer.
    if (fromCurrent) {
        report.phase = TransferPhase::Backup;
        if (!ReadBackup(current, report)) {
            return report;
        }
    }
    report.phase = TransferPhase::FileCheck;
    RecordTable planned(product_);
    ListChoice choice;
    try {
        if (!build(product_, current, planned, choice)) {
            report.cause = choice.error;
            return report;
        }
        CheckListSendable(planned, product_);
    } catch (const std::runtime_error& error) {
        report.cause = error.what();
        return report;
    }
    for (const std::string& note : choice.notes) {
        progress_.ShowStatus(note, 0);
    }

    if (options.backup || options.previewOnly || fromCurrent) {
        if (!fromCurrent) {
            report.phase = TransferPhase::Backup;
            if (!ReadBackup(current, report)) {
                return report;
            }
        }
        report.diff = DiffDialLists(current, planned);
        if (options.previewOnly) {
            report.end = TransferEnd::Previewed;
            return report;
        }
        // Nothing to send: no cancellation, and no backup that would push real ones out.
        if (report.diff.Empty()) {
            report.end = TransferEnd::Unchanged;
            return report;
        }
        if (options.confirm && !Confirm(options, report.diff)) {
            report.end = TransferEnd::Declined;
            return report;
        }
    } else if (options.confirm && !Confirm(options, DialListDiff{})) {
        report.end = TransferEnd::Declined;
        return report;
    }
    if (options.backup) {
        report.phase = TransferPhase::Backup;
        const BackupStore store(options.backupFolder, options.backupKeep);
        if (!store.Save(current, product_.ModelName(), options.backupAddress, std::time(nullptr),
                        &report.backupPath, &report.cause, choice.spareBackup)) {
            report.backupPath.clear();
            return report;
        }
        progress_.ShowStatus(Text(Msg::BackupSaved, report.backupPath), 0);
    }
    Upload(planned, options.verify, report);
    return report;
}

bool TransferWorkflow::Inquire(TransferReport& report) {
    report.phase = TransferPhase::Inquiry;
    const RunResult result = session_.Inquire(product_);
    if (result.channelTestResult != 0) {
        report.stopped = result.stopped;
        report.cause = session_.LastFailureText();
        if (report.cause.empty()) {
            report.cause = FailureText(ResponseStatus::QNL_ERR_DEV, 0);
        }
        return false;
    }
    report.model = result.modelName;
    session_.FollowProduct(product_);
    return true;
}

bool TransferWorkflow::ReadBackup(RecordTable& current, TransferReport& report) {
    RunRequest request = session_.MakeRequest(RunMode::Download);
    request.table = &current;
    request.product = &product_;
    request.reportSuccess = false;
    request.reportFailure = false;
    request.transferStage = Msg::BackupReading;
    const RunResult read = session_.Run(request);
    if (!read.success) {
        report.stopped = read.stopped;
        report.cause = RunCause(read);
        return false;
    }
    return true;
}

bool TransferWorkflow::Confirm(const TransferOptions& options, const DialListDiff& diff) {
    PromptRequest question;
    question.text = Text(Msg::ConfirmSendToMfp) + options.questionNote;
    if (!diff.Empty()) {
        question.text += "\r\n\r\n" + diff.Summary();
        for (const std::string& line : diff.Lines()) {
            question.details += line + "\r\n";
        }
    }
    question.title = Text(Msg::ConfirmExecutionCaption);
    question.buttons = PromptButtons::YesNo;
    question.icon = PromptIcon::Warning;
    question.defaultAnswer = PromptAnswer::No;
    question.purpose = PromptPurpose::SendConfirmation;
    return prompt_.Ask(question) == PromptAnswer::Yes;
}

void TransferWorkflow::Upload(RecordTable& table, bool verify, TransferReport& report) {
    report.phase = TransferPhase::Sending;
    const DeviceSessionSettings& settings = session_.Settings();
    if (!WriteDownloadFile(settings.sendFile, table, &report.cause, kPrivateFileMode,
                           settings.fileEncoding)) {
        return;
    }
    RunRequest request = session_.MakeRequest(RunMode::Upload);
    request.forceVerify = verify;
    request.table = &table;
    request.product = &product_;
    request.reportSuccess = false;
    request.reportFailure = false;
    const RunResult result = session_.Run(request);
    if (result.verifyStarted) {
        report.phase = TransferPhase::Verifying;
    }
    if (result.success) {
        report.end = TransferEnd::Done;
        report.completion = result.completionText;
        return;
    }
    report.stopped = result.stopped;
    report.cause = RunCause(result);
    report.end = result.cancellationRan ? TransferEnd::FailedChanged : TransferEnd::FailedUnchanged;
}

// What the device did says more than the run's general "stopped by device error".
std::string TransferWorkflow::RunCause(const RunResult& result) const {
    if (std::string device = session_.LastFailureText(); !device.empty()) {
        return device;
    }
    if (!result.errorText.empty()) {
        return StoredErrorText(result.errorText);
    }
    return result.completionText;
}

bool LoadBackup(const std::string& path, const TProductInfo& product, RecordTable& table,
                std::string* error) {
    DialModel model;
    const LoadResult loaded = LoadDialFile(path, model, product);
    if (!loaded.readable || !loaded.errorLines.empty()) {
        *error = Text(Msg::RestoreBackupUnreadable, path,
                      loaded.readable ? loaded.errorLines.front() : loaded.readError);
        return false;
    }
    try {
        table.BuildFromModel(model);
    } catch (const ValidationError& refused) {
        *error = Text(Msg::RestoreBackupUnreadable, path, refused.what());
        return false;
    }
    return true;
}

ListSource BackupFileSource(const std::string& path) {
    return [path](const TProductInfo& product, RecordTable& table, ListChoice& choice) {
        choice.spareBackup = path;
        return LoadBackup(path, product, table, &choice.error);
    };
}

std::string BackupSummaryLine(const std::string& path, const TProductInfo& product) {
    const std::string name = std::filesystem::path(path).filename().string();
    // ..._YYYYMMDD-HHMMSS[-N].csv
    std::string when;
    const std::size_t stamp = name.rfind('_');
    if (stamp != std::string::npos && name.size() >= stamp + 16) {
        const std::string s = name.substr(stamp + 1, 15);
        when = s.substr(0, 4) + "-" + s.substr(4, 2) + "-" + s.substr(6, 2) + " " + s.substr(9, 2) +
               ":" + s.substr(11, 2) + ":" + s.substr(13, 2);
    }
    RecordTable table(product);
    std::string error;
    if (!LoadBackup(path, product, table, &error)) {
        return name + "  " + when + "  " + error;
    }
    unsigned counts[3] = {0, 0, 0};
    for (int i = 1; i <= table.Count(); ++i) {
        const char kind = table.At(i)[0].empty() ? ' ' : table.At(i)[0][0];
        counts[0] += kind == 'S' ? 1 : 0;
        counts[1] += kind == 'G' ? 1 : 0;
        counts[2] += kind == 'W' ? 1 : 0;
    }
    return name + "  " + when + "  " + Text(Msg::CliBackupCounts, counts[0], counts[1], counts[2]);
}

}  // namespace dialvane
