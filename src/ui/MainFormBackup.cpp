// The main window's safety net for sends: the MFP's list is saved before it is replaced, the
// send confirmation says what changes, and a send that left the list incomplete offers to put
// the saved list back.
#include <ctime>

#include "comm/UserThread.h"
#include "data/BackupStore.h"
#include "data/DialFileLoader.h"
#include "data/DialListDiff.h"
#include "data/DownloadWriter.h"
#include "data/RecordTable.h"
#include "support/DiagnosticLog.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "ui/CaptionHelpers.h"
#include "ui/MainForm.h"

namespace dialvane {

std::string TMainForm::BackupAddress() const {
    return env_.user.connection == 0 ? std::string("usb") : env_.user.ipAddress;
}

// A read of the MFP's whole list is kept as a backup too, and as the base of the next send's
// summary. The error is only logged here: a read for editing only loses that copy, and a send
// takes its own backup first and says when that fails.
std::string TMainForm::KeepDeviceList(const RecordTable& table, const std::string& model) {
    deviceList_ = std::make_unique<RecordTable>(table);
    deviceListAddress_ = BackupAddress();
    backupPath_.clear();
    if (!env_.settings.backup) {
        return {};
    }
    const BackupStore store(env_.paths.backupFolder, env_.settings.backupKeep);
    std::string error;
    if (!store.Save(table, model, deviceListAddress_, std::time(nullptr), &backupPath_, &error)) {
        LogWrite(error, LogCategory::LogFunc_Error, LogCategory::LogFunc_Error, 'L');
    }
    return error;
}

std::string TMainForm::SendSummary() const {
    if (!deviceList_ || deviceListAddress_ != BackupAddress()) {
        return {};
    }
    RecordTable planned(*product_);
    try {
        planned.BuildFromModel(model_);
    } catch (const ValidationError&) {
        return {};  // the send itself reports the record
    }
    return DiffDialLists(*deviceList_, planned).Summary();
}

bool TMainForm::TakeBackupBeforeSend() {
    backupPath_.clear();
    if (!env_.settings.backup) {
        return true;
    }
    RecordTable current(*product_);
    const RunResult read = RunTransferOf(0, current, std::string(), false);
    if (!read.success) {
        AskBox(Text(Msg::BackupReadFailed), Msg::CommCompletionCaption, PromptButtons::Ok,
               PromptIcon::Stop);
        return false;
    }
    if (const std::string error = KeepDeviceList(current, read.modelName); !error.empty()) {
        AskBox(error, Msg::FileErrorCaption, PromptButtons::Ok, PromptIcon::Stop);
        return false;
    }
    return true;
}

// The send, and while it leaves the MFP with part of a list, the offer to send the saved one
// back. The restore takes no backup of its own: it would save the incomplete list.
void TMainForm::SendAndOfferRestore() {
    RunResult sent = RunTransfer(1);
    // What the MFP holds now: the list just sent, or nothing known after a failure.
    deviceList_.reset();
    if (sent.success) {
        deviceList_ = std::make_unique<RecordTable>(*product_);
        deviceList_->BuildFromModel(model_);
    }
    while (!sent.success && sent.cancellationRan && !backupPath_.empty()) {
        const std::string question =
            Text(Msg::BackupIncomplete, backupPath_) + "\r\n" + Text(Msg::BackupRestoreQuestion);
        if (AskBox(question, Msg::BackupRestoreCaption, PromptButtons::YesNo,
                   PromptIcon::Warning) != PromptAnswer::Yes) {
            return;
        }
        DialModel saved;
        RecordTable restore(*product_);
        std::string error;
        const LoadResult loaded = LoadDialFile(backupPath_, saved, *product_);
        try {
            restore.BuildFromModel(saved);
        } catch (const ValidationError& refused) {
            error = refused.what();
        }
        if (!loaded.readable) {
            error = loaded.readError;
        }
        if (!error.empty() ||
            !WriteDownloadFile(env_.paths.sendFile, restore, &error, kPrivateFileMode)) {
            AskBox(error, Msg::FileErrorCaption, PromptButtons::Ok, PromptIcon::Stop);
            return;
        }
        sent = RunTransferOf(1, restore, std::string());
    }
}

}  // namespace dialvane
