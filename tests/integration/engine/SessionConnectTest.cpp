// A session's connect to the MFP: the window and the command line see what the core reports,
// a host name reaches the device, and a stop request ends a connect that gets no answer.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netdb.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "comm/DeviceSession.h"
#include "data/ProductInfo.h"
#include "support/DiagnosticLog.h"
#include "support/LoopbackListeners.h"
#include "support/ScriptedPrompt.h"
#include "support/ServedMfp.h"
#include "support/SessionSettings.h"

namespace dialvane {
namespace {

class SessionConnect : public ::testing::Test {
  protected:
    SessionConnect() {
        dir_.Write("dialvane.ini",
                   "[DX-R7700]\nFaxType=1\n[FaxType1]\nSpeedDial=200\nQuickDial=12\n"
                   "SpeedDialKeyword=1\n");
    }

    RunResult Download(DeviceSession& session) {
        TProductInfo product(dir_.File("dialvane.ini"));
        RecordTable table(product);
        return session.Download(table, product, dir_.File("list.csv"));
    }

    testing::TempDir dir_;
};

// The one test that waits out the connect timeout.
TEST_F(SessionConnect, NoAnswerEndsAfterTenSecondsUnlessStopped) {
    const testing::SilentListener silent(testing::LoopbackAddress(124));
    ASSERT_TRUE(silent.Ready());
    testing::ScriptedPrompt prompt;
    DeviceSession session(testing::SessionSettingsIn(dir_, "s"));
    session.UseNetwork(testing::LoopbackAddress(124));
    session.SetPrompt(&prompt);

    const RunResult waited = Download(session);
    EXPECT_FALSE(waited.success || waited.stopped);
    const std::string expected =
        "Check the cables, power supply, and IP address. (no answer within 10 s)";
    EXPECT_EQ(session.Engine().lastFailureText, expected);
    ASSERT_FALSE(prompt.Requests().empty());
    EXPECT_EQ(prompt.Requests().front().text, expected);

    std::atomic<bool> done{false};
    RunResult stopped;
    std::thread run([&] {
        stopped = Download(session);
        done = true;
    });
    while (!session.Network().Connecting() && !done) {
        std::this_thread::yield();
    }
    const auto asked = std::chrono::steady_clock::now();
    session.RequestStop();
    run.join();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(5));
    EXPECT_TRUE(stopped.stopped);
    EXPECT_FALSE(stopped.success);
    EXPECT_EQ(session.Engine().lastFailureText, "Transmission stopped.");
}

TEST_F(SessionConnect, AHostNameReachesTheDevice) {
    MfpEmulatorOptions options;
    options.settingsPath = dir_.File("dialvane.ini");
    const testing::ServedMfp device(dir_, 125, {}, options);

    DeviceSessionSettings settings = testing::SessionSettingsIn(dir_, "s");
    settings.resolver = [address = device.Address()](const std::string& name) {
        in_addr found{};
        inet_pton(AF_INET, address.c_str(), &found);
        return name == "mfp.front-desk.example" ? HostLookup{found.s_addr, 0}
                                                : HostLookup{std::nullopt, EAI_NONAME};
    };
    DeviceSession session(settings);
    session.UseNetwork("mfp.front-desk.example");
    TProductInfo product(dir_.File("dialvane.ini"));
    EXPECT_EQ(session.Inquire(product).channelTestResult, 0);
    EXPECT_EQ(product.ModelName(), "DX-R7700");

    // The diagnostic log carries the same text.
    LogInit(dir_.Path(), dir_.Write("log-on.ini", "[LOG_LEVEL]\nDEFAULT=1\n"), QnlEnvRecord{}, 0,
            0);
    session.UseNetwork("mfp.back-office.example");
    EXPECT_NE(session.Inquire(product).channelTestResult, 0);
    const std::string expected =
        "Check the cables, power supply, and IP address. (host name not found)";
    EXPECT_EQ(session.Engine().lastFailureText, expected);
    EXPECT_NE(dir_.Read(kLogFileName).find(expected), std::string::npos);
    LogInit(dir_.Path(), dir_.File("none.ini"), QnlEnvRecord{}, 0, 0);
}

}  // namespace
}  // namespace dialvane
