#include "ui/FormVer.h"

namespace dialvane {

TFormVer::TFormVer(QWidget* mainWindow) : QDialog(mainWindow), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("FormVer"));
}
void TFormVer::Execute() {}
void TFormVer::Prepare() {}
QString TFormVer::VersionText() const {
    return {};
}
void TFormVer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
}
bool TFormVer::eventFilter(QObject* watched, QEvent* event) {
    return QDialog::eventFilter(watched, event);
}
void TFormVer::Activate() {}

}  // namespace dialvane
