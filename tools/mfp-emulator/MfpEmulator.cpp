#include "MfpEmulatorImpl.h"

namespace dialvane {

std::vector<ReceivedCommand> MfpEmulator::Transcript() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->transcript;
}

std::vector<std::string> MfpEmulator::Problems() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->problems;
}

EmulatorCounters MfpEmulator::Counters() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->counters;
}

bool MfpEmulator::Occupied() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->occupied;
}

void MfpEmulator::ClearTranscript() {
    std::lock_guard lock(impl_->mutex);
    impl_->transcript.clear();
    impl_->problems.clear();
}

bool MfpEmulator::WaitForDisconnects(int count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(impl_->mutex);
    return impl_->changed.wait_for(lock, timeout,
                                   [&] { return impl_->counters.disconnects >= count; });
}

bool MfpEmulator::WaitForCommands(int count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(impl_->mutex);
    return impl_->changed.wait_for(lock, timeout, [&] { return impl_->commandNumber >= count; });
}

}  // namespace dialvane
