#include "ui/DialogParts.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "support/Messages.h"

namespace dialvane {

void AddOkCancel(QDialog& dialog, QBoxLayout& layout, QPushButton*& ok, QPushButton*& cancel) {
    auto* buttons = new QDialogButtonBox(&dialog);
    ok = buttons->addButton(QString::fromStdString(Text(Msg::MainBtnOk)),
                            QDialogButtonBox::AcceptRole);
    ok->setObjectName("BTN_OK");
    ok->setDefault(true);
    cancel = buttons->addButton(QString::fromStdString(Text(Msg::MainBtnCancel)),
                                QDialogButtonBox::RejectRole);
    cancel->setObjectName("BTN_Cancel");
    layout.addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
}

QLineEdit* AddLineField(QWidget& owner, QFormLayout& form, const char* name, const QString& label) {
    auto* edit = new QLineEdit(&owner);
    edit->setObjectName(name);
    form.addRow(label, edit);
    return edit;
}

}  // namespace dialvane
