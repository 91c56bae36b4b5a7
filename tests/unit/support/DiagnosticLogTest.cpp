#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <numeric>
#include <optional>
#include <thread>
#include <vector>

#include "support/DiagnosticLog.h"
#include "support/GlobalScopes.h"
#include "support/ProgramSettings.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"
#include "support/TextUtil.h"
#include "support/Version.h"

namespace dialvane {
namespace {

using namespace std::string_literals;
using testing::ScriptedPrompt;
using testing::TempDir;

constexpr LogClockTime kFixedTime{2026, 12, 6, 9, 5, 3, 7};

class DiagnosticLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetLogClock([] { return kFixedTime; });
    }
    void TearDown() override { SetLogClock(nullptr); }

    // Starts the log with the settings file's contents (nullptr: no settings file at all).
    void Start(const char* settings) {
        std::string path = settings ? dir_.Write("dialvane.ini", settings) : dir_.File("none");
        ProgramSettings s = ReadProgramSettings(path);
        log_.emplace(dir_.Path(), path, s.qnlEnv, s.verify, s.disp);
    }

    std::string Log() const { return dir_.Read(kLogFileName); }

    // The text written after the header.
    std::string Body() const {
        std::string log = Log();
        const std::string rule = "==========================\r\n\r\n";
        size_t end = log.find(rule);
        return end == std::string::npos ? "<no header>" : log.substr(end + rule.size());
    }

    TempDir dir_;
    std::shared_ptr<ScriptedPrompt> prompt_ = std::make_shared<ScriptedPrompt>();
    const testing::LogFailurePromptScope shown_{prompt_};
    std::optional<testing::LogScope> log_;
};

TEST_F(DiagnosticLogTest, HeaderWithoutSwitchesRecordsTheSettingsAndLeavesEverythingOff) {
    dir_.Write(kLogFileName, "left over from the last run\r\n");
    Start(nullptr);

    // The old log is replaced by a header that names the run; the settings file it names is
    // read in the installed program's test.
    const std::string log = Log();
    EXPECT_EQ(log.rfind("プロダクト名....." + ProductName() + "\r\n", 0), 0u);
    EXPECT_EQ(log.find("left over"), std::string::npos);
    LogWrite("nothing", LogCategory::LogProc_TCP, LogCategory::LogFunc_Error, 'N');
    EXPECT_EQ(Body(), "");
    EXPECT_TRUE(prompt_->Requests().empty());
}

TEST_F(DiagnosticLogTest, DefaultSwitchesEveryCategoryUnlessItsOwnKeySaysExactlyZero) {
    Start("[log_level]\nDEFAULT=1\nLogProc_TCP=0\nlogfunc_info=00\nLogFunc_Step=\n");
    for (int n = 0; n < kLogCategoryCount; ++n) {
        EXPECT_EQ(LogEnabled(static_cast<LogCategory>(n)), n != 16) << n;
    }
    LogWrite("tcp line", LogCategory::LogProc_TCP, LogCategory::LogFunc_Event, 'N');
    LogDump(reinterpret_cast<const uint8_t*>("ab"), 2, LogCategory::LogProc_TCP, 4,
            LogCategory::LogFunc_Info);
    EXPECT_EQ(Body(), "");
}

TEST_F(DiagnosticLogTest, LinesNeedBothCategoriesAndAKnownStampMode) {
    Start("[LOG_LEVEL]\nDEFAULT=0\nLogProc_QNLCMD=1\nLogFunc_Start=1\nLogFunc_Error=1\n");
    const auto qnl = LogCategory::LogProc_QNLCMD;
    LogWrite("abc", qnl, LogCategory::LogFunc_Start, 'L');
    LogWrite("abc", qnl, LogCategory::LogFunc_Error, 'R');
    LogWrite("", qnl, LogCategory::LogFunc_Start, 'N');
    LogWrite("\r\n//=== stage", qnl, LogCategory::LogFunc_Start, 'N');
    LogWrite("unknown mode", qnl, LogCategory::LogFunc_Start, 'X');
    LogWrite("kind off", qnl, LogCategory::LogFunc_End, 'N');
    LogWrite("process off", LogCategory::LogProc_TCP, LogCategory::LogFunc_Start, 'N');
    EXPECT_EQ(Body(),
              "09:05:03.007... abc\r\n"
              "abc (09:05:03.007)\r\n"
              "\r\n"
              "\r\n//=== stage\r\n");
}

// Text names the framing bytes and keeps the rest; binary is rows of sixteen.
TEST(FormatDump, TextAndBinary) {
    const uint8_t bytes[] = {0x1B, 0x41, 0x0D, 0x0A, 0x01, 0x0C, 0x1D, 0x00, 0x7F};
    EXPECT_EQ(FormatDump(bytes, 4, 'S', 0), "ASC : <ESC>A<CR><LF>\r\n");
    EXPECT_EQ(FormatDump(bytes + 4, 5, 'S', 2), "  ASC : <SOH><FF><GS>\0\x7F\r\n"s);
    EXPECT_EQ(FormatDump(bytes, 4, 'X', 0), "");

    std::vector<uint8_t> seventeen(17);
    std::iota(seventeen.begin(), seventeen.end(), 0xA0);
    EXPECT_EQ(FormatDump(seventeen.data(), 17, 'B', 0),
              "BIN : +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F"
              "\r\n0000: A0.A1.A2.A3.A4.A5.A6.A7.A8.A9.AA.AB.AC.AD.AE.AF.\r\n0010: B0.\r\n");
}

TEST_F(DiagnosticLogTest, ConcurrentWritersNeverSplitALineOrADump) {
    Start("[LOG_LEVEL]\nDEFAULT=1\n");
    std::vector<uint8_t> frame(20);
    std::iota(frame.begin(), frame.end(), 'a');
    constexpr int kRounds = 300;
    std::thread dumper([&] {
        for (int i = 0; i < kRounds; ++i) {
            LogDump(frame.data(), frame.size(), LogCategory::LogProc_DataSend, 4,
                    LogCategory::LogFunc_Info);
        }
    });
    std::thread writer([&] {
        const std::string line(300, 'w');
        for (int i = 0; i < kRounds; ++i) {
            LogWrite(line, LogCategory::LogProc_TCP, LogCategory::LogFunc_Event, 'N');
        }
    });
    dumper.join();
    writer.join();

    const std::string ascii = FormatDump(frame.data(), frame.size(), 'S', 4);
    const std::string binary = FormatDump(frame.data(), frame.size(), 'B', 4);
    const std::string line = std::string(300, 'w') + "\r\n";
    const std::string body = Body();
    std::string_view rest = body;
    int dumps = 0;
    int lines = 0;
    while (!rest.empty()) {
        if (StartsWith(rest, ascii + binary)) {
            rest.remove_prefix(ascii.size() + binary.size());
            ++dumps;
        } else if (StartsWith(rest, line)) {
            rest.remove_prefix(line.size());
            ++lines;
        } else {
            FAIL() << "split output after " << dumps << " dumps and " << lines << " lines";
        }
    }
    EXPECT_EQ(dumps, kRounds);
    EXPECT_EQ(lines, kRounds);
}

TEST_F(DiagnosticLogTest, AFileHeldByAnotherWriterIsReportedAndTheProgramGoesOn) {
    Start("[LOG_LEVEL]\nDEFAULT=1\n");
    int holder = ::open(dir_.File(kLogFileName).c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    LogWrite("lost", LogCategory::LogProc_TCP, LogCategory::LogFunc_Event, 'N');
    LogWrite("lost too", LogCategory::LogProc_TCP, LogCategory::LogFunc_Event, 'N');
    ::close(holder);
    LogWrite("kept", LogCategory::LogProc_TCP, LogCategory::LogFunc_Event, 'N');

    EXPECT_EQ(Body(), "kept\r\n");
    std::vector<PromptRequest> asked = prompt_->Requests();
    ASSERT_EQ(asked.size(), 2u);  // once per failed write
    EXPECT_EQ(asked[0].title + ": " + asked[0].text,
              "File Error: Cannot write to file.Confirm whether or not the file is "
              "open.(ZEVIZ_LOG.txt)");
    EXPECT_EQ(asked[0].icon, PromptIcon::Warning);

    // A missing folder is reported once for the whole header.
    LogInit(dir_.File("gone/"), dir_.File("dialvane.ini"), QnlEnvRecord{}, 0, 0);
    EXPECT_EQ(prompt_->Requests().size(), 3u);
}

}  // namespace
}  // namespace dialvane
