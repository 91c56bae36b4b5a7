#include "ui/DiallingForm.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "support/Messages.h"
#include "ui/DialogParts.h"

namespace dialvane {
namespace {

QString Q(Msg message) {
    return QString::fromStdString(Text(message));
}

}  // namespace

TDiallingForm::TDiallingForm(QWidget* parent) : QDialog(parent) {
    setObjectName("DiallingForm");
    setWindowTitle(Q(Msg::DiallingCaption));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    const auto field = [this, form](const char* name, Msg label) {
        return AddLineField(*this, *form, name, Q(label));
    };
    EDT_Country = field("EDT_Country", Msg::DiallingCountryCode);
    EDT_National = field("EDT_National", Msg::DiallingNationalPrefix);
    EDT_International = field("EDT_International", Msg::DiallingInternationalPrefix);
    EDT_Outside = field("EDT_Outside", Msg::DiallingOutsideLine);
    layout->addLayout(form);
    AddOkCancel(*this, *layout, BTN_OK, BTN_Cancel);
}

bool TDiallingForm::Execute(DiallingSettings& settings) {
    EDT_Country->setText(QString::fromStdString(settings.countryCode));
    EDT_National->setText(QString::fromStdString(settings.nationalPrefix));
    EDT_International->setText(QString::fromStdString(settings.internationalPrefix));
    EDT_Outside->setText(QString::fromStdString(settings.outsideLine));
    EDT_Country->setFocus();
    if (exec() != QDialog::Accepted) {
        return false;
    }
    settings.countryCode = EDT_Country->text().trimmed().toStdString();
    settings.nationalPrefix = EDT_National->text().trimmed().toStdString();
    settings.internationalPrefix = EDT_International->text().trimmed().toStdString();
    settings.outsideLine = EDT_Outside->text().toStdString();
    return true;
}

}  // namespace dialvane
