#include "ui/QtPrompt.h"

#include <QApplication>
#include <QMessageBox>

#include "support/Messages.h"
#include "ui/ThreadBridges.h"

namespace dialvane {
namespace {

QMessageBox::StandardButton ToButton(PromptAnswer answer) {
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

QMessageBox::StandardButtons ToButtons(PromptButtons buttons) {
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

QMessageBox::Icon ToIcon(PromptIcon icon) {
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

PromptAnswer FromButton(int button, const PromptRequest& request) {
    switch (button) {
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
            // Closed by the window manager: the box's escape answer.
            return EffectiveDefault(request);
    }
}

}  // namespace

PromptAnswer QtPrompt::Ask(const PromptRequest& request) {
    QCoreApplication* app = QCoreApplication::instance();
    PromptAnswer answer = EffectiveDefault(request);
    if (app == nullptr) {
        return answer;
    }
    RunOnMainThread(app, [&] {
        QWidget* parent = parent_.data();
        if (parent == nullptr) {
            parent = QApplication::activeWindow();
        }
        QMessageBox box(ToIcon(request.icon), QString::fromStdString(request.title),
                        QString::fromStdString(request.text), ToButtons(request.buttons), parent);
        box.setDefaultButton(ToButton(EffectiveDefault(request)));
        if (request.onTop) {
            box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        }
        answer = FromButton(box.exec(), request);
    });
    return answer;
}

std::string GeneralErrorText(const std::string& text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
        return text + ".";
    }
    return text;
}

void ShowGeneralError(IPrompt& prompt, const std::string& text) {
    PromptRequest request;
    request.text = GeneralErrorText(text);
    request.title = Text(Msg::AppTitle);
    request.buttons = PromptButtons::Ok;
    request.icon = PromptIcon::Stop;
    prompt.Ask(request);
}

}  // namespace dialvane
