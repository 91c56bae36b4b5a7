#include "ui/ErrLogForm.h"

namespace dialvane {

TErrLogForm::TErrLogForm(QWidget* mainWindow) : QDialog(mainWindow), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("ErrLogForm"));
}
void TErrLogForm::ShowErrors(const std::vector<std::string>& lines) {
    SetErrors(lines);
}
void TErrLogForm::SetErrors(const std::vector<std::string>&) {}
std::vector<std::string> TErrLogForm::Lines() const {
    return {};
}
bool TErrLogForm::SaveToFile(const std::string&) {
    return false;
}
void TErrLogForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
}
void TErrLogForm::SaveAsClick() {}

}  // namespace dialvane
