#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>
#include <memory>

#include "support/Prompt.h"
#include "support/ScriptedPrompt.h"

namespace dialvane::testing {

// One QApplication for the whole program, created by the first fixture that needs it.
inline QApplication& EnsureApplication() {
    static int argc = 1;
    static char name[] = "gui_dialogs";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Processes events until the condition holds; false when it still does not after a generous
// bound (a hung test then fails instead of blocking the run).
inline bool ProcessUntil(const std::function<bool()>& condition, int boundMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > boundMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Installs a scripted prompt as the process-wide prompt for the life of the object.
class PromptScope {
  public:
    explicit PromptScope(std::vector<PromptAnswer> script = {})
        : prompt_(std::make_shared<ScriptedPrompt>(std::move(script))) {
        SetActivePrompt(prompt_);
    }
    ~PromptScope() { SetActivePrompt(nullptr); }
    ScriptedPrompt& operator*() { return *prompt_; }
    ScriptedPrompt* operator->() { return prompt_.get(); }

  private:
    std::shared_ptr<ScriptedPrompt> prompt_;
};

}  // namespace dialvane::testing
