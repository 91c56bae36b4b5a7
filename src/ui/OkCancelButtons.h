#pragma once

class QBoxLayout;
class QDialog;
class QPushButton;

namespace dialvane {

// A small dialog's OK (the default button, accepts) and Cancel (rejects, as Escape does), right
// aligned at the bottom of `layout`.
void AddOkCancel(QDialog& dialog, QBoxLayout& layout, QPushButton*& ok, QPushButton*& cancel);

}  // namespace dialvane
