#include "ui/EditForm.h"

namespace dialvane {

TEditForm::TEditForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("EditForm"));
}
bool TEditForm::Execute(int mode, SpeedDialEntry& buffer, const DialModel& model,
                        const TProductInfo& product, const QString& opener) {
    Open(mode, buffer, model, product, opener);
    return false;
}
void TEditForm::Open(int mode, const SpeedDialEntry& buffer, const DialModel& model,
                     const TProductInfo&, const QString&) {
    mode_ = mode;
    buffer_ = buffer;
    model_ = &model;
}
void TEditForm::reject() {
    QDialog::reject();
}
void TEditForm::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
}
void TEditForm::BtnOkClick() {}
bool TEditForm::ConfirmCancel() {
    return true;
}
void TEditForm::NameEdited(const QString&) {}

}  // namespace dialvane
