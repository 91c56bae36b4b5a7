#include "comm/RcvMsgThread.h"

#include <algorithm>
#include <chrono>

#include "support/DiagnosticLog.h"

namespace dialvane {

RcvMsgThread::RcvMsgThread(ExchangeEngine& engine) : engine_(engine) {}

RcvMsgThread::~RcvMsgThread() {
    Stop();
}

void RcvMsgThread::Start() {
    if (thread_.joinable()) {
        return;
    }
    terminate_ = false;
    thread_ = std::thread([this] { Run(); });
}

void RcvMsgThread::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    {
        std::lock_guard lock(idleMutex_);
        terminate_ = true;
    }
    idle_.notify_all();
    if (IDeviceChannel* channel = engine_.Channel(); channel != nullptr) {
        channel->Wake();
    }
    thread_.join();
}

void RcvMsgThread::Run() {
    const ScopedLogTag tag(engine_.Settings().logTag);
    // A rate that is not a positive number would make the thread spin.
    const int rate = std::max(1, engine_.Settings().env.polingRate);
    while (!terminate_) {
        IDeviceChannel* channel = engine_.Channel();
        if (channel != nullptr) {
            channel->Poll(rate);
        } else {
            std::unique_lock lock(idleMutex_);
            idle_.wait_for(lock, std::chrono::milliseconds(rate),
                           [this] { return terminate_.load(); });
        }
        if (terminate_) {
            break;
        }
        engine_.AfterPoll();
    }
}

}  // namespace dialvane
