#include "support/StopSignal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace dialvane {

StopSignal::StopSignal() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

StopSignal::~StopSignal() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void StopSignal::Raise() {
    std::lock_guard lock(mutex_);
    if (raised_) {
        return;
    }
    raised_ = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = write(fd_, &one, sizeof(one));
}

void StopSignal::Clear() {
    std::lock_guard lock(mutex_);
    if (!raised_) {
        return;
    }
    raised_ = false;
    std::uint64_t drained = 0;
    [[maybe_unused]] const ssize_t ignored = read(fd_, &drained, sizeof(drained));
}

bool StopSignal::Raised() const {
    std::lock_guard lock(mutex_);
    return raised_;
}

}  // namespace dialvane
