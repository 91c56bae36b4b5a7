#include "ui/ImportSourceForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "support/Messages.h"
#include "ui/DialogParts.h"

namespace dialvane {
namespace {

QString Q(Msg message) {
    return QString::fromStdString(Text(message));
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

TImportSourceForm::TImportSourceForm(QWidget* parent) : QDialog(parent) {
    setObjectName("ImportSourceForm");
    setWindowTitle(Q(Msg::CardDavSourceCaption));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    RB_File = new QRadioButton(Q(Msg::CardDavSourceFile), this);
    RB_File->setObjectName("RB_File");
    RB_Server = new QRadioButton(Q(Msg::CardDavSourceServer), this);
    RB_Server->setObjectName("RB_Server");
    layout->addWidget(RB_File);
    layout->addWidget(RB_Server);
    auto* form = new QFormLayout;
    const auto field = [this, form](const char* name, Msg label) {
        return AddLineField(*this, *form, name, Q(label));
    };
    EDT_Url = field("EDT_Url", Msg::CardDavUrlLabel);
    EDT_Url->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    EDT_User = field("EDT_User", Msg::CardDavUserLabel);
    EDT_Password = field("EDT_Password", Msg::CardDavPasswordLabel);
    EDT_Password->setEchoMode(QLineEdit::Password);
    CHK_Remember = new QCheckBox(Q(Msg::CardDavRememberPassword), this);
    CHK_Remember->setObjectName("CHK_Remember");
    form->addRow(QString(), CHK_Remember);
    layout->addLayout(form);
    AddOkCancel(*this, *layout, BTN_OK, BTN_Cancel);
    connect(RB_Server, &QRadioButton::toggled, this, [this] { ServerFieldsEnabled(); });
    connect(EDT_Url, &QLineEdit::textEdited, this, [this] { LoginEdited(); });
    connect(EDT_User, &QLineEdit::textEdited, this, [this] { LoginEdited(); });
}

void TImportSourceForm::ServerFieldsEnabled() {
    for (QWidget* widget :
         {static_cast<QWidget*>(EDT_Url), static_cast<QWidget*>(EDT_User),
          static_cast<QWidget*>(EDT_Password), static_cast<QWidget*>(CHK_Remember)}) {
        widget->setEnabled(RB_Server->isChecked());
    }
}

// A remembered password belongs to the server and user it was kept for: it is not sent to
// another one the user types in.
void TImportSourceForm::LoginEdited() {
    if (offered_.password.empty() || EDT_Password->text() != Q(offered_.password)) {
        return;
    }
    if (EDT_Url->text() != Q(offered_.url) || EDT_User->text() != Q(offered_.user)) {
        EDT_Password->clear();
    }
}

bool TImportSourceForm::Execute(ContactsSourceChoice& choice) {
    offered_ = choice;
    (choice.server ? RB_Server : RB_File)->setChecked(true);
    EDT_Url->setText(Q(choice.url));
    EDT_User->setText(Q(choice.user));
    EDT_Password->setText(Q(choice.password));
    CHK_Remember->setChecked(choice.remember);
    ServerFieldsEnabled();
    (choice.server ? static_cast<QWidget*>(EDT_Url) : RB_File)->setFocus();
    const bool accepted = exec() == QDialog::Accepted;
    if (accepted) {
        choice.server = RB_Server->isChecked();
        choice.url = EDT_Url->text().trimmed().toStdString();
        choice.user = EDT_User->text().trimmed().toStdString();
        choice.password = EDT_Password->text().toStdString();
        choice.remember = CHK_Remember->isChecked();
    }
    // The dialog is kept for the next import: no password stays in it meanwhile.
    EDT_Password->clear();
    offered_.password.clear();
    return accepted;
}

}  // namespace dialvane
