// Whole transfers over real TCP against the emulated MFP. Every test serves its emulator on an
// address of its own (127.0.0.10 ...), so the tests can run in parallel.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "EngineRig.h"
#include "support/FileUtil.h"
#include "support/FullDialList.h"

namespace dialvane {
namespace {

namespace fs = std::filesystem;
using testing::kExtendedModel;
using testing::kOddModel;
using testing::kOneTouchModel;
using testing::Rig;

// A one-touch model's list: 60 speed dials without keywords, groups, three buttons.
std::string OneTouchList() {
    std::string text;
    for (int n = 1; n <= 60; ++n) {
        text += "S" + std::to_string(n) + ",Office " + std::to_string(n) + ",06-" +
                std::to_string(1000 + n) + ",\r\n";
    }
    text += "G1,Sales,S1,S9,S60\r\nG2,Night,S2\r\nW1,S5\r\nW2,G2\r\nW3,S60\r\nN,Branch\r\n";
    return text;
}

// One completion message, with this text, and the fax free once the emulated MFP has seen
// every connection end (a dropped connection frees it only then).
void ExpectCompletion(const Rig& rig, const std::string& text) {
    const auto completions = rig.Completions();
    ASSERT_EQ(completions.size(), 1u);
    EXPECT_EQ(completions[0].text, text);
    ASSERT_TRUE(rig.device->WaitForDisconnects(rig.device->Counters().connections,
                                               std::chrono::seconds(20)))
        << "the emulated MFP never saw the connection end";
    EXPECT_FALSE(rig.device->Occupied());
}

// A wait clock that runs out the wait the moment the device's last command is the one it
// keeps silent on: each reading then moves it on by a whole timeout.
std::function<std::chrono::steady_clock::time_point()> RunsOutWhenSilentOn(
    const MfpEmulator* const& device, ToolCommand command, int mid, int timeoutMs) {
    return [&device, command, mid, timeoutMs, ahead = std::chrono::milliseconds(0)]() mutable {
        const auto transcript = device->Transcript();
        if (!transcript.empty() && transcript.back().command == static_cast<int>(command) &&
            transcript.back().mid == mid) {
            ahead += std::chrono::milliseconds(timeoutMs);
        }
        return std::chrono::steady_clock::now() + ahead;
    };
}

TEST(EngineTransfer, FullExtendedListRoundTripsByteForByteWithVerify) {
    Rig rig(10, kExtendedModel, true, [](EngineSettings& s) { s.verify = true; });
    const std::string sent = rig.PrepareUpload(testing::FullDialList());

    const RunResult upload = rig.Run(RunMode::Upload);
    EXPECT_TRUE(upload.success) << upload.completionText;
    ExpectCompletion(rig,
                     "Upload completed.\r\nRead back and verified: 200 speed dials, 20 groups, "
                     "12 buttons, sender name.");
    EXPECT_TRUE(rig.Failures().empty());
    EXPECT_EQ(rig.device.Dump(), sent);
    EXPECT_EQ(rig.device->Counters().occupyEnds, 1);

    const RunResult download = rig.Run(RunMode::Download);
    EXPECT_TRUE(download.success) << download.completionText;
    EXPECT_EQ(rig.dir.Read("download.csv"), sent);
    EXPECT_EQ(rig.device->Counters().occupyEnds, 2);
    EXPECT_TRUE(rig.device->Problems().empty()) << rig.device->Problems().front();
}

// An empty sender replaces the device's one and verifies; a send file that no longer matches
// what went to the device fails the verify.
TEST(EngineTransfer, VerifyComparesWhatIsReadBackWithTheSendFile) {
    Rig rig(26, kOneTouchModel, false, [](EngineSettings& s) { s.verify = true; });
    rig.Seed(OneTouchList());
    std::string list = OneTouchList();
    list.replace(list.find("N,Branch"), 8, "N,");
    const std::string sent = rig.PrepareUpload(list);
    const RunResult upload = rig.Run(RunMode::Upload);
    EXPECT_TRUE(upload.success) << upload.completionText;
    EXPECT_EQ(rig.device.Dump(), sent);

    WriteFileAtomic(rig.Path("MFP_VERIFY.TMP"), "S1,Other,1,\r\n");
    EXPECT_FALSE(rig.Run(RunMode::Upload).success);
    ASSERT_EQ(rig.Completions().size(), 2u);
    EXPECT_EQ(rig.Completions()[1].text, "Upload failed.\r\n( Verifying failure )");
    EXPECT_EQ(rig.device->Counters().occupyEnds, 2);
}

TEST(EngineTransfer, BusyAnswersAreWaitedOutWithoutResending) {
    Rig rig(13, kOneTouchModel, false);
    rig.Seed(OneTouchList());
    EmulatorFaults faults;
    faults.busyOccupyStarts = 2;
    faults.busy = CommandMatch::Every(ToolCommand::FrameWrite, 0x7C);
    faults.busyNacks = 2;
    // The busy answers and the real answer reach the program in one piece.
    faults.busyAndAnswerInOneWrite = true;
    rig.device->SetFaults(faults);

    const RunResult result = rig.Run(RunMode::Download);
    EXPECT_TRUE(result.success) << result.completionText;
    ExpectCompletion(rig, "Download completed.");
    EXPECT_EQ(rig.device->Counters().occupyStarts, 3);
    EXPECT_EQ(rig.Commands(ToolCommand::FrameWrite, 0x7C), 1);
    EXPECT_EQ(rig.dir.Read("download.csv"), rig.device.Dump());
}

// A device that fails the run: the one completion and failure box, the fax released while the
// connection stands, no list file and nothing registered after the failing step.
TEST(EngineTransfer, DeviceFailuresEndTheRunAndReleaseTheFax) {
    struct Case {
        int host;
        RunMode mode;
        EmulatorFaults faults;
        std::string completion, failure;
        int occupyEnds;
    };
    const std::string downloadFailed =
        "Download failed.\r\n( Transmission stopped. by device error. )";
    EmulatorFaults busy;
    busy.busy = CommandMatch::Every(ToolCommand::FrameRead, 0x79);
    busy.busyNacks = 3;  // as many as NACK_RETRY_COUNT
    EmulatorFaults silent;
    silent.silence = CommandMatch::Nth(1, ToolCommand::FrameRead, 0x76);
    EmulatorFaults drop;
    drop.disconnect = CommandMatch::Nth(3, ToolCommand::FrameWrite, 0x7D);
    EmulatorFaults refused;
    refused.stopCause[0x7D] = 0x05;
    const Case cases[] = {
        {14, RunMode::Download, busy, downloadFailed, "Fax is BUSY", 1},
        {16, RunMode::Download, silent, downloadFailed, "No response to command.", 1},
        // The connection is gone: the release cannot be sent.
        {17, RunMode::Upload, drop, "Upload failed.\r\n( Transmission stopped. by device error. )",
         "Disconnected Network.", 0},
        {18, RunMode::Upload, refused,
         "Upload failed.\r\n( Parameter ErrorSpeed Dial Registration Request\u3000PID( 0F ) = 05 )",
         "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.completion + " " + c.failure);
        const MfpEmulator* device = nullptr;
        Rig rig(c.host, kOneTouchModel, false, [&](EngineSettings& s) {
            if (c.faults.silence.Enabled()) {
                s.waitClock =
                    RunsOutWhenSilentOn(device, ToolCommand::FrameRead, 0x76, s.env.timeout);
            }
        });
        device = &*rig.device;
        rig.Seed(OneTouchList());
        rig.PrepareUpload(OneTouchList());
        rig.device->SetFaults(c.faults);
        EXPECT_FALSE(rig.Run(c.mode).success);
        ExpectCompletion(rig, c.completion);
        if (!c.failure.empty()) {
            const auto failures = rig.Failures();
            ASSERT_EQ(failures.size(), 1u);
            EXPECT_EQ(failures[0].text, c.failure);
        }
        EXPECT_EQ(rig.device->Counters().occupyEnds, c.occupyEnds);
        EXPECT_FALSE(rig.tcp.Connected());
        EXPECT_FALSE(fs::exists(rig.Path("download.csv")));
        EXPECT_EQ(rig.Commands(ToolCommand::FrameWrite, 0x7A), 0);
    }

    // No device at all: no occupy, only the failed connect.
    Rig rig(23, kOneTouchModel, false);
    rig.device->Stop();
    EXPECT_FALSE(rig.Run(RunMode::Download).success);
    ExpectCompletion(rig, "Transmission stopped. by device error.");
    ASSERT_EQ(rig.Failures().size(), 1u);
    EXPECT_EQ(rig.Failures()[0].text,
              "Check the cables, power supply, and IP address. (connection refused)");
}

TEST(EngineTransfer, StopCauseInTheParameterAnswerSkipsTheCapabilityStep) {
    Rig rig(19, kExtendedModel, true);
    rig.Seed(testing::FullDialList());
    EmulatorFaults faults;
    faults.stopCause[0x21] = 0x01;
    rig.device->SetFaults(faults);

    const RunResult result = rig.Run(RunMode::Download);
    EXPECT_TRUE(result.success) << result.completionText;
    EXPECT_EQ(rig.Commands(ToolCommand::FrameWrite, 0x1F), 0);
    // Still the extended layout: the full list's keywords and high numbers arrive intact.
    EXPECT_EQ(rig.dir.Read("download.csv"), rig.device.Dump());
}

TEST(EngineTransfer, HighSpeedDialToAOneTouchModelStopsBeforeAnyCancellation) {
    Rig rig(20, kOddModel, false);
    rig.Seed(OneTouchList());
    rig.PrepareUpload("S75,Far,123,\r\nN,Branch\r\n");

    const RunResult result = rig.Run(RunMode::Upload);
    EXPECT_FALSE(result.success);
    ExpectCompletion(rig, "Product is not compatible, cannot register speed dial 61 to 200.");
    for (int mid : {0x7E, 0x7B, 0x78, 0x7D}) {
        EXPECT_EQ(rig.Commands(ToolCommand::FrameWrite, mid), 0) << mid;
    }
    EXPECT_EQ(rig.device->StoredCount('S'), 60);
    EXPECT_EQ(rig.device->Counters().occupyEnds, 1);
}

}  // namespace
}  // namespace dialvane
