#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "data/DialModel.h"
#include "data/TextRules.h"
#include "ui/EditOperationKind.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace dialvane {

class IPrompt;

// The dialog in which one group is added or edited. It changes the group in
// the model while open and restores it when the user leaves without saving.
class TEditForm_Group : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kRecentNames = 10;

    // Group names are checked by the language's rules.
    explicit TEditForm_Group(IPrompt& prompt, QWidget* parent = nullptr, TextRules rules = {});

    // Shows the dialog modally. `buffer`: the group's display row (key empty for a new group).
    // On OK (true) the group in `model` is stored, the group flag set when the members changed,
    // and the buffer holds the display row. False: the group is as it was (or, after the
    // delete question was answered Yes, deleted).
    bool Execute(EditOperationKind mode, GroupDisplay& buffer, DialModel& model,
                 const QString& opener);

    // The two halves of Execute, for callers that show the dialog themselves (tests).
    void Open(EditOperationKind mode, const GroupDisplay& buffer, DialModel& model,
              const QString& opener);
    const GroupDisplay& Buffer() const { return buffer_; }
    int CurrentGroup() const { return number_; }

    // Group names entered earlier, most recent first; kept while the program runs.
    const std::vector<std::string>& RecentNames() const { return recentNames_; }
    void SetRecentNames(std::vector<std::string> names) { recentNames_ = std::move(names); }

    // Components.
    QLabel* LBL_Group_Num = nullptr;
    QComboBox* CB_Group_Num = nullptr;
    QLabel* LBL_Group_Name = nullptr;
    QComboBox* CB_Group_Name = nullptr;
    QLabel* LBL_Group_Name_Used = nullptr;  // what the name uses of its limit
    QGroupBox* GB_Group_Entry = nullptr;
    QTableView* SFG_Edit_Group = nullptr;
    QPushButton* BTN_Relese = nullptr;
    QPushButton* BTN_Speed_Add = nullptr;
    QGroupBox* GB_Speed = nullptr;
    QLineEdit* EDT_Speed_Search = nullptr;
    QTableView* SFG_Speed = nullptr;
    QWidget* PNL_BTN_Area = nullptr;
    QPushButton* BTN_OK = nullptr;
    QPushButton* BTN_Cancel = nullptr;

  protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BtnOkClick();
    bool LeaveWithoutSaving();
    void AddMember();
    void RemoveMember();
    void FillGrids(int memberRow, int availableRow);
    void UpdateButtons();
    // Wide enough for every column title of both grids.
    void FitColumns();
    bool MembersChanged() const;
    std::vector<int> AvailableSpeedDials() const;
    void NumberChanged(int index);
    void Restore();
    void SearchChanged(const QString& text);
    static void FillGrid(QTableView* grid, const DialModel& model, const std::vector<int>& dials,
                         int selectedRow);

    IPrompt& prompt_;
    const TextRules rules_;
    EditOperationKind mode_ = EditOperationKind::Edit;
    int number_ = 0;
    GroupDisplay buffer_;
    DialModel* model_ = nullptr;
    GroupDialEntry saved_;
    GroupDisplay savedDisplay_;
    std::vector<std::string> recentNames_;
};

}  // namespace dialvane
