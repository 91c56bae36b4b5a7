#include "ui/StartupMessageForm.h"

#include <QTimer>

namespace dialvane {

TStartupMessageForm::TStartupMessageForm(QWidget* mainWindow)
    : QWidget(mainWindow), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("StartupMessageForm"));
}
void TStartupMessageForm::ShowNotice(const QString&, int) {}
void TStartupMessageForm::RequestClose() {}
bool TStartupMessageForm::TimerRunning() const {
    return false;
}
void TStartupMessageForm::TimerFired() {}

}  // namespace dialvane
