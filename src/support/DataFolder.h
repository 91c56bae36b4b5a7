#pragma once

#include <optional>
#include <string>

namespace dialvane {

// The per-user files, all in one data folder that ends with "/".
struct DataPaths {
    std::string dataFolder;    // empty when it could not be made: files go to the working folder
    std::string downloadFile;  // "TELDIR_TOOL.TMP"
    std::string sendFile;      // "MFP_VERIFY.TMP"
    std::string logFile;       // ZEVIZ_LOG.txt
    std::string userSettingsFile;  // "MFP_USER.INI"
    std::string backupFolder;      // "backups/": the MFP's lists saved before uploads
    // The address book server's password, kept only when the user asked for it: a file of its
    // own, readable by the user alone, so no settings file ever holds it.
    std::string cardDavPasswordFile;  // "carddav-password"
};

// $XDG_DATA_HOME/ORVEX/Dialvane/ (default ~/.local/share/ORVEX/Dialvane/), or `overrideFolder`
// when given. The folder is created with its parents and is readable by its owner only (0700):
// it holds the office's address book. An existing override folder keeps its mode.
DataPaths PrepareDataFolder(const std::optional<std::string>& overrideFolder = std::nullopt);

// The paths for a data folder (empty or ending with "/") without touching the disk.
DataPaths DataPathsFor(const std::string& dataFolder);

}  // namespace dialvane
