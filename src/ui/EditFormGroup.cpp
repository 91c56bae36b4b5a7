#include "ui/EditFormGroup.h"

namespace dialvane {

TEditForm_Group::TEditForm_Group(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("EditForm_Group"));
}
bool TEditForm_Group::Execute(int mode, GroupDisplay& buffer, DialModel& model,
                              const QString& opener) {
    Open(mode, buffer, model, opener);
    return false;
}
void TEditForm_Group::Open(int mode, const GroupDisplay& buffer, DialModel& model, const QString&) {
    mode_ = mode;
    buffer_ = buffer;
    model_ = &model;
}
void TEditForm_Group::reject() {
    QDialog::reject();
}
void TEditForm_Group::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
}
void TEditForm_Group::BtnOkClick() {}
bool TEditForm_Group::LeaveWithoutSaving() {
    return true;
}
void TEditForm_Group::AddMember() {}
void TEditForm_Group::RemoveMember() {}
void TEditForm_Group::FillGrids(int, int) {}
void TEditForm_Group::UpdateButtons() {}
bool TEditForm_Group::MembersChanged() const {
    return false;
}
std::vector<int> TEditForm_Group::AvailableSpeedDials() const {
    return {};
}

}  // namespace dialvane
