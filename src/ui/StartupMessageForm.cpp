#include "ui/StartupMessageForm.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace dialvane {

TStartupMessageForm::TStartupMessageForm(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("StartupMessageForm"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    PNL_Message = new QFrame(this);
    PNL_Message->setObjectName(QStringLiteral("PNL_Message"));
    PNL_Message->setFrameStyle(QFrame::Panel | QFrame::Raised);
    layout->addWidget(PNL_Message);
    auto* inner = new QVBoxLayout(PNL_Message);
    LBL_Message = new QLabel(PNL_Message);
    LBL_Message->setObjectName(QStringLiteral("LBL_Message"));
    LBL_Message->setAlignment(Qt::AlignCenter);
    LBL_Measure = new QLabel(PNL_Message);
    LBL_Measure->setObjectName(QStringLiteral("LBL_Measure"));
    LBL_Measure->setAlignment(Qt::AlignCenter);
    LBL_Measure->hide();
    inner->addWidget(LBL_Message);
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &TStartupMessageForm::TimerFired);
    hide();
}

bool TStartupMessageForm::TimerRunning() const {
    return timer_->isActive();
}

void TStartupMessageForm::ShowNotice(const QString& text, int minimumMs) {
    closeRequested_ = false;
    timer_->stop();
    LBL_Message->setText(text);
    LBL_Measure->setText(text);
    const QFontMetrics metrics(LBL_Measure->font());
    const int textWidth = metrics.horizontalAdvance(text);
    const int textHeight = metrics.height();
    resize(std::max(180, 3 * textWidth / 2), 4 * textHeight);
    if (mainWindow_ != nullptr) {
        const QPoint origin = mainWindow_->mapToGlobal(QPoint(0, 0));
        move(origin.x() + (mainWindow_->width() - width()) / 2,
             origin.y() + (mainWindow_->height() - height()) / 2);
    }
    timer_->start(std::max(0, minimumMs));
    show();
    raise();
}

void TStartupMessageForm::RequestClose() {
    if (timer_->isActive()) {
        closeRequested_ = true;
        return;
    }
    hide();
}

void TStartupMessageForm::TimerFired() {
    timer_->stop();
    if (closeRequested_) {
        hide();
    }
}

}  // namespace dialvane
