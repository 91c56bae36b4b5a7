// The main window's sends and restores, through the transfer workflow of the core: the MFP's
// list is saved before it is replaced, the confirmation counts what changes, a failure ends in
// one message, and a send that left the list incomplete offers to put the saved list back.
#include <QInputDialog>
#include <QStringList>
#include <algorithm>
#include <ctime>
#include <filesystem>

#include "comm/DeviceSession.h"
#include "comm/TransferWorkflow.h"
#include "data/BackupStore.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "support/DiagnosticLog.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "ui/CaptionHelpers.h"
#include "ui/MainForm.h"
#include "ui/ProgForm.h"

namespace dialvane {

std::string TMainForm::BackupAddress() const {
    return env_.user.connection == 0 ? std::string("usb") : env_.user.ipAddress;
}

// A read of the MFP's whole list for editing is kept as a backup too. The error is only
// logged here: a read for editing only loses that copy, and a send takes its own backup first
// and says when that fails.
void TMainForm::KeepDeviceList(const RecordTable& table, const std::string& model) {
    if (!env_.settings.backup) {
        return;
    }
    const BackupStore store(env_.paths.backupFolder, env_.settings.backupKeep);
    std::string path;
    std::string error;
    if (!store.Save(table, model, BackupAddress(), std::time(nullptr), &path, &error)) {
        LogWrite(error, LogCategory::LogFunc_Error, LogCategory::LogFunc_Error, 'L');
    }
}

TransferReport TMainForm::RunWorkflow(const std::string& backupFile, const TransferOptions& plan) {
    TransferReport report;
    if (hooks_.runTransfer) {
        hooks_.runTransfer(RunMode::Upload);
        report.end = TransferEnd::Declined;
        return report;
    }
    // The worker's own capabilities: the window keeps reading its own while the run goes on.
    TProductInfo product(env_.programSettingsFile, product_->Rules());
    // The edited list is built on the worker while the window waits in the modal dialog.
    const ListSource edited = [this](const TProductInfo&, RecordTable& table, ListChoice&) {
        table.BuildFromModel(model_);
        table.CheckGroupMembers();
        return true;
    };
    progForm_->SetRunMode(RunMode::Upload);
    progForm_->ExecuteWork(
        *session_,
        [&](IPrompt& prompt, IProgress& progress) {
            TransferWorkflow workflow(*session_, product, prompt, progress);
            report =
                workflow.Send(backupFile.empty() ? edited : BackupFileSource(backupFile), plan);
        },
        prompt_.get());
    return report;
}

TransferOptions TMainForm::SendPlan() const {
    TransferOptions plan;
    plan.backup = env_.settings.backup != 0;
    plan.confirm = plan.backup;
    plan.backupFolder = env_.paths.backupFolder;
    plan.backupKeep = env_.settings.backupKeep;
    plan.backupAddress = BackupAddress();
    if (env_.japaneseUi) {
        plan.questionNote = "\r\r" + Text(Msg::JapanesePrintModeNote);
    }
    return plan;
}

// The one message of a send, and the restore offer when the MFP's list was left changed.
void TMainForm::ShowOutcome(const TransferReport& report, const std::string& restoredFrom) {
    switch (report.end) {
        case TransferEnd::Done: {
            std::string text = report.completion;
            if (!restoredFrom.empty()) {
                const std::size_t verifyLine = text.find("\r\n");
                text = Text(Msg::RestoreDone,
                            std::filesystem::path(restoredFrom).filename().string()) +
                       (verifyLine == std::string::npos ? "" : text.substr(verifyLine));
            }
            AskBox(*prompt_, text, Msg::CommCompletionCaption, PromptButtons::Ok,
                   PromptIcon::Information);
            return;
        }
        case TransferEnd::Unchanged:
            AskBox(*prompt_, Text(Msg::TransferUnchanged), Msg::CommCompletionCaption,
                   PromptButtons::Ok, PromptIcon::Information);
            return;
        case TransferEnd::Previewed:
        case TransferEnd::Declined:
            return;
        case TransferEnd::FailedUnchanged:
        case TransferEnd::FailedChanged:
            break;
    }
    if (report.end == TransferEnd::FailedChanged && !report.backupPath.empty()) {
        OfferRestore(report);
        return;
    }
    AskBox(*prompt_, report.FailureMessage(), Msg::CommCompletionCaption, PromptButtons::Ok,
           PromptIcon::Stop);
}

// While the MFP holds part of a list, the saved one can go back at once. The restore takes no
// backup of its own: it would save the incomplete list.
void TMainForm::OfferRestore(const TransferReport& failed) {
    TransferReport last = failed;
    const std::string backup = failed.backupPath;
    while (last.Failed()) {
        if (last.end != TransferEnd::FailedChanged && last.phase == TransferPhase::Inquiry) {
            AskBox(*prompt_, Text(Msg::RestoreUnreachable), Msg::BackupRestoreCaption,
                   PromptButtons::Ok, PromptIcon::Stop);
            return;
        }
        const std::string question =
            last.FailureMessage() + "\r\n" + Text(Msg::BackupRestoreQuestion);
        if (AskBox(*prompt_, question, Msg::BackupRestoreCaption, PromptButtons::YesNo,
                   PromptIcon::Warning) != PromptAnswer::Yes) {
            return;
        }
        TransferOptions plan = SendPlan();
        plan.backup = false;
        plan.confirm = false;
        plan.verify = true;
        last = RunWorkflow(backup, plan);
        last.backupPath = backup;
        if (last.end == TransferEnd::FailedUnchanged && last.phase != TransferPhase::Inquiry) {
            last.end = TransferEnd::FailedChanged;  // the list is still the incomplete one
        }
    }
    ShowOutcome(last, backup);
}

// File > "Restore MFP from Backup...": this MFP's backups, newest first, with their counts.
void TMainForm::RestoreFromBackup() {
    const BackupStore store(env_.paths.backupFolder, env_.settings.backupKeep);
    std::vector<std::string> backups = store.List(product_->ModelName(), BackupAddress());
    std::reverse(backups.begin(), backups.end());
    if (backups.empty()) {
        AskBox(*prompt_, Text(Msg::RestoreNoBackup, store.Folder()), Msg::RestoreChooseCaption,
               PromptButtons::Ok, PromptIcon::Information);
        return;
    }
    std::vector<std::string> lines;
    for (const std::string& path : backups) {
        lines.push_back(BackupSummaryLine(path, *product_));
    }
    std::optional<std::size_t> chosen;
    if (hooks_.chooseBackup) {
        chosen = hooks_.chooseBackup(lines);
    } else {
        QStringList items;
        for (const std::string& line : lines) {
            items << Q(line);
        }
        bool ok = false;
        const QString item =
            QInputDialog::getItem(this, Q(Text(Msg::RestoreChooseCaption)),
                                  Q(Text(Msg::RestoreChooseText)), items, 0, false, &ok);
        if (ok) {
            chosen = static_cast<std::size_t>(items.indexOf(item));
        }
    }
    if (!chosen || *chosen >= backups.size()) {
        return;
    }
    TransferOptions plan = SendPlan();
    plan.backup = true;
    plan.confirm = true;
    plan.verify = true;
    const TransferReport report = RunWorkflow(backups[*chosen], plan);
    ShowOutcome(report, backups[*chosen]);
}

}  // namespace dialvane
