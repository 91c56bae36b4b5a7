#pragma once

#include <optional>
#include <string>

#include "support/DataFolder.h"
#include "support/LanguageFile.h"
#include "support/ProgramSettings.h"
#include "support/UserSettings.h"

namespace dialvane {

struct StartupOptions {
    std::string programPath;  // empty: the running program's own path
    std::optional<std::string>
        settingsFile;                       // --settings: replaces dialvane.ini beside the program
    std::optional<std::string> dataFolder;  // --data-dir: replaces the per-user data folder
    bool startLog = true;                   // false: leave the diagnostic log alone
};

// Everything start-up finds and reads, held for the whole run. Written on the main thread
// before any other thread starts, read-only afterwards (except `user`, main thread only).
struct Environment {
    std::string programPath;
    std::string programFolder;   // ends with "/"
    std::string resourceFolder;  // ends with "/"
    std::string programSettingsFile;
    DataPaths paths;
    ProgramSettings settings;
    UserSettings user;
    std::string languageFile;  // the file for LANG, whether or not it exists
    LanguageLoadResult language;
    bool japaneseUi = false;      // LANG is exactly "JPN"
    bool japaneseLocale = false;  // the user's locale is Japanese
    bool offlineMode = false;     // "Network" / "Offline"
    int buttonFontDelta = 0;      // -1 when LANG is "DEU" or "ITA"
    std::string preselectedFile;  // the first file history entry, if any
};

// Where the shipped files (language files, help pages, pictures, the program settings file) are:
// PREFIX/share/dialvane/ when the program is installed as PREFIX/bin/NAME, otherwise the program
// folder (the build tree). Ends with "/".
std::string ResourceFolder(const std::string& programFolder);

// The program settings file, first found wins: $XDG_CONFIG_HOME/ORVEX/Dialvane/dialvane.ini
// (~/.config when unset), beside the program, then in the resource folder. Empty when there is
// none, so every setting takes its default.
std::string FindProgramSettingsFile(const std::string& programFolder);

// The error text for start-up options that cannot work (a --settings file that is missing or
// unreadable); empty when they can.
std::string CheckStartupOptions(const StartupOptions& options);

// Finds the data folder (creating it), reads the program settings file, loads the language
// file for LANG, reads "MFP_USER.INI" and starts the diagnostic log, in that order.
Environment StartEnvironment(const StartupOptions& options);

// Writes the user's choices back to "MFP_USER.INI". False when the file could not be written.
bool SaveUserSettings(const Environment& environment);

// Before anything else runs: loads the language file of the user's locale beside the program,
// if there is one, so that even the first messages are in the user's language.
void ApplyLocaleLanguage(const std::string& programFolder);

// The running program's own path (from /proc/self/exe); empty when unknown.
std::string CurrentProgramPath();

// The folder of a path, ending with "/" ("" for a bare name).
std::string FolderOfPath(const std::string& path);

}  // namespace dialvane
