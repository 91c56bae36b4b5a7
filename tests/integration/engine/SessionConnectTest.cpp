// A session's connect to the MFP: the window and the command line see what the core reports,
// and a stop request ends a connect to a looked-up name that gets no answer. Why a connect
// failed is named in TcpConnect.EachFailureNamesItsCause and reaches the user in
// CliTransfer.TestNamesTheModelOrTheCause; the looked-up address is the one connected to in
// TcpConnect.AHostNameIsLookedUpOnceAndADottedAddressNever. An upload whose send file cannot be
// written never connects.
#include <gtest/gtest.h>
#include <netdb.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "comm/DeviceSession.h"
#include "data/ProductInfo.h"
#include "support/GlobalScopes.h"
#include "support/LoopbackAddress.h"
#include "support/LoopbackListeners.h"
#include "support/ScriptedPrompt.h"
#include "support/ServedMfp.h"
#include "support/SessionSettings.h"
#include "support/TempDir.h"

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
    const testing::LogScope log(dir_.Path(), dir_.Write("log-on.ini", "[LOG_LEVEL]\nDEFAULT=1\n"));

    const RunResult waited = Download(session);
    EXPECT_FALSE(waited.success || waited.stopped);
    const std::string expected =
        "Check the cables, power supply, and IP address. (no answer within 10 s)";
    EXPECT_EQ(session.LastFailureText(), expected);
    ASSERT_FALSE(prompt.Requests().empty());
    EXPECT_EQ(prompt.Requests().front().text, expected);
    EXPECT_NE(dir_.Read(kLogFileName).find(expected), std::string::npos) << "not in the log";

    // Only the stop can end this connect: its timeout is out of reach. The connect starts
    // right after the lookup of the name, which tells the test so.
    auto looked = std::make_shared<std::promise<void>>();
    std::future<void> lookedUp = looked->get_future();
    DeviceSessionSettings settings = testing::SessionSettingsIn(dir_, "t");
    settings.connectTimeoutMs = 600000;
    settings.resolver = [looked, address = testing::LoopbackIpv4(124),
                         once = std::make_shared<std::once_flag>()](const std::string&) {
        std::call_once(*once, [&] { looked->set_value(); });
        return HostLookup{address, 0};
    };
    DeviceSession unanswered(std::move(settings));
    unanswered.UseNetwork("mfp.silent.example");
    unanswered.SetPrompt(&prompt);
    RunResult stopped;
    std::thread run([&] { stopped = Download(unanswered); });
    const bool connecting =
        lookedUp.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    unanswered.RequestStop();
    run.join();
    ASSERT_TRUE(connecting) << "the download never looked the name up";
    EXPECT_TRUE(stopped.stopped);
    EXPECT_FALSE(stopped.success);
    EXPECT_EQ(unanswered.LastFailureText(), "Transmission stopped.");
}

// A mistyped address or one with a port is refused before any lookup: the command line says
// so up front, and a session never hands it to the resolver either.
TEST_F(SessionConnect, MistypedAddressesNeverReachTheResolver) {
    std::atomic<int> lookups{0};
    DeviceSessionSettings settings = testing::SessionSettingsIn(dir_, "s");
    settings.resolver = [&lookups](const std::string&) {
        ++lookups;
        return HostLookup{std::nullopt, EAI_NONAME};
    };
    DeviceSession session(settings);
    TProductInfo product(dir_.File("dialvane.ini"));
    for (const std::string host : {"127.0.0.999", "127.0.0.1:9100"}) {
        SCOPED_TRACE(host);
        session.UseNetwork(host);
        EXPECT_NE(session.Inquire(product).channelTestResult, 0);
    }
    EXPECT_EQ(lookups, 0);
}

// The send file is written before the connect: when it cannot be, the MFP never hears of it.
TEST_F(SessionConnect, UploadWhoseSendFileCannotBeWrittenNeverContactsTheMfp) {
    MfpEmulatorOptions options;
    options.settingsPath = dir_.File("dialvane.ini");
    const testing::ServedMfp device(dir_, 232, "S1,Office,0101,\r\n", options);
    DeviceSessionSettings settings = testing::SessionSettingsIn(dir_, "x");
    settings.sendFile = dir_.File("missing-folder/send.tmp");
    DeviceSession session(settings);
    session.UseNetwork(device.Address());
    TProductInfo product(dir_.File("dialvane.ini"));
    product.Load("DX-R7700");
    RecordTable table(product);

    std::string error;
    EXPECT_FALSE(session.Upload(table, product, &error).success);
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(device->Transcript().empty());
}

}  // namespace
}  // namespace dialvane
