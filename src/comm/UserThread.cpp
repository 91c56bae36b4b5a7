#include "comm/UserThread.h"

namespace dialvane {

UThread::~UThread() {
    Join();
}

void UThread::Start(std::function<void(const RunResult&)> onEnd) {
    thread_ = std::thread([this, onEnd = std::move(onEnd)] {
        run_.Execute();
        if (onEnd) {
            onEnd(run_.Result());
        }
    });
}

void UThread::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace dialvane
