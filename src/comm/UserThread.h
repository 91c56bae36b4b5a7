#pragma once

#include <functional>
#include <thread>

#include "comm/DeviceRun.h"

namespace dialvane {

// The worker thread of one run: Start() carries the run out on a thread of its own, Execute()
// on the calling one.
class UThread {
  public:
    UThread(ExchangeEngine& engine, RunRequest request) : run_(engine, std::move(request)) {}
    ~UThread();
    UThread(const UThread&) = delete;
    UThread& operator=(const UThread&) = delete;

    // `onEnd` runs on the worker thread once the run is over (the end handler's work is done).
    void Start(std::function<void(const RunResult&)> onEnd = {});
    void Join();
    bool Joinable() const { return thread_.joinable(); }
    void Execute() { run_.Execute(); }
    // Program close: the run stops at its next wait (after the stop question) and ends.
    void Terminate() { run_.Terminate(); }

    const RunResult& Result() const { return run_.Result(); }

  private:
    DeviceRun run_;
    std::thread thread_;
};

}  // namespace dialvane
