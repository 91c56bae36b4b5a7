#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "protocol/ExchangeEngine.h"

namespace dialvane {

// The receive thread: runs for the program's lifetime, polls the channel and lets the engine
// classify what arrived. It waits on the channel rather than sleeping, so an answer is handled
// the moment it arrives; with nothing arriving it wakes every POLINGRATE milliseconds.
class RcvMsgThread {
  public:
    explicit RcvMsgThread(ExchangeEngine& engine);
    ~RcvMsgThread();
    RcvMsgThread(const RcvMsgThread&) = delete;
    RcvMsgThread& operator=(const RcvMsgThread&) = delete;

    void Start();
    // Asks the thread to end, wakes it and waits for it.
    void Stop();
    bool Running() const { return thread_.joinable(); }

  private:
    void Run();

    ExchangeEngine& engine_;
    std::thread thread_;
    std::atomic<bool> terminate_{false};
    std::mutex idleMutex_;
    std::condition_variable idle_;
};

}  // namespace dialvane
