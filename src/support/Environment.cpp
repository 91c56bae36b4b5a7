#include "support/Environment.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "support/DiagnosticLog.h"
#include "support/FileUtil.h"
#include "support/Messages.h"

namespace dialvane {

std::string CurrentProgramPath() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0) {
        return {};
    }
    return std::string(buffer, static_cast<size_t>(n));
}

std::string FolderOfPath(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void ApplyLocaleLanguage(const std::string& programFolder) {
    std::string abbreviation = LocaleLanguageAbbreviation();
    if (abbreviation.empty()) {
        return;
    }
    std::string path = LanguageFilePath(programFolder, abbreviation);
    if (!FileExists(path)) {
        // The locale's first two letters name the file too ("dialvane.JP").
        path = LanguageFilePath(programFolder, abbreviation.substr(0, 2));
    }
    if (FileExists(path)) {
        LoadLanguageFile(path);
    }
}

std::string ResourceFolder(const std::string& programFolder) {
    std::error_code ec;
    const std::filesystem::path folder(programFolder);
    // "bin/" ends with a slash, so its parent_path() is "bin" itself.
    const std::filesystem::path prefix = folder.parent_path().parent_path();
    if (folder.parent_path().filename() == "bin" &&
        std::filesystem::is_directory(prefix / "share/dialvane", ec)) {
        return (prefix / "share/dialvane/").string();
    }
    return programFolder;
}

std::string FindProgramSettingsFile(const std::string& programFolder) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string config;
    // A relative XDG_CONFIG_HOME is invalid and is ignored.
    if (xdg != nullptr && xdg[0] == '/') {
        config = std::string(xdg) + "/";
    } else if (home != nullptr && home[0] == '/') {
        config = std::string(home) + "/.config/";
    }
    std::vector<std::string> candidates;
    if (!config.empty()) {
        candidates.push_back(config + "ORVEX/Dialvane/" + kProgramSettingsName);
    }
    candidates.push_back(FindFileIgnoringCase(programFolder, kProgramSettingsName));
    candidates.push_back(FindFileIgnoringCase(ResourceFolder(programFolder), kProgramSettingsName));
    for (const std::string& candidate : candidates) {
        if (FileExists(candidate)) {
            return candidate;
        }
    }
    return {};
}

std::string CheckStartupOptions(const StartupOptions& options) {
    if (options.settingsFile && !ReadFileBytes(*options.settingsFile)) {
        return Text(Msg::SettingsFileUnreadable, *options.settingsFile);
    }
    return {};
}

Environment StartEnvironment(const StartupOptions& options) {
    Environment env;
    env.programPath = options.programPath.empty() ? CurrentProgramPath() : options.programPath;
    env.programFolder = FolderOfPath(env.programPath);
    env.resourceFolder = ResourceFolder(env.programFolder);

    env.paths = PrepareDataFolder(options.dataFolder);

    env.programSettingsFile =
        options.settingsFile ? *options.settingsFile : FindProgramSettingsFile(env.programFolder);
    env.settings = ReadProgramSettings(env.programSettingsFile);

    // A missing language file leaves the texts as they are (the locale's or English).
    env.languageFile = LanguageFilePath(env.resourceFolder, env.settings.lang);
    if (FileExists(env.languageFile)) {
        env.language = LoadLanguageFile(env.languageFile);
    }
    env.japaneseUi = env.settings.lang == "JPN";
    env.japaneseLocale = LocaleIsJapanese();
    env.offlineMode = env.settings.offline;
    env.buttonFontDelta = (env.settings.lang == "DEU" || env.settings.lang == "ITA") ? -1 : 0;

    env.user = ReadUserSettings(env.paths.userSettingsFile, env.settings.connection);
    if (!env.user.fileHistory.empty()) {
        env.preselectedFile = env.user.fileHistory.front();
    }

    if (options.startLog) {
        LogInit(env.paths.dataFolder, env.programSettingsFile, env.settings.qnlEnv,
                env.settings.verify, env.settings.disp);
    }
    return env;
}

bool SaveUserSettings(const Environment& environment) {
    return WriteUserSettings(environment.paths.userSettingsFile, environment.user);
}

}  // namespace dialvane
