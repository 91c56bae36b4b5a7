#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "support/Format.h"
#include "support/IniFile.h"
#include "support/ProgramSettings.h"
#include "support/TempDir.h"
#include "support/UserSettings.h"

namespace dialvane {
namespace {

using testing::TempDir;

// The settings in one line, in table order, so a whole set compares at once.
std::string Describe(const ProgramSettings& s) {
    const QnlEnvRecord& q = s.qnlEnv;
    return Format("%s %dx%d %s/%s disp=%d env=%s %s %s %u %d %u %d %d %d %d %d verify=%u", s.lang,
                  s.formWidth, s.formHeight, s.printerModels[0], s.shortModelNames[0], s.disp,
                  q.connectNo, q.openTimeout, q.readTimeout, q.openRetryCount, q.openRetryTime,
                  q.nackRetryCount, q.nackRetryTime, q.polingRate, q.tcpPolingRate, q.timeout,
                  q.readDelay, s.verify) +
           Format(" conn=%d offline=%d %s backup=%d keep=%d", s.connection, s.offline,
                  s.offlineTarget, s.backup, s.backupKeep);
}

TEST(ProgramSettings, MissingFileGivesEveryDefault) {
    TempDir dir;
    ProgramSettings s = ReadProgramSettings(dir.File("absent.ini"));
    EXPECT_EQ(Describe(s),
              "ENU 600x600 ORVEX DX-M100/DX-M100 disp=0 env=0001 0014 000A 3 5000 3 1000 100 10 "
              "30000 0 verify=0 conn=0 offline=0 DX-R7700 backup=1 keep=20");
    EXPECT_EQ(s.printerModels[4], "");
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
                                 "Offline=5\n"
                                 "[Backup]\n"
                                 "BACKUP=no\n"
                                 "KEEP=3\n");
    ProgramSettings s = ReadProgramSettings(path);
    // Names ignore case; -1 for what is not a number (all 32 bits in hex, 255 as a byte); bytes
    // keep the low 8 bits (300 -> 44, 257 -> 1); hexadecimal numbers are numbers. BACKUP=0, the
    // one value that turns the backup off, is read by the command line's backup test.
    EXPECT_EQ(Describe(s),
              "JPN 600x-1 ORVEX DX-M100/DX-M100 disp=-1 env=00FF FFFFFFFF 11170 44 5000 255 1000 "
              "100 10 16 0 verify=1 conn=1 offline=1 DX-R7700 backup=1 keep=3");
    EXPECT_EQ(s.printerModels[2], "ORVEX DX-R7700");
}

// One value of a settings file as written, "-" when the key is absent.
std::string Value(const std::string& path, const char* section, const char* key) {
    CSimpleIniA ini;
    LoadIniFile(ini, path);
    const char* value = ini.GetValue(section, key);
    return value != nullptr ? value : "-";
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
                                 "[Network]\nIP_ADDR_LIST3=10.0.0.3\nCONNECTION=1\n"
                                 "ip_addr_list9=lower\nIP_ADDR_LISTX=10.0.0.99\n"
                                 "IP_ADDR_LIST1=10.0.0.1\nIP_ADDR_LIST4=10.0.0.4\n"
                                 "IP_ADDR_LIST5=10.0.0.5\nIP_ADDR_LIST6=10.0.0.6\n"
                                 "IP_ADDR_LIST7=10.0.0.7\nIP_ADDR_LIST8=10.0.0.8\n");
    UserSettings s = ReadUserSettings(path, 0);
    // File order, not key order; key names in any case; six at most.
    EXPECT_EQ(s.ipHistory, (std::vector<std::string>{"10.0.0.3", "lower", "10.0.0.99", "10.0.0.1",
                                                     "10.0.0.4", "10.0.0.5"}));

    s.ipHistory = {"192.168.1.2", "192.168.1.3"};
    ASSERT_TRUE(WriteUserSettings(path, s));
    // A new settings file is its owner's only: it names the MFPs and the user's files.
    struct stat fresh {};
    ASSERT_TRUE(WriteUserSettings(dir.File("fresh.ini"), s));
    ASSERT_EQ(::stat(dir.File("fresh.ini").c_str(), &fresh), 0);
    EXPECT_EQ(fresh.st_mode & 0777, 0600u);
    EXPECT_EQ(Value(path, "Network", "IP_ADDR_LIST1"), "192.168.1.2");
    EXPECT_EQ(Value(path, "Network", "IP_ADDR_LIST2"), "192.168.1.3");
    EXPECT_EQ(Value(path, "Network", "IP_ADDR_LIST3") + Value(path, "Network", "IP_ADDR_LIST8") +
                  Value(path, "Network", "IP_ADDR_LISTX") + Value(path, "Network", "ip_addr_list9"),
              "----");
    EXPECT_EQ(Value(path, "Network", "CONNECTION"), "1");
}

TEST(UserSettings, HistoriesSkipGapsAndRewritesNeitherLoseNorRepeatAKeyInAnyCase) {
    TempDir dir;
    std::string path = dir.Write("MFP_USER.INI",
                                 "[MainForm]\nCB_SENDER_LIST1=ORVEX Sales\nCB_SENDER_LIST2=\n"
                                 "Cb_Sender_List3=Head Office\nCB_SENDER_LIST6=beyond the five\n"
                                 "cb_sel_file_list2=/home/u/b.csv\n"
                                 "CB_SEL_FILE_LIST11=/home/u/eleven.csv\n"
                                 "WINDOW_STATE=kept\n[Other]\nkey=value\n"
                                 "[network]\nip_addr_list1=10.0.0.9\nIP_ADDR_LIST2=10.0.0.2\n");
    const UserSettings s = ReadUserSettings(path, 0);
    EXPECT_EQ(s.senderHistory, (std::vector<std::string>{"ORVEX Sales", "Head Office"}));
    EXPECT_EQ(s.fileHistory, (std::vector<std::string>{"/home/u/b.csv"}));
    EXPECT_EQ(s.ipHistory, (std::vector<std::string>{"10.0.0.9", "10.0.0.2"}));

    ASSERT_TRUE(WriteUserSettings(path, s));
    EXPECT_EQ(Value(path, "MAINFORM", "CB_SENDER_LIST2"), "Head Office");
    EXPECT_EQ(Value(path, "MAINFORM", "CB_SENDER_LIST3"), "-");
    EXPECT_EQ(Value(path, "MAINFORM", "CB_SENDER_LIST6"), "beyond the five");
    EXPECT_EQ(Value(path, "MAINFORM", "CB_SEL_FILE_LIST1"), "/home/u/b.csv");
    EXPECT_EQ(Value(path, "MAINFORM", "CB_SEL_FILE_LIST11"), "-");
    EXPECT_EQ(Value(path, "MAINFORM", "WINDOW_STATE") + Value(path, "Other", "key"), "keptvalue");
    // Rewrites in a row read back exactly what was read first.
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(WriteUserSettings(path, ReadUserSettings(path, 0)));
        const UserSettings again = ReadUserSettings(path, 0);
        EXPECT_EQ(again.senderHistory, s.senderHistory);
        EXPECT_EQ(again.fileHistory, s.fileHistory);
        EXPECT_EQ(again.ipHistory, s.ipHistory);
    }
    EXPECT_TRUE(UserSettingsWritable(path));
    EXPECT_FALSE(UserSettingsWritable(dir.File("no/such/folder/MFP_USER.INI")));
    // Something other than a file in its place cannot be written, whoever runs the program.
    ASSERT_TRUE(MakeDirectories(dir.File("taken/MFP_USER.INI")));
    EXPECT_FALSE(UserSettingsWritable(dir.File("taken/MFP_USER.INI")));
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
