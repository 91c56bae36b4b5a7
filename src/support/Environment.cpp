#include "support/Environment.h"

#include <unistd.h>

#include <climits>

#include "support/DiagnosticLog.h"
#include "support/FileUtil.h"

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

Environment StartEnvironment(const StartupOptions& options) {
    Environment env;
    env.programPath = options.programPath.empty() ? CurrentProgramPath() : options.programPath;
    env.programFolder = FolderOfPath(env.programPath);

    env.paths = PrepareDataFolder(options.dataFolder);

    env.programSettingsFile = options.settingsFile
                                  ? *options.settingsFile
                                  : FindFileIgnoringCase(env.programFolder, kProgramSettingsName);
    env.settings = ReadProgramSettings(env.programSettingsFile);

    // A missing language file leaves the texts as they are (the locale's or English).
    env.languageFile = LanguageFilePath(env.programFolder, env.settings.lang);
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
