#pragma once

#include <QDialog>

#include "ui/ContactsSourceChoice.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace dialvane {

// The import's first question: a file, or an address book server with its login.
class TImportSourceForm : public QDialog {
    Q_OBJECT
  public:
    explicit TImportSourceForm(QWidget* parent = nullptr);

    // Shows `choice` modally; on OK (true) it holds what was chosen and typed.
    bool Execute(ContactsSourceChoice& choice);

    QRadioButton* RB_File = nullptr;
    QRadioButton* RB_Server = nullptr;
    QLineEdit* EDT_Url = nullptr;
    QLineEdit* EDT_User = nullptr;
    QLineEdit* EDT_Password = nullptr;
    QCheckBox* CHK_Remember = nullptr;
    QPushButton* BTN_OK = nullptr;
    QPushButton* BTN_Cancel = nullptr;

  private:
    void ServerFieldsEnabled();
    void LoginEdited();

    ContactsSourceChoice offered_;
};

}  // namespace dialvane
