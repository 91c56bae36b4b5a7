#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "TempDir.h"
#include "support/IniFile.h"
#include "support/ProgramSettings.h"
#include "support/UserSettings.h"

namespace dialvane {
namespace {

using testing::TempDir;

TEST(ProgramSettings, MissingFileGivesEveryDefault) {
    TempDir dir;
    ProgramSettings s = ReadProgramSettings(dir.File("absent.ini"));
    EXPECT_EQ(s.lang, "ENU");
    EXPECT_EQ(s.formHeight, 600);
    EXPECT_EQ(s.formWidth, 600);
    EXPECT_EQ(s.connection, 0);
    EXPECT_EQ(s.printerModels[0], "ORVEX DX-M100");
    EXPECT_EQ(s.shortModelNames[0], "DX-M100");
    EXPECT_EQ(s.printerModels[4], "");
    const QnlEnvRecord& q = s.qnlEnv;
    EXPECT_EQ(q.connectNo, "0001");
    EXPECT_EQ(q.openTimeout, "0014");
    EXPECT_EQ(q.readTimeout, "000A");
    EXPECT_EQ(q.openRetryCount, 3);
    EXPECT_EQ(q.openRetryTime, 5000);
    EXPECT_EQ(q.nackRetryCount, 3);
    EXPECT_EQ(q.nackRetryTime, 1000);
    EXPECT_EQ(q.polingRate, 100);
    EXPECT_EQ(q.tcpPolingRate, 10);
    EXPECT_EQ(q.timeout, 30000);
    EXPECT_EQ(q.readDelay, 0);
    EXPECT_EQ(s.verify, 0);
    EXPECT_EQ(s.disp, 0);
    EXPECT_FALSE(s.offline);
    EXPECT_EQ(s.offlineTarget, "DX-R7700");
}

TEST(ProgramSettings, ConvertsNumbersByTheirType) {
    TempDir dir;
    std::string path = dir.Write("dialvane.ini",
                                 "[mainform]\n"
                                 "lang=JPN\n"
                                 "FORM_HEIGHT=wide\n"
                                 "PRINTER_MODEL_2=ORVEX DX-R7700\n"
                                 "[QNL_ENV]\n"
                                 "CONNECT_NO=255\n"
                                 "OPEN_TIMEOUT=abc\n"
                                 "READ_TIMEOUT=70000\n"
                                 "OPEN_RETRY_COUNT=300\n"
                                 "NACK_RETRY_COUNT=x\n"
                                 "TIMEOUT=0x10\n"
                                 "VERIFY=257\n"
                                 "[LOG_LEVEL]\n"
                                 "DISP=two\n"
                                 "[Network]\n"
                                 "CONNECTION=1\n"
                                 "Offline=5\n");
    ProgramSettings s = ReadProgramSettings(path);
    EXPECT_EQ(s.lang, "JPN");  // section and key names ignore case
    EXPECT_EQ(s.formHeight, -1);
    EXPECT_EQ(s.printerModels[2], "ORVEX DX-R7700");
    EXPECT_EQ(s.qnlEnv.connectNo, "00FF");
    EXPECT_EQ(s.qnlEnv.openTimeout, "FFFFFFFF");
    EXPECT_EQ(s.qnlEnv.readTimeout, "11170");
    EXPECT_EQ(s.qnlEnv.openRetryCount, 44);   // low 8 bits of 300
    EXPECT_EQ(s.qnlEnv.nackRetryCount, 255);  // -1 kept as a byte
    EXPECT_EQ(s.qnlEnv.timeout, 16);
    EXPECT_EQ(s.verify, 1);
    EXPECT_EQ(s.disp, -1);
    EXPECT_EQ(s.connection, 1);
    EXPECT_TRUE(s.offline);
}

TEST(ProgramSettings, FindsTheFileWhateverItsCase) {
    TempDir dir;
    EXPECT_EQ(FindFileIgnoringCase(dir.Path(), "dialvane.ini"), dir.File("dialvane.ini"));
    dir.Write("DIALVANE.INI", "");
    EXPECT_EQ(FindFileIgnoringCase(dir.Path(), "dialvane.ini"), dir.File("DIALVANE.INI"));
    dir.Write("dialvane.ini", "");
    EXPECT_EQ(FindFileIgnoringCase(dir.Path(), "dialvane.ini"), dir.File("dialvane.ini"));
}

TEST(UserSettings, MissingOrEmptyConnectionFallsBackToTheProgramDefault) {
    TempDir dir;
    EXPECT_EQ(ReadUserSettings(dir.File("MFP_USER.INI"), 1).connection, 1);
    std::string path = dir.Write("MFP_USER.INI", "[Network]\nCONNECTION=\nIP_ADDR_DAT=10.0.0.1\n");
    UserSettings s = ReadUserSettings(path, 1);
    EXPECT_EQ(s.connection, 1);
    EXPECT_EQ(s.ipAddress, "10.0.0.1");
    dir.Write("MFP_USER.INI", "[Network]\nCONNECTION=0\n");
    EXPECT_EQ(ReadUserSettings(path, 1).connection, 0);
}

TEST(UserSettings, IpHistoryTakesSixPrefixedKeysAndIsRewrittenFromOne) {
    TempDir dir;
    std::string path = dir.Write("MFP_USER.INI",
                                 "[Network]\n"
                                 "IP_ADDR_LIST3=10.0.0.3\n"
                                 "CONNECTION=1\n"
                                 "ip_addr_list9=lower\n"
                                 "IP_ADDR_LISTX=10.0.0.99\n"
                                 "IP_ADDR_LIST1=10.0.0.1\n"
                                 "IP_ADDR_LIST4=10.0.0.4\n"
                                 "IP_ADDR_LIST5=10.0.0.5\n"
                                 "IP_ADDR_LIST6=10.0.0.6\n"
                                 "IP_ADDR_LIST7=10.0.0.7\n"
                                 "IP_ADDR_LIST8=10.0.0.8\n");
    UserSettings s = ReadUserSettings(path, 0);
    // File order, not key order; the lower-case key does not count; six at most.
    EXPECT_EQ(s.ipHistory, (std::vector<std::string>{"10.0.0.3", "10.0.0.99", "10.0.0.1",
                                                     "10.0.0.4", "10.0.0.5", "10.0.0.6"}));

    s.ipHistory = {"192.168.1.2", "192.168.1.3"};
    ASSERT_TRUE(WriteUserSettings(path, s));
    CSimpleIniA ini;
    ASSERT_TRUE(LoadIniFile(ini, path));
    EXPECT_STREQ(ini.GetValue("Network", "IP_ADDR_LIST1"), "192.168.1.2");
    EXPECT_STREQ(ini.GetValue("Network", "IP_ADDR_LIST2"), "192.168.1.3");
    for (const char* gone : {"IP_ADDR_LIST3", "IP_ADDR_LIST8", "IP_ADDR_LISTX"}) {
        EXPECT_EQ(ini.GetValue("Network", gone), nullptr) << gone;
    }
    EXPECT_STREQ(ini.GetValue("Network", "CONNECTION"), "1");
    EXPECT_EQ(ReadUserSettings(path, 0).ipHistory, s.ipHistory);
}

TEST(UserSettings, SenderAndFileHistoriesSkipGapsAndDoNotComeBackTwice) {
    TempDir dir;
    std::string path = dir.Write("MFP_USER.INI",
                                 "[MAINFORM]\n"
                                 "CB_SENDER_LIST1=ORVEX Sales\n"
                                 "CB_SENDER_LIST2=\n"
                                 "CB_SENDER_LIST3=Head Office\n"
                                 "CB_SENDER_LIST6=beyond the five\n"
                                 "CB_SEL_FILE_LIST2=/home/u/b.csv\n"
                                 "CB_SEL_FILE_LIST11=/home/u/eleven.csv\n"
                                 "WINDOW_STATE=kept\n"
                                 "[Other]\nkey=value\n");
    UserSettings s = ReadUserSettings(path, 0);
    EXPECT_EQ(s.senderHistory, (std::vector<std::string>{"ORVEX Sales", "Head Office"}));
    EXPECT_EQ(s.fileHistory, (std::vector<std::string>{"/home/u/b.csv"}));

    ASSERT_TRUE(WriteUserSettings(path, s));
    CSimpleIniA ini;
    ASSERT_TRUE(LoadIniFile(ini, path));
    EXPECT_STREQ(ini.GetValue("MAINFORM", "CB_SENDER_LIST1"), "ORVEX Sales");
    EXPECT_STREQ(ini.GetValue("MAINFORM", "CB_SENDER_LIST2"), "Head Office");
    EXPECT_EQ(ini.GetValue("MAINFORM", "CB_SENDER_LIST3"), nullptr);
    EXPECT_STREQ(ini.GetValue("MAINFORM", "CB_SENDER_LIST6"), "beyond the five");
    EXPECT_STREQ(ini.GetValue("MAINFORM", "CB_SEL_FILE_LIST1"), "/home/u/b.csv");
    EXPECT_EQ(ini.GetValue("MAINFORM", "CB_SEL_FILE_LIST2"), nullptr);
    EXPECT_EQ(ini.GetValue("MAINFORM", "CB_SEL_FILE_LIST11"), nullptr);
    EXPECT_STREQ(ini.GetValue("MAINFORM", "WINDOW_STATE"), "kept");
    EXPECT_STREQ(ini.GetValue("Other", "key"), "value");

    // Read back, the history is what was written: nothing doubled by a stale key.
    UserSettings again = ReadUserSettings(path, 0);
    EXPECT_EQ(again.senderHistory, s.senderHistory);
    EXPECT_EQ(again.fileHistory, s.fileHistory);
}

TEST(UserSettings, MissingFileIsCreatedWithTheUsersChoices) {
    TempDir dir;
    UserSettings s;
    s.connection = 1;
    s.ipAddress = "10.1.2.3";
    s.senderHistory = {"ｵﾙﾍﾞｯｸｽ 営業部"};
    s.fileHistory = {"/tmp/a b.csv", "/tmp/c.txt"};
    ASSERT_TRUE(WriteUserSettings(dir.File("MFP_USER.INI"), s));
    UserSettings back = ReadUserSettings(dir.File("MFP_USER.INI"), 0);
    EXPECT_EQ(back.connection, 1);
    EXPECT_EQ(back.ipAddress, "10.1.2.3");
    EXPECT_EQ(back.senderHistory, s.senderHistory);
    EXPECT_EQ(back.fileHistory, s.fileHistory);
    EXPECT_TRUE(UserSettingsWritable(dir.File("MFP_USER.INI")));
    EXPECT_FALSE(UserSettingsWritable(dir.File("no/such/folder/MFP_USER.INI")));
}

TEST(UserSettings, ACrashWhileWritingLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string old = "[Network]\nCONNECTION=1\nIP_ADDR_LIST1=10.0.0.1\n";
    std::string path = dir.Write("MFP_USER.INI", old);
    UserSettings big;
    big.fileHistory.assign(10, "/home/user/" + std::string(400, 'f') + ".csv");

    // The child may write only 256 bytes to any file; the next write kills it with SIGXFSZ,
    // in the middle of writing the settings.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit limit{256, 256};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        WriteUserSettings(path, big);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the write was expected to be cut short";
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(dir.Read("MFP_USER.INI"), old);
}

}  // namespace
}  // namespace dialvane
