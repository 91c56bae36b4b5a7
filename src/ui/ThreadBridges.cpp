#include "ui/ThreadBridges.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QThread>

#include "ui/CaptionHelpers.h"

namespace dialvane {

void RunOnMainThread(QObject* context, const std::function<void()>& call) {
    if (QThread::currentThread() == context->thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(context, call, Qt::BlockingQueuedConnection);
}

namespace {

QMessageBox::StandardButton ButtonOf(PromptAnswer answer) {
    switch (answer) {
        case PromptAnswer::Ok:
            return QMessageBox::Ok;
        case PromptAnswer::Cancel:
            return QMessageBox::Cancel;
        case PromptAnswer::Yes:
            return QMessageBox::Yes;
        case PromptAnswer::No:
            return QMessageBox::No;
        case PromptAnswer::Retry:
            return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons ButtonsOf(PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::Ok:
            return QMessageBox::Ok;
        case PromptButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case PromptButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case PromptButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case PromptButtons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::None:
            return QMessageBox::NoIcon;
        case PromptIcon::Information:
            return QMessageBox::Information;
        case PromptIcon::Warning:
            return QMessageBox::Warning;
        case PromptIcon::Stop:
            return QMessageBox::Critical;
        case PromptIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

PromptAnswer MessageBoxPrompt::Ask(const PromptRequest& request) {
    QWidget* parent = parent_.data();
    if (parent == nullptr) {
        parent = QApplication::activeWindow();
    }
    QMessageBox box(IconOf(request.icon), Q(request.title), Q(request.text),
                    ButtonsOf(request.buttons), parent);
    const PromptAnswer fallback = EffectiveDefault(request);
    box.setDefaultButton(ButtonOf(fallback));
    if (request.onTop) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    // Closing the box with its close box or Escape gives the answer of the escape button.
    switch (box.exec()) {
        case QMessageBox::Ok:
            return PromptAnswer::Ok;
        case QMessageBox::Cancel:
            return PromptAnswer::Cancel;
        case QMessageBox::Yes:
            return PromptAnswer::Yes;
        case QMessageBox::No:
            return PromptAnswer::No;
        case QMessageBox::Retry:
            return PromptAnswer::Retry;
        default:
            return fallback;
    }
}

QtPromptBridge::QtPromptBridge(std::shared_ptr<IPrompt> inner, QObject* parent)
    : QObject(parent),
      inner_(inner != nullptr ? std::move(inner) : std::make_shared<MessageBoxPrompt>()) {}

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
