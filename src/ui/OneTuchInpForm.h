#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "data/DialModel.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QTableView;

namespace dialvane {

// The dialog from which a one-touch button or a quick dial gets its destination: the
// registered speed dials, then the registered groups. OK (or a double click on a row) returns
// the chosen row as "%s [%s] %s".
class TOneTuchInpForm : public QDialog {
    Q_OBJECT
  public:
    explicit TOneTuchInpForm(QWidget* parent = nullptr);

    // Refills the grid from the model and shows the dialog modally, titled "Set %s" with
    // `target`. On OK (true) `selection` holds the chosen row; on Cancel it is left as it was.
    bool Execute(const QString& target, const DialModel& model, std::string& selection);

    // The two halves of Execute, for callers that show the dialog themselves (tests).
    // `current`: the button's display text; its row is the one selected.
    void Open(const QString& target, const DialModel& model, const std::string& current = {});
    const std::string& Selection() const { return selection_; }

    // The sum of the three column widths, which the window's width follows.
    int ColumnsWidth() const;

    QGroupBox* GB_Inport = nullptr;
    QLineEdit* EDT_Inport_Search = nullptr;
    QTableView* SFG_Inport = nullptr;
    QPushButton* BTN_OK = nullptr;
    QPushButton* BTN_Cancel = nullptr;

  private:
    void Fill(const DialModel& model, const std::string& binding);
    int ChosenRow() const;
    QString CellAt(int row, int column) const;
    void UpdateOk();
    void BtnOkClick();

    std::string selection_;
};

}  // namespace dialvane
