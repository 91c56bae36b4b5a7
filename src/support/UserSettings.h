#pragma once

#include <string>
#include <vector>

namespace dialvane {

inline constexpr const char* kUserSettingsName = "MFP_USER.INI";

// What the user chose, kept in "MFP_USER.INI" in the data folder between runs.
struct UserSettings {
    int connection = 0;  // 0 USB, 1 network
    std::string ipAddress;
    std::vector<std::string> ipHistory;      // at most six are read
    std::vector<std::string> senderHistory;  // keys 1..5, empty values skipped
    std::vector<std::string> fileHistory;    // keys 1..10, empty values skipped
    // The address book server last imported from, and who read it; never its password.
    std::string cardDavUrl;
    std::string cardDavUser;
};

// A missing file gives empty histories and `defaultConnection` (the program settings' kind),
// which is also used when the file's "CONNECTION" is missing or empty.
UserSettings ReadUserSettings(const std::string& path, int defaultConnection);

// Rewrites the file, keeping every section and key it does not own. The new contents go to a
// temporary file that is renamed into place, so a crash leaves the old file whole. False on
// failure.
bool WriteUserSettings(const std::string& path, const UserSettings& settings);

// Whether WriteUserSettings can be expected to succeed: the folder exists and is writable, and
// an existing file is writable.
bool UserSettingsWritable(const std::string& path);

}  // namespace dialvane
