// `cmake --install` into a temporary prefix: the layout a Linux user and the desktop expect, and
// the installed programs working from there, away from the build tree.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/FileUtil.h"
#include "support/TempDir.h"

namespace dialvane {
namespace {

namespace fs = std::filesystem;

int Shell(const std::string& command) {
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

class Install : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new testing::TempDir;
        status_ = Shell("cmake --install '" DIALVANE_BINARY_DIR "' --prefix '" +
                        dir_->File("prefix") + "' >'" + dir_->File("install.log") + "' 2>&1");
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static std::string Prefix(const std::string& path) { return dir_->File("prefix/" + path); }

    static testing::TempDir* dir_;
    static int status_;
};

testing::TempDir* Install::dir_ = nullptr;
int Install::status_ = -1;

TEST_F(Install, PutsEveryFileWhereTheSystemLooks) {
    ASSERT_EQ(status_, 0) << dir_->Read("install.log");
    for (const char* path :
         {"bin/dialvane-cli", "bin/dialvane-mfp-emulator", "share/dialvane/dialvane.ini",
          "share/dialvane/dialvane.JPN", "share/dialvane/help/index.html",
          "share/applications/io.github.orvex.Dialvane.desktop",
          "share/metainfo/io.github.orvex.Dialvane.metainfo.xml",
          "share/bash-completion/completions/dialvane-cli", "share/man/man1/dialvane-cli.1.gz",
          "share/man/man1/dialvane-mfp-emulator.1.gz", "share/doc/dialvane/copyright"}) {
        EXPECT_TRUE(fs::exists(Prefix(path))) << path;
    }
    if (fs::exists(DIALVANE_BINARY_DIR "/apps/dialvane/dialvane")) {
        EXPECT_TRUE(fs::exists(Prefix("bin/dialvane")));
        EXPECT_TRUE(fs::exists(Prefix("share/man/man1/dialvane.1.gz")));
    }
    if (fs::exists(DIALVANE_SOURCE_DIR "/resources/icons/dialvane.svg")) {
        for (const char* icon : {"scalable/apps/dialvane.svg", "48x48/apps/dialvane.png",
                                 "128x128/apps/dialvane.png", "256x256/apps/dialvane.png"}) {
            EXPECT_TRUE(fs::exists(Prefix(std::string("share/icons/hicolor/") + icon))) << icon;
        }
    }
    // The man page is made from the program's help: the commands and exit status are in it.
    ASSERT_EQ(Shell("gzip -dc '" + Prefix("share/man/man1/dialvane-cli.1.gz") + "' > '" +
                    dir_->File("dialvane-cli.1") + "'"),
              0);
    const std::string page = ReadFileBytes(dir_->File("dialvane-cli.1")).value_or("");
    EXPECT_NE(page.find("Exit status"), std::string::npos) << page;
    EXPECT_NE(page.find("upload"), std::string::npos);
    EXPECT_EQ(page.find(DIALVANE_BINARY_DIR), std::string::npos);
}

TEST_F(Install, DesktopEntryAndMetainfoValidate) {
    ASSERT_EQ(status_, 0) << dir_->Read("install.log");
    EXPECT_EQ(Shell("desktop-file-validate '" +
                    Prefix("share/applications/io.github.orvex.Dialvane.desktop") + "'"),
              0);
    EXPECT_EQ(
        Shell("appstreamcli validate --no-net '" +
              Prefix("share/metainfo/io.github.orvex.Dialvane.metainfo.xml") + "' >/dev/null"),
        0);
}

TEST_F(Install, TheInstalledProgramFindsItsSettingsOutsideTheBuildTree) {
    ASSERT_EQ(status_, 0) << dir_->Read("install.log");
    // Run from another folder, with an empty configuration folder and a data folder of its own.
    const std::string run = "cd / && XDG_CONFIG_HOME='" + dir_->File("config") + "' '" +
                            Prefix("bin/dialvane-cli") + "' --data-dir '" + dir_->File("data") +
                            "' ";
    const std::string streams = " >'" + dir_->File("out") + "' 2>'" + dir_->File("err") + "'";
    EXPECT_EQ(Shell(run + "check '" DIALVANE_SOURCE_DIR "/samples/sample-dial-list.csv'" + streams),
              0);
    EXPECT_EQ(dir_->Read("out") + dir_->Read("err"), "");
    EXPECT_NE(dir_->Read("data/ZEVIZ_LOG.txt").find(Prefix("share/dialvane/dialvane.ini")),
              std::string::npos);

    // A settings file in the user's configuration folder wins; its LANG=JPN finds the installed
    // Japanese texts.
    ASSERT_TRUE(MakeDirectories(dir_->File("config/ORVEX/Dialvane")));
    dir_->Write("config/ORVEX/Dialvane/dialvane.ini", "[MAINFORM]\nLANG=JPN\n");
    const std::string bad = dir_->Write("bad.csv", "S999,A,1,\r\n");
    EXPECT_EQ(Shell(run + "check '" + bad + "'" + streams), 1);
    EXPECT_TRUE(dir_->Read("out").starts_with("行番号:")) << dir_->Read("out");
}

}  // namespace
}  // namespace dialvane
