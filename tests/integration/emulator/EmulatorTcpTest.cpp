#include <gtest/gtest.h>

#include <memory>

#include "MfpEmulator.h"
#include "TestClient.h"
#include "data/DialFileLoader.h"
#include "data/ProductInfo.h"
#include "protocol/Answer.h"
#include "protocol/Frame.h"
#include "support/DescribeModel.h"
#include "support/LoopbackAddress.h"
#include "support/TempDir.h"

namespace dialvane {
namespace {

using testing::AckText;
using testing::FrameWrite;
using testing::Raw;
using testing::TestClient;
using testing::Tool;

constexpr auto kGuard = std::chrono::seconds(10);
const std::string kSample = DIALVANE_SOURCE_DIR "/samples/sample-dial-list.csv";
const std::string kSettings = DIALVANE_SOURCE_DIR "/config/dialvane.ini";
const std::string kSpeedDialInfo = Raw({0xC0, 0x7C, 0x00, 0x05, 0x00, 0x03, 0x60, 0x01, 0x00});

class EmulatorTcp : public ::testing::Test {
  protected:
    // Each test its own loopback address, so tests may run in parallel.
    void Start(int host, MfpEmulatorOptions options = {}) {
        options.address = testing::LoopbackAddress(host);
        emulator = std::make_unique<MfpEmulator>(options);
        std::string error;
        ASSERT_TRUE(emulator->Start(&error)) << error;
        ASSERT_TRUE(client.Connect(options.address));
    }

    std::string Exchange(const std::string& bytes) {
        client.Send(bytes);
        return client.ReadBlock();
    }

    void Occupy() { ASSERT_EQ(Exchange(Tool("0001")), AckText("0000")); }

    std::unique_ptr<MfpEmulator> emulator;
    TestClient client;
};

// That a loaded list is dumped unchanged is shown by every download compared with the dump.
TEST(Emulator, LoadRefusesWhatTheModelCannotHoldAndCutsALongSenderToFit) {
    MfpEmulatorOptions options;
    options.settingsPath = kSettings;
    testing::TempDir dir;
    std::string error;
    TProductInfo product(kSettings);
    product.Load("DX-R7700");
    DialModel original;
    DialModel dumped;
    ASSERT_TRUE(LoadDialFile(kSample, original, product).ok());

    // A file the emulated model cannot hold is refused and leaves the list as it was.
    options.extendedFormat = false;
    MfpEmulator small(options);
    EXPECT_FALSE(small.LoadUserFile(kSample, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(small.StoredCount('S'), 0);

    // A device with the short sender field keeps the 16 characters of the sample's sender name
    // that fit, and everything else.
    options.extendedFormat = true;
    options.longSenderSupported = false;
    MfpEmulator shortSender(options);
    ASSERT_TRUE(shortSender.LoadUserFile(kSample, &error)) << error;
    ASSERT_TRUE(shortSender.DumpUserFile(dir.File("short.csv"), &error)) << error;
    ASSERT_TRUE(LoadDialFile(dir.File("short.csv"), dumped, product).ok());
    EXPECT_EQ(dumped.senderName, "ORVEX Sales Toky");
    dumped.senderName = original.senderName;
    EXPECT_EQ(testing::Describe(original), testing::Describe(dumped));
}

// What a faulty program does is refused and recorded, so a transfer test that finds no problem
// shows the program did none of it.
TEST_F(EmulatorTcp, FaultyCommandsAreRefusedAndRecorded) {
    MfpEmulatorOptions shortSender;
    shortSender.longSenderSupported = false;
    Start(105, shortSender);
    std::string badChecksum = Tool("0000");
    badChecksum.replace(badChecksum.rfind(';') + 1, 3, "386");
    EXPECT_EQ(Exchange(badChecksum), AckText("00F9"));
    EXPECT_EQ(Exchange(FrameWrite(kSpeedDialInfo)), AckText("00FA"));  // not occupied
    Occupy();
    EXPECT_EQ(Exchange(FrameWrite(Raw({0x40, 0x7D, 0x00, 0x03, 0x60, 0x01, 0x05}))),
              AckText("00F9"));
    // The capability answer, read once; a second read finds nothing waiting. The device says
    // it has no long sender field.
    EXPECT_EQ(Exchange(FrameWrite(Raw({0xC0, 0x1F, 0, 8, 0, 6, 0xB2, 1, 0x14, 0xB3, 1, 0}))),
              AckText("0000"));
    const AnswerClassification answer = ClassifyAnswer(Exchange(Tool("0004")), "0001");
    ASSERT_EQ(answer.status, ResponseStatus::QNL_RES);
    const FrameParseResult capability = ParseFrame(answer.frame.value_or(Bytes{}));
    ASSERT_TRUE(capability.ok());
    ASSERT_EQ(capability.frame.params.size(), 1u);
    EXPECT_EQ(capability.frame.params[0].pid, 0xB2);
    EXPECT_NE(capability.frame.params[0].value, Bytes{20});
    EXPECT_EQ(Exchange(Tool("0004")), AckText("00FB"));

    const auto problems = emulator->Problems();
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_NE(problems[0].find("checksum 386"), std::string::npos);
    EXPECT_NE(problems[1].find("not occupied"), std::string::npos);
    EXPECT_NE(problems[2].find("without a first frame"), std::string::npos);
}

// The transfer tests count on busy answers that come in one write with the real one.
TEST_F(EmulatorTcp, BusyNacksAndTheAnswerInOneWrite) {
    Start(106);
    Occupy();
    EmulatorFaults faults;
    faults.busy = CommandMatch::Nth(1, ToolCommand::FrameWrite);
    faults.busyNacks = 2;
    faults.busyAndAnswerInOneWrite = true;
    emulator->SetFaults(faults);
    client.Send(FrameWrite(kSpeedDialInfo));
    for (const char* result : {"00FC", "00FC", "0000"}) {
        EXPECT_EQ(client.ReadBlock(), AckText(result));
    }
    EXPECT_EQ(client.LastChunk(), 3 * AckText("0000").size());
    EXPECT_EQ(emulator->Counters().frameWrites, 1);

    faults = {};
    faults.nopResult = 0xFD;
    emulator->SetFaults(faults);
    EXPECT_EQ(Exchange(Tool("0000")), AckText("00FD"));
}

TEST_F(EmulatorTcp, StopEndsADelayedAnswerAtOnce) {
    Start(110);
    EmulatorFaults faults;
    faults.answerDelayMs = 600000;
    emulator->SetFaults(faults);
    client.Send(Tool("0000"));
    ASSERT_TRUE(emulator->WaitForCommands(1, kGuard));
    emulator->Stop();
    EXPECT_FALSE(emulator->Running());
    EXPECT_TRUE(client.PeerClosed());
    EXPECT_EQ(emulator->Counters().disconnects, 1);
}

}  // namespace
}  // namespace dialvane
