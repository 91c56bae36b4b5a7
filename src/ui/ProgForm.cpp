#include "ui/ProgForm.h"

#include "comm/UserThread.h"
#include "ui/ThreadBridges.h"

namespace dialvane {

TProgForm::TProgForm(int disp, QWidget* mainWindow)
    : QDialog(mainWindow), disp_(disp), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("ProgForm"));
}
TProgForm::~TProgForm() = default;
RunResult TProgForm::Execute(ExchangeEngine& engine, RunRequest request) {
    (void)engine;
    (void)request;
    return {};
}
void TProgForm::ShowStatus(const std::string&, int) {}
void TProgForm::SetSequenceProgress(char, int, long long, long long) {}
void TProgForm::SetTargetLabel(const std::string&) {}
void TProgForm::SetTransferRange(int) {}
void TProgForm::SetTransferPosition(int) {}
void TProgForm::SetDirection(int) {}
void TProgForm::SetButtonsEnabled(bool) {}
std::vector<std::string> TProgForm::ViewLines() const {
    return {};
}
bool TProgForm::SaveView(const std::string&) {
    return false;
}
void TProgForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
}
void TProgForm::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
}
void TProgForm::done(int result) {
    QDialog::done(result);
}
void TProgForm::reject() {}
void TProgForm::BtnClick(int) {}
void TProgForm::FirstActivation() {}
void TProgForm::EndOfSequence() {}
void TProgForm::SetBarValue(QProgressBar*, long long, long long) {}

}  // namespace dialvane
