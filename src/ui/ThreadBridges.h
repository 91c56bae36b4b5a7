#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "support/Progress.h"
#include "support/Prompt.h"

namespace dialvane {

// Runs `call` on the thread of `context` (the main thread): directly when already there,
// otherwise by a blocking queued call. Never call it from the main thread's own waits on the
// calling thread.
void RunOnMainThread(QObject* context, const std::function<void()>& call);

// An IPrompt any thread may call: the question is asked on the main thread by `inner` (message
// boxes by default; tests put a script there) while the calling thread waits for the answer.
class QtPromptBridge : public QObject, public IPrompt {
    Q_OBJECT
  public:
    explicit QtPromptBridge(std::shared_ptr<IPrompt> inner = nullptr, QObject* parent = nullptr);
    PromptAnswer Ask(const PromptRequest& request) override;
    IPrompt& Inner() { return *inner_; }

  private:
    std::shared_ptr<IPrompt> inner_;
};

// An IProgress any thread may call: every call is queued, in order, to `target` on the main
// thread, so the worker never waits for the window and never touches a widget.
class QtProgressBridge : public QObject, public IProgress {
    Q_OBJECT
  public:
    explicit QtProgressBridge(IProgress* target, QObject* parent = nullptr);

    void ShowStatus(const std::string& text, int level) override;
    void SetSequenceProgress(char kind, int step, long long done, long long total) override;
    void SetTargetLabel(const std::string& name) override;
    void SetTransferRange(int maximum) override;
    void SetTransferPosition(int position) override;
    void SetDirection(int direction) override;
    void SetButtonsEnabled(bool enabled) override;

  private:
    void Post(std::function<void(IProgress&)> call);
    IProgress* target_;
};

}  // namespace dialvane
