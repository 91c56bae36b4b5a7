#include "ui/ThreadBridges.h"

#include <QMetaObject>
#include <QThread>

#include "ui/QtPrompt.h"

namespace dialvane {

void RunOnMainThread(QObject* context, const std::function<void()>& call) {
    if (QThread::currentThread() == context->thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(context, call, Qt::BlockingQueuedConnection);
}

QtPromptBridge::QtPromptBridge(std::shared_ptr<IPrompt> inner, QObject* parent)
    : QObject(parent), inner_(inner != nullptr ? std::move(inner) : std::make_shared<QtPrompt>()) {}

PromptAnswer QtPromptBridge::Ask(const PromptRequest& request) {
    PromptAnswer answer = EffectiveDefault(request);
    RunOnMainThread(this, [&] { answer = inner_->Ask(request); });
    return answer;
}

QtProgressBridge::QtProgressBridge(IProgress* target, QObject* parent)
    : QObject(parent), target_(target) {}

void QtProgressBridge::Post(std::function<void(IProgress&)> call) {
    if (target_ == nullptr) {
        return;
    }
    if (QThread::currentThread() == thread()) {
        call(*target_);
        return;
    }
    // Queued, never blocking: the worker may hold the log lock the view also takes.
    QMetaObject::invokeMethod(
        this, [this, call = std::move(call)] { call(*target_); }, Qt::QueuedConnection);
}

void QtProgressBridge::ShowStatus(const std::string& text, int level) {
    Post([text, level](IProgress& p) { p.ShowStatus(text, level); });
}
void QtProgressBridge::SetSequenceProgress(char kind, int step, long long done, long long total) {
    Post([=](IProgress& p) { p.SetSequenceProgress(kind, step, done, total); });
}
void QtProgressBridge::SetTargetLabel(const std::string& name) {
    Post([name](IProgress& p) { p.SetTargetLabel(name); });
}
void QtProgressBridge::SetTransferRange(int maximum) {
    Post([maximum](IProgress& p) { p.SetTransferRange(maximum); });
}
void QtProgressBridge::SetTransferPosition(int position) {
    Post([position](IProgress& p) { p.SetTransferPosition(position); });
}
void QtProgressBridge::SetDirection(int direction) {
    Post([direction](IProgress& p) { p.SetDirection(direction); });
}
void QtProgressBridge::SetButtonsEnabled(bool enabled) {
    Post([enabled](IProgress& p) { p.SetButtonsEnabled(enabled); });
}

}  // namespace dialvane
