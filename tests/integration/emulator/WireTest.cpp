#include <gtest/gtest.h>

#include "EmulatorWire.h"
#include "TestClient.h"

namespace dialvane::emu {
namespace {

using testing::Envelope;
using testing::FrameWrite;
using testing::Raw;

const std::string kSpeedDialRequest = Raw({0xC0, 0x7C, 0x00, 0x05, 0x00, 0x03, 0x60, 0x01, 0x00});

TEST(EmulatorScan, WaitsForEveryPartOfACommandThatArrivesInPieces) {
    const std::string write = FrameWrite(kSpeedDialRequest);
    for (std::size_t length = 1; length < write.size(); ++length) {
        EXPECT_EQ(ScanIncoming(std::string_view(write).substr(0, length), false).state,
                  ScanState::Incomplete)
            << length;
    }
    for (std::size_t length = 1; length < kNameQuery.size(); ++length) {
        EXPECT_EQ(ScanIncoming(kNameQuery.substr(0, length), false).state, ScanState::Incomplete);
    }
}

TEST(EmulatorScan, ReportsWhatIsWrongWithAnEnvelope) {
    struct Case {
        const char* what;
        std::string bytes;
        bool idle;
        std::string problemStart;
        std::size_t consumed;
    };
    const std::string good = testing::Tool("0000");
    std::string badChecksum = good;
    badChecksum.replace(badChecksum.rfind(';') + 1, 3, "999");
    const std::string shortCount = "@QNL ENTER LANGUAGE=RCC\r\n\x1b\x1dU16;0;6;0}00010000\x1b\x01";
    const std::string longCount = "@QNL ENTER LANGUAGE=RCC\r\n\x1b\x1dU16;0;12;0}00010000\x1b\x01";
    const std::vector<Case> cases = {
        {"checksum", badChecksum, false, "checksum 999 does not match the byte sum", good.size()},
        {"count too small", shortCount, false, "byte count 6 does not match the 8 bytes",
         shortCount.size()},
        {"count too large, once nothing more comes", longCount, true,
         "byte count 12 does not match the 8 bytes", longCount.size()},
        {"unknown code", Envelope("00010009"), false, "unknown tool command code", 0},
        {"NOP with a timeout", Envelope("00010000000A"), false, "command 0000 carries 12 bytes", 0},
        {"read without its timeout", Envelope("00010004"), false, "command 0004 carries 8", 0},
        {"lower-case connection", Envelope("000a0000"), false, "connection number", 0},
        {"timeout not hexadecimal", Envelope("000100010x0A"), false, "timeout", 0},
    };
    for (const Case& c : cases) {
        const ScanResult result = ScanIncoming(c.bytes, c.idle);
        EXPECT_EQ(result.state, ScanState::Command) << c.what;
        EXPECT_TRUE(result.command.problem.starts_with(c.problemStart))
            << c.what << ": " << result.command.problem;
        EXPECT_EQ(result.consumed, c.consumed == 0 ? c.bytes.size() : c.consumed) << c.what;
    }
    // Without the idle verdict a too-large count just waits for the rest.
    EXPECT_EQ(ScanIncoming(longCount, false).state, ScanState::Incomplete);
}

TEST(EmulatorScan, DropsStrayBytesUpToTheNextCommand) {
    const std::string stream = "xyz\x0c\x01@QN";
    ScanResult stray = ScanIncoming(stream, false);
    EXPECT_EQ(stray.state, ScanState::Garbage);
    EXPECT_EQ(stray.consumed, 5u);  // keeps "@QN", which may start a command

    ScanResult line = ScanIncoming("@QNL JOB START\r\n@QNL INQUIRE NAME\r\n", false);
    EXPECT_EQ(line.state, ScanState::Garbage);
    EXPECT_EQ(line.consumed, 16u);
    EXPECT_NE(line.command.problem.find("@QNL JOB START"), std::string::npos);

    ScanResult noGs = ScanIncoming("@QNL ENTER LANGUAGE=RCC\r\nU16;0;8;0}00010000\x1b\x01", false);
    EXPECT_EQ(noGs.state, ScanState::Garbage);
    EXPECT_EQ(noGs.consumed, kLanguageSwitch.size());
}

TEST(EmulatorFrameCheck, AcceptsWellFormedFramesAndNamesTheFault) {
    EXPECT_EQ(CheckWrittenFrame(kSpeedDialRequest + '\0'), "");
    EXPECT_EQ(CheckWrittenFrame(Raw({0xC0, 0x62, 0x00, 0x00})), "");
    EXPECT_EQ(CheckWrittenFrame(Raw({0x40, 0x7D, 0x00, 0x03, 0x60, 0x01, 0x05, 0x00})), "");

    EXPECT_NE(CheckWrittenFrame(kSpeedDialRequest).find("not padded"), std::string::npos);
    EXPECT_NE(CheckWrittenFrame(kSpeedDialRequest + '\x07').find("pad byte"), std::string::npos);
    EXPECT_NE(CheckWrittenFrame(Raw({0xC0, 0x7C, 0x00, 0x07, 0x00, 0x03, 0x60, 0x01, 0x00, 0}))
                  .find("F_LEN 7 does not match"),
              std::string::npos);
    // SIZE says 2, but the frame ends after 1 value byte.
    EXPECT_NE(CheckWrittenFrame(Raw({0xC0, 0x7C, 0x00, 0x05, 0x00, 0x03, 0x60, 0x02, 0x00, 0}))
                  .find("runs past F_LEN"),
              std::string::npos);
    EXPECT_NE(CheckWrittenFrame(Raw({0xC7, 0x7C, 0x00, 0x00})).find("JTYPE"), std::string::npos);
    std::string tooLong = Raw({0xC0, 0x7D, 0x00, 224, 0x00, 222});
    tooLong += Raw({0x66, 220}) + std::string(220, 'a');
    EXPECT_NE(CheckWrittenFrame(tooLong).find("above 223"), std::string::npos);
}

}  // namespace
}  // namespace dialvane::emu
