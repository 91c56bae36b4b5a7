#include <gtest/gtest.h>

#include <cstdlib>

#include "support/DiagnosticLog.h"
#include "support/Environment.h"
#include "support/FileUtil.h"
#include "support/Messages.h"
#include "support/TempDir.h"

namespace dialvane {
namespace {

using testing::TempDir;

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name :
             {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "HOME", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        // The user's own settings file must not take part.
        ::setenv("XDG_CONFIG_HOME", (dir_.Path() + "config").c_str(), 1);
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
        ResetMessageTexts();
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
    TempDir dir_;
};

TEST_F(StartupTest, DataFolderFollowsXdgDataHomeThenHome) {
    ::setenv("XDG_DATA_HOME", (dir_.Path() + "xdg").c_str(), 1);
    DataPaths paths = PrepareDataFolder();
    EXPECT_EQ(paths.dataFolder, dir_.Path() + "xdg/ORVEX/Dialvane/");
    EXPECT_TRUE(FileExists(paths.dataFolder));
    EXPECT_EQ(paths.downloadFile + paths.sendFile + paths.logFile + paths.userSettingsFile,
              paths.dataFolder + "TELDIR_TOOL.TMP" + paths.dataFolder + "MFP_VERIFY.TMP" +
                  paths.dataFolder + "ZEVIZ_LOG.txt" + paths.dataFolder + "MFP_USER.INI");

    ::setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
    ::setenv("HOME", (dir_.Path() + "home").c_str(), 1);
    EXPECT_EQ(PrepareDataFolder().dataFolder, dir_.Path() + "home/.local/share/ORVEX/Dialvane/");
    EXPECT_EQ(PrepareDataFolder(dir_.Path() + "given").dataFolder, dir_.Path() + "given/");
}

TEST_F(StartupTest, EnvironmentReadsBothFilesLoadsTheLanguageAndStartsTheLog) {
    ::setenv("LANG", "ja_JP.UTF-8", 1);
    dir_.Write("Dialvane.INI", "[MAINFORM]\nLANG=JPN\n[Network]\nCONNECTION=1\nOffline=1\n");
    dir_.Write("dialvane.JPN", "LogFileErrorCaption=ファイルエラー\n");
    StartupOptions options;
    options.programPath = dir_.File("dialvane");
    options.dataFolder = dir_.File("data/new");
    Environment env = StartEnvironment(options);

    EXPECT_EQ(env.programSettingsFile, dir_.File("Dialvane.INI"));
    EXPECT_EQ(env.paths.dataFolder, dir_.File("data/new/"));
    EXPECT_TRUE(env.japaneseUi && env.japaneseLocale && env.offlineMode);
    EXPECT_EQ(env.user.connection, 1);  // no user file yet: the program default
    EXPECT_EQ(Text(Msg::LogFileErrorCaption), "ファイルエラー");
    EXPECT_TRUE(FileExists(env.paths.logFile));
}

TEST_F(StartupTest, SettingsFileLookupFirstFoundWins) {
    // An installed layout: PREFIX/bin/dialvane-cli and PREFIX/share/dialvane/. That the shared
    // folder is found from there, and the configuration folder wins over it, is shown by the
    // installed program's test.
    const std::string bin = dir_.File("prefix/bin/");
    ASSERT_TRUE(MakeDirectories(bin) && MakeDirectories(dir_.File("prefix/share/dialvane")));
    EXPECT_EQ(FindProgramSettingsFile(bin), "");

    const std::string shared = dir_.Write("prefix/share/dialvane/dialvane.ini", "");
    EXPECT_EQ(FindProgramSettingsFile(bin), shared);
    const std::string beside = dir_.Write("prefix/bin/DIALVANE.INI", "");
    EXPECT_EQ(FindProgramSettingsFile(bin), beside);
    ASSERT_TRUE(MakeDirectories(dir_.File("config/ORVEX/Dialvane")));
    const std::string user = dir_.Write("config/ORVEX/Dialvane/dialvane.ini", "");
    EXPECT_EQ(FindProgramSettingsFile(bin), user);
    // Without XDG_CONFIG_HOME the folder is ~/.config.
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", dir_.File("home").c_str(), 1);
    EXPECT_EQ(FindProgramSettingsFile(bin), beside);

    // A missing --settings file is worded in the command-line tests.
    StartupOptions options;
    EXPECT_EQ(CheckStartupOptions(options), "");
    options.settingsFile = dir_.Path();  // a folder is no settings file
    EXPECT_NE(CheckStartupOptions(options), "");
}

}  // namespace
}  // namespace dialvane
