#pragma once

#include <QDialog>
#include <QString>

#include "data/DialModel.h"
#include "data/ProductInfo.h"
#include "ui/EditOperationKind.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace dialvane {

class IPrompt;

// The dialog in which one speed dial is added or edited. It works on a copy
// of the entry; the model is only read (duplicate names, free numbers).
class TEditForm : public QDialog {
    Q_OBJECT
  public:
    explicit TEditForm(IPrompt& prompt, QWidget* parent = nullptr);

    // Shows the dialog modally. `buffer`: the entry to edit, or for an add either empty (a key
    // that is empty) or a template. `opener`: the caption of the button that opened it. On OK
    // (true) the buffer holds the key S + the chosen three digits, the name, keyword and fax
    // number as typed; the group mask stays (reset to 20 '0' in add mode).
    bool Execute(EditOperationKind mode, SpeedDialEntry& buffer, const DialModel& model,
                 const TProductInfo& product, const QString& opener);

    // The two halves of Execute, for callers that show the dialog themselves (tests).
    void Open(EditOperationKind mode, const SpeedDialEntry& buffer, const DialModel& model,
              const TProductInfo& product, const QString& opener);
    const SpeedDialEntry& Buffer() const { return buffer_; }

    // Components.
    QLabel* LBL_Num = nullptr;
    QComboBox* CB_Num = nullptr;
    QLabel* LBL_Name = nullptr;
    QLineEdit* EDT_Name = nullptr;
    QLabel* LBL_Keyword = nullptr;
    QLineEdit* EDT_Keyword = nullptr;
    QLabel* LBL_Keyword_Hint = nullptr;
    QLabel* LBL_Tel = nullptr;
    QLineEdit* EDT_Tel = nullptr;
    // What each field uses of its limit ("12 / 16").
    QLabel* LBL_Name_Used = nullptr;
    QLabel* LBL_Keyword_Used = nullptr;
    QLabel* LBL_Tel_Used = nullptr;
    QWidget* PNL_BTN_Area = nullptr;
    QPushButton* BTN_OK = nullptr;
    QPushButton* BTN_Cancel = nullptr;
    QPushButton* BTN_Inport = nullptr;

  protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BtnOkClick();
    bool ConfirmCancel();
    void NameEdited(const QString& text);

    IPrompt& prompt_;
    EditOperationKind mode_ = EditOperationKind::Edit;
    int number_ = 0;
    bool keywords_ = false;
    TextRules rules_;  // of the product the dialog was opened for
    SpeedDialEntry buffer_;
    const DialModel* model_ = nullptr;
    QString previousName_;
    qsizetype editStart_ = -1;  // where the key being handled puts its text; -1: not a key
    bool editReplacesAll_ = false;
};

}  // namespace dialvane
