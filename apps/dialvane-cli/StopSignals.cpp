#include "StopSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>

namespace dialvane {
namespace {

// Signal dispositions belong to the process, so the handler's pipe does too; `gInstalled` makes a
// second StopSignals fail loudly instead of taking the pipe from the first.
int gStopPipe[2] = {-1, -1};
std::atomic<bool> gInstalled{false};

extern "C" void OnStopSignal(int) {
    const char stop = 1;
    [[maybe_unused]] const ssize_t ignored = write(gStopPipe[1], &stop, 1);
}

}  // namespace

StopSignals::StopSignals(std::function<void()> onStop) {
    if (gInstalled.exchange(true)) {
        throw std::logic_error("a second StopSignals while one is installed");
    }
    if (pipe2(gStopPipe, O_CLOEXEC) != 0) {
        gInstalled = false;
        return;
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
    watcher_ = std::thread([this, onStop = std::move(onStop)] {
        char byte = 0;
        while (read(gStopPipe[0], &byte, 1) == 1 && byte != 0) {
            signalled_ = true;
            onStop();
        }
    });
}

StopSignals::~StopSignals() {
    if (!watcher_.joinable()) {
        return;
    }
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
    const char end = 0;
    [[maybe_unused]] const ssize_t ignored = write(gStopPipe[1], &end, 1);
    watcher_.join();
    close(gStopPipe[0]);
    close(gStopPipe[1]);
    gStopPipe[0] = gStopPipe[1] = -1;
    gInstalled = false;
}

}  // namespace dialvane
