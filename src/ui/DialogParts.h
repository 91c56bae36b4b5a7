#pragma once

class QBoxLayout;
class QDialog;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QString;
class QWidget;

namespace dialvane {

// Pieces the small dialogs share.

// OK (the default button, accepts) and Cancel (rejects, as Escape does), right aligned at the
// bottom of `layout`.
void AddOkCancel(QDialog& dialog, QBoxLayout& layout, QPushButton*& ok, QPushButton*& cancel);

// A labelled text field on a row of its own.
QLineEdit* AddLineField(QWidget& owner, QFormLayout& form, const char* name, const QString& label);

}  // namespace dialvane
