#pragma once

#include <functional>
#include <string>
#include <vector>

#include "comm/DeviceSession.h"
#include "data/DialListDiff.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"

namespace dialvane {

// Where a send stands; a failure names the phase it ended in.
enum class TransferPhase { Inquiry, FileCheck, Backup, Sending, Verifying };

enum class TransferEnd {
    Done,             // sent (and read back when verifying)
    Previewed,        // only the changes were wanted: nothing sent
    Unchanged,        // the MFP already holds the list: nothing sent, no backup written
    Declined,         // the user answered No to the confirmation: nothing sent
    FailedUnchanged,  // failed before anything on the MFP was cancelled
    FailedChanged,    // failed after the MFP's list was cancelled
};

struct TransferOptions {
    // Read the MFP's list first, compare, save it as a backup and confirm before sending.
    bool backup = true;
    // Read the list back and compare, whatever the settings say (a restore).
    bool verify = false;
    // Stop after the comparison (diff, --dry-run).
    bool previewOnly = false;
    // Ask "Send user data to MFP?" with the change summary; the prompt may answer at once.
    bool confirm = true;
    // An appended note to the question (the Japanese print-mode note of the window).
    std::string questionNote;
    std::string backupFolder;
    int backupKeep = 20;
    std::string backupAddress;  // the host, or "usb"
};

// What building the list has to tell the sequence.
struct ListChoice {
    std::string error;  // why the list cannot be sent (empty: the builder said so itself)
    // A backup the save of this run must not prune away (the one a restore sends).
    std::string spareBackup;
    // What the builder left out of the list, shown as progress lines before anything is sent.
    std::vector<std::string> notes;
};

// Builds the list to send once the MFP's model is known; false when it cannot be sent.
using ListSource =
    std::function<bool(const TProductInfo& product, RecordTable& table, ListChoice& choice)>;
// Builds the list to send from the list the MFP holds now (an address book merged into it).
using CurrentListSource =
    std::function<bool(const TProductInfo& product, const RecordTable& current, RecordTable& table,
                       ListChoice& choice)>;

struct TransferReport {
    TransferEnd end = TransferEnd::FailedUnchanged;
    TransferPhase phase = TransferPhase::Inquiry;
    bool stopped = false;    // a confirmed user stop ended it
    std::string model;       // the name the MFP reported
    std::string backupPath;  // the backup saved by this run
    DialListDiff diff;       // with a backup read: what the send changes
    std::string cause;       // why it failed, one sentence
    std::string completion;  // the successful upload's completion text (with the verify line)

    bool Failed() const {
        return end == TransferEnd::FailedUnchanged || end == TransferEnd::FailedChanged;
    }
    // The one message of a failure: the phase, the cause, whether the MFP's list changed and
    // where its backup is.
    std::string FailureMessage() const;
};

// The one sequence that replaces an MFP's dial list, for the window and the command line
// alike: inquiry, the USB library choice, the list check, the backup read, the comparison,
// one confirmation, the upload, the verify and one outcome. A restore is this sequence with a
// backup as its list. Questions go to the session's prompt, steps to its progress view; the
// runs themselves announce nothing, so a failure ends in exactly one message.
class TransferWorkflow {
  public:
    TransferWorkflow(DeviceSession& session, TProductInfo& product, IPrompt& prompt,
                     IProgress& progress);

    TransferReport Send(const ListSource& source, const TransferOptions& options);
    // The same sequence with the MFP's list read before the list to send is built from it; an
    // MFP that already holds the result gets nothing but that read.
    TransferReport SendAgainstCurrent(const CurrentListSource& source,
                                      const TransferOptions& options);

  private:
    TransferReport Run(const CurrentListSource& build, bool fromCurrent,
                       const TransferOptions& options);
    bool Inquire(TransferReport& report);
    bool ReadBackup(RecordTable& current, TransferReport& report);
    void Upload(RecordTable& table, bool verify, TransferReport& report);
    bool Confirm(const TransferOptions& options, const DialListDiff& diff);
    std::string RunCause(const RunResult& result) const;

    DeviceSession& session_;
    TProductInfo& product_;
    IPrompt& prompt_;
    IProgress& progress_;
};

// The list check: throws std::runtime_error naming the record when `table` holds a record the
// MFP's records cannot carry.
void CheckListSendable(const RecordTable& table, const TProductInfo& product);

// A backup file as the list to send, kept from pruning while the restore saves the MFP's list.
ListSource BackupFileSource(const std::string& path);
// Reads a backup into `table`; false with *error naming the file.
bool LoadBackup(const std::string& path, const TProductInfo& product, RecordTable& table,
                std::string* error);

// One backup as a restore lists it: file name, date and time, counts.
std::string BackupSummaryLine(const std::string& path, const TProductInfo& product);

}  // namespace dialvane
