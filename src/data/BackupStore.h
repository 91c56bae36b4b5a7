#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "data/RecordTable.h"

namespace dialvane {

inline constexpr int kDefaultBackupKeep = 20;

// The copies of MFP dial lists taken before they are overwritten, one user file each, in one
// folder: <model>_<address or usb>_<YYYYMMDD-HHMMSS>.csv. Only the newest `keep` per MFP stay.
class BackupStore {
  public:
    // `folder` is created (mode 0700) when the first backup is saved. A `keep` below 1 keeps
    // the newest backup only, so a backup just taken is never removed.
    BackupStore(std::string folder, int keep = kDefaultBackupKeep);

    const std::string& Folder() const { return folder_; }

    // The name of a backup of the MFP `model` at `address` taken at the local time `when`.
    // Characters a file name should not carry become "-".
    static std::string FileName(const std::string& model, const std::string& address,
                                std::time_t when);

    // Writes the table as a user file (mode 0600) and removes this MFP's backups beyond the
    // newest `keep`. Two backups in the same second get "-2", "-3" ... after the time. False
    // with *error naming the file and the cause when it cannot be written; nothing is removed
    // then.
    // `spare` is never removed: a restore saves the MFP's list before sending the backup it
    // chose, and that choice must survive the pruning.
    bool Save(const RecordTable& table, const std::string& model, const std::string& address,
              std::time_t when, std::string* path, std::string* error,
              const std::string& spare = {}) const;

    // The backups of one MFP, oldest first.
    std::vector<std::string> List(const std::string& model, const std::string& address) const;

  private:
    void Prune(const std::string& model, const std::string& address,
               const std::string& spare) const;

    std::string folder_;
    int keep_;
};

}  // namespace dialvane
