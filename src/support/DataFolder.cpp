#include "support/DataFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "support/DiagnosticLog.h"
#include "support/FileUtil.h"
#include "support/UserSettings.h"

namespace dialvane {
namespace {

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return home;
    }
    if (passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return {};
}

std::string DefaultDataFolder() {
    // A relative XDG_DATA_HOME is invalid and is ignored, as the base-directory rules ask.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        std::string home = HomeFolder();
        if (home.empty()) {
            return {};
        }
        base = WithSlash(home) + ".local/share";
    }
    return WithSlash(base) + "ORVEX/Dialvane/";
}

}  // namespace

DataPaths DataPathsFor(const std::string& dataFolder) {
    DataPaths paths;
    paths.dataFolder = WithSlash(dataFolder);
    paths.downloadFile = paths.dataFolder + "TELDIR_TOOL.TMP";
    paths.sendFile = paths.dataFolder + "MFP_VERIFY.TMP";
    paths.logFile = paths.dataFolder + kLogFileName;
    paths.userSettingsFile = paths.dataFolder + kUserSettingsName;
    paths.backupFolder = paths.dataFolder + "backups/";
    paths.cardDavPasswordFile = paths.dataFolder + "carddav-password";
    return paths;
}

DataPaths PrepareDataFolder(const std::optional<std::string>& overrideFolder) {
    std::string folder = overrideFolder ? WithSlash(*overrideFolder) : DefaultDataFolder();
    const bool existed = !folder.empty() && FileExists(folder);
    if (!folder.empty() && !MakeDirectories(folder)) {
        folder.clear();
    }
    // The program's own folder is tightened even when an older version made it readable to all;
    // a folder the user named is left as it was, it may be shared with other files.
    if (!folder.empty() && (!existed || !overrideFolder)) {
        ::chmod(folder.c_str(), 0700);
    }
    return DataPathsFor(folder);
}

}  // namespace dialvane
