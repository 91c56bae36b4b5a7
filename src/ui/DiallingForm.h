#pragma once

#include <QDialog>

#include "contacts/DiallingRules.h"

class QLineEdit;
class QPushButton;

namespace dialvane {

// The four values that turn an address book's numbers into what this office's MFP dials.
class TDiallingForm : public QDialog {
    Q_OBJECT
  public:
    explicit TDiallingForm(QWidget* parent = nullptr);

    // Shows `settings` modally; on OK (true) they hold what was typed.
    bool Execute(DiallingSettings& settings);

    QLineEdit* EDT_Country = nullptr;
    QLineEdit* EDT_National = nullptr;
    QLineEdit* EDT_International = nullptr;
    QLineEdit* EDT_Outside = nullptr;
    QPushButton* BTN_OK = nullptr;
    QPushButton* BTN_Cancel = nullptr;
};

}  // namespace dialvane
