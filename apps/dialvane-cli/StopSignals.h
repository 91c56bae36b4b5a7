#pragma once

#include <signal.h>

#include <atomic>
#include <functional>
#include <thread>

namespace dialvane {

// Turns Ctrl-C (and SIGTERM) into `onStop`, called on a thread of its own: the signal handler
// only writes to a pipe. One at a time per process (a second one throws std::logic_error); the
// previous handlers come back with its end.
class StopSignals {
  public:
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Whether a stop signal arrived.
    bool Signalled() const { return signalled_; }

  private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
    std::thread watcher_;
    std::atomic<bool> signalled_{false};
};

}  // namespace dialvane
