#pragma once

#include <mutex>

namespace dialvane {

// A flag that poll() can wait on: raised from any thread, its descriptor stays readable until
// the flag is cleared. A blocking step (a connect, a name lookup) polls Fd() beside its own
// descriptor and so ends the moment the user asks to stop.
class StopSignal {
  public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    void Raise();
    void Clear();
    bool Raised() const;
    int Fd() const { return fd_; }

  private:
    // Raise and Clear under one lock, so the descriptor never stays readable after a Clear.
    mutable std::mutex mutex_;
    bool raised_ = false;
    int fd_ = -1;
};

}  // namespace dialvane
