#pragma once

#include <iosfwd>
#include <mutex>

#include "support/Progress.h"

namespace dialvane {

// The command line's progress view. Compact (DISP 0): level-0 status lines only; detailed:
// every line whose level is at most DISP. With `drawBar` (the stream is a terminal) the
// sequence bar is drawn on the last line and redrawn below each status line.
class TerminalProgress : public IProgress {
  public:
    TerminalProgress(std::ostream& out, int disp, bool drawBar);

    void ShowStatus(const std::string& text, int level) override;
    void SetSequenceProgress(char kind, int step, long long done, long long total) override;
    void SetTargetLabel(const std::string& name) override;
    void SetDirection(int direction) override;

    // A message line on the progress stream: the bar, when drawn, moves below it.
    void WriteLine(const std::string& text);
    // Ends the bar's line, so later output starts on a line of its own.
    void Finish();

  private:
    void ClearBarLocked();
    void DrawBarLocked();

    std::ostream& out_;
    int disp_;
    bool drawBar_;
    bool barShown_ = false;
    SequenceBar bar_;
    std::mutex mutex_;
};

}  // namespace dialvane
