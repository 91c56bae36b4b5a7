#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>

#include "StopSignals.h"

namespace dialvane {
namespace {

// Ctrl-C reaches the installed handler; a second handler is refused while the first lives, and
// once it is gone a new one takes the signal.
TEST(StopSignals, OneAtATimeAndTheSignalReachesIt) {
    std::mutex mutex;
    std::condition_variable arrived;
    int stops = 0;
    auto onStop = [&] {
        std::lock_guard lock(mutex);
        ++stops;
        arrived.notify_all();
    };
    auto waitForStops = [&](int count) {
        std::unique_lock lock(mutex);
        return arrived.wait_for(lock, std::chrono::seconds(10), [&] { return stops >= count; });
    };
    {
        StopSignals first(onStop);
        EXPECT_THROW(StopSignals second(onStop), std::logic_error);
        ASSERT_EQ(raise(SIGINT), 0);
        ASSERT_TRUE(waitForStops(1)) << "the first handler never saw SIGINT";
        EXPECT_TRUE(first.Signalled());
    }
    StopSignals again(onStop);
    ASSERT_EQ(raise(SIGTERM), 0);
    ASSERT_TRUE(waitForStops(2)) << "the handler installed after the first never saw SIGTERM";
}

}  // namespace
}  // namespace dialvane
