// The connect to the device: the cause of each failure, host names, and stopping a lookup.
#include <gtest/gtest.h>
#include <netdb.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "support/AcceptingListener.h"
#include "support/LoopbackAddress.h"
#include "support/LoopbackListeners.h"
#include "support/StopSignal.h"
#include "transport/TcpTransport.h"

namespace dialvane {
namespace {

// Opens and returns why it failed.
ChannelOpenFailure OpenFailure(TcpTransport& transport) {
    EXPECT_FALSE(transport.Open());
    EXPECT_FALSE(transport.Connected());
    return transport.OpenFailure().value_or(ChannelOpenFailure{.message = Msg::AppTitle});
}

// A refused connect is shown through a whole session.
TEST(TcpConnect, EachFailureNamesItsCause) {
    const testing::SilentListener silent(testing::LoopbackAddress(121));
    ASSERT_TRUE(silent.Ready());
    TcpTransport transport;
    transport.SetAddresses({testing::LoopbackAddress(121)});
    transport.SetConnectTimeout(300);
    const ChannelOpenFailure silence = OpenFailure(transport);
    EXPECT_EQ(silence.message, Msg::CommCheckCables);
    EXPECT_EQ(silence.cause, "no answer within 1 s");
    EXPECT_TRUE(silence.timedOut);
    EXPECT_FALSE(silence.stopped);

    int lookups = 0;
    transport.SetResolver([&lookups](const std::string&) {
        ++lookups;
        return HostLookup{std::nullopt, EAI_NONAME};
    });
    for (const char* name : {"no..such.host", "mfp-lobby", "not an address"}) {
        transport.SetAddresses({name});
        const ChannelOpenFailure unknown = OpenFailure(transport);
        EXPECT_EQ(unknown.cause, "host name not found") << name;
        EXPECT_EQ(unknown.message, Msg::CommCheckCables);
    }
    for (const char* address : {"::1", "[fe80::1]"}) {
        transport.SetAddresses({address});
        EXPECT_EQ(OpenFailure(transport).cause,
                  "an IPv6 address; the MFP is reached by its IPv4 address or host name");
    }
    // What cannot be a host name never reaches a name server.
    EXPECT_EQ(lookups, 1);

    for (const int error : {ENETUNREACH, EHOSTUNREACH}) {
        EXPECT_EQ(ConnectCauseText(CauseOfConnectError(error), error, 10000),
                  "network unreachable");
    }
    EXPECT_EQ(ConnectCauseText(CauseOfConnectError(EACCES), EACCES, 10000), "Permission denied");
}

TEST(TcpConnect, AHostNameIsLookedUpOnceAndADottedAddressNever) {
    const std::string address = testing::LoopbackAddress(122);
    const testing::AcceptingListener listener(address);
    ASSERT_TRUE(listener.Ready());

    std::vector<std::string> asked;
    TcpTransport transport;
    transport.SetResolver([&](const std::string& name) {
        asked.push_back(name);
        return HostLookup{testing::LoopbackIpv4(122), 0};
    });
    transport.SetAddresses({"front-desk.mfp.example"});
    for (int connect = 0; connect < 2; ++connect) {
        ASSERT_TRUE(transport.Open());
        transport.Close();
    }
    transport.SetAddresses({address});
    ASSERT_TRUE(transport.Open());
    transport.Close();
    EXPECT_EQ(asked, std::vector<std::string>{"front-desk.mfp.example"});
}

// A stop during the connect itself is shown through a whole session.
TEST(TcpConnect, AStopEndsTheNameLookupAtOnce) {
    StopSignal stop;
    TcpTransport transport;
    transport.SetStopFd(stop.Fd());
    transport.SetConnectTimeout(20000);
    transport.SetAddresses({"mfp.example"});
    // A lookup that tells the test it started, then hangs until the test ends.
    auto release = std::make_shared<std::promise<void>>();
    std::shared_future<void> released = release->get_future().share();
    auto started = std::make_shared<std::promise<void>>();
    std::future<void> lookupStarted = started->get_future();
    auto lookups = std::make_shared<std::atomic<int>>(0);
    transport.SetResolver([released, lookups, started](const std::string&) {
        if (++*lookups == 1) {
            started->set_value();
        }
        released.wait();
        return HostLookup{std::nullopt, EAI_AGAIN};
    });

    stop.Raise();
    EXPECT_TRUE(OpenFailure(transport).stopped);
    EXPECT_EQ(*lookups, 0);
    stop.Clear();

    ChannelOpenFailure duringLookup{Msg::AppTitle};
    std::thread opener([&] { duringLookup = OpenFailure(transport); });
    const bool looking =
        lookupStarted.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    stop.Raise();
    opener.join();
    release->set_value();
    ASSERT_TRUE(looking) << "the open never started the name lookup";
    EXPECT_TRUE(duringLookup.stopped);
    EXPECT_TRUE(duringLookup.cause.empty());
}

}  // namespace
}  // namespace dialvane
