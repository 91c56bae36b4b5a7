#include "TerminalProgress.h"

#include <ostream>

#include "TerminalPrompt.h"
#include "support/DiagnosticLog.h"

namespace dialvane {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

TerminalProgress::TerminalProgress(std::ostream& out, int disp, bool drawBar)
    : out_(out), disp_(disp), drawBar_(drawBar) {}

void TerminalProgress::ShowStatus(const std::string& text, int level) {
    bool shown = disp_ == 0 ? level == 0 : level <= disp_;
    if (!shown) {
        return;
    }
    // Status lines share the log lock with log writes, as the progress view does.
    std::lock_guard logLock(LogLock());
    std::lock_guard lock(mutex_);
    ClearBarLocked();
    out_ << TerminalText(text) << '\n';
    DrawBarLocked();
    out_.flush();
}

void TerminalProgress::WriteLine(const std::string& text) {
    std::lock_guard lock(mutex_);
    ClearBarLocked();
    out_ << TerminalText(text) << '\n';
    DrawBarLocked();
    out_.flush();
}

void TerminalProgress::SetSequenceProgress(char kind, int step, long long done, long long total) {
    std::lock_guard lock(mutex_);
    bar_.Apply(kind, step, done, total);
    ClearBarLocked();
    DrawBarLocked();
    out_.flush();
}

void TerminalProgress::SetTargetLabel(const std::string& name) {
    if (name.empty()) {
        return;
    }
    std::lock_guard lock(mutex_);
    ClearBarLocked();
    out_ << "[  " << name << "  ]\n";
    DrawBarLocked();
    out_.flush();
}

void TerminalProgress::SetDirection(int direction) {
    std::lock_guard lock(mutex_);
    bar_.SetDirection(direction);
}

void TerminalProgress::Finish() {
    std::lock_guard lock(mutex_);
    if (barShown_) {
        out_ << '\n';
        barShown_ = false;
    }
    drawBar_ = false;
    out_.flush();
}

void TerminalProgress::ClearBarLocked() {
    if (barShown_) {
        out_ << "\r\033[K";
        barShown_ = false;
    }
}

void TerminalProgress::DrawBarLocked() {
    if (!drawBar_ || bar_.Maximum() <= 0) {
        return;
    }
    long long filled = bar_.Position() * kBarWidth / bar_.Maximum();
    long long percent = bar_.Position() * 100 / bar_.Maximum();
    out_ << '[' << std::string(static_cast<size_t>(filled), '#')
         << std::string(static_cast<size_t>(kBarWidth - filled), '.') << "] " << percent << '%';
    barShown_ = true;
}

}  // namespace dialvane
