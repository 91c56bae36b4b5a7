#pragma once

#include <cstdint>
#include <string>

namespace dialvane {

// The progress view of a device transfer. The worker thread drives it while the main thread
// shows it, so every implementation must accept calls from any thread. ShowStatus changes the
// view under the log lock (LogLock() of support/DiagnosticLog.h), so status lines and log
// writes never interleave.
class IProgress {
  public:
    virtual ~IProgress() = default;

    // A status line. Level 0 is the one-line status of the compact view; levels 1 to 4 are ever
    // more detailed lines of the detailed view, shown when the level is at most DISP.
    virtual void ShowStatus(const std::string& text, int level) = 0;

    // kind 'I' starts the sequence bar for the current direction; any other kind (the callers
    // use 'D') moves it to `step` (0-based) with done/total of that step already done.
    virtual void SetSequenceProgress(char kind, int step, long long done, long long total) = 0;

    // The device's name framed as "[  name  ]"; an empty name clears the label.
    virtual void SetTargetLabel(const std::string& name) = 0;

    // The transfer bar follows the wait for one device answer: its maximum is the answer
    // timeout in milliseconds, its position the milliseconds waited so far.
    virtual void SetTransferRange(int maximum) { (void)maximum; }
    virtual void SetTransferPosition(int position) { (void)position; }

    // The direction the sequence bar weighs its steps by: 0 read, 1 write (the worker's mode).
    virtual void SetDirection(int direction) { (void)direction; }

    // Disables the view's buttons while the stop confirmation is asked, and re-enables them.
    virtual void SetButtonsEnabled(bool enabled) { (void)enabled; }
};

// The sequence bar's arithmetic: each step of a read or a write has a weight, and the bar runs
// to the sum of the weights times 1000. Shared by every progress view.
class SequenceBar {
  public:
    void SetDirection(int direction) { direction_ = direction; }
    int Direction() const { return direction_; }

    // 'I' sets the maximum for the direction and the position to 0; any other kind moves to
    // `step` with done/total of it done (a step of weight 1 counts as complete). A direction
    // other than 0 or 1 leaves the bar as it is. The position never passes the maximum.
    void Apply(char kind, int step, long long done, long long total);

    long long Maximum() const { return maximum_; }
    long long Position() const { return position_; }

  private:
    int direction_ = 0;
    long long maximum_ = 0;
    long long position_ = 0;
};

// Ignores everything; for runs that show no progress (the start-up channel test).
class NullProgress : public IProgress {
  public:
    void ShowStatus(const std::string&, int) override {}
    void SetSequenceProgress(char, int, long long, long long) override {}
    void SetTargetLabel(const std::string&) override {}
};

}  // namespace dialvane
