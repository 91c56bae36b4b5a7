#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace dialvane {

// One row of the preview: a speed dial the import brings.
struct ImportPreviewRow {
    std::string contact;  // the contact's name as the source has it
    std::string found;    // the fax number as found
    std::string dialled;  // as the MFP will dial it
    std::string key;      // the speed dial it lands on
};

class ImportPreviewModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ImportPreviewModel(QObject* parent = nullptr);
    void SetRows(std::vector<ImportPreviewRow> rows);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    std::vector<ImportPreviewRow> rows_;
};

// What an import would bring into the editor, shown before anything changes: accepted, the
// window takes the merged list; rejected, nothing happens.
class TImportPreviewForm : public QDialog {
    Q_OBJECT
  public:
    explicit TImportPreviewForm(QWidget* parent = nullptr);

    // `summary` above the table, `leftOut` (skipped contacts and numbers, dropped bindings)
    // below it.
    void Show(const std::string& summary, std::vector<ImportPreviewRow> rows,
              const std::vector<std::string>& leftOut);

    ImportPreviewModel* Rows() const { return model_; }

    // The result of exec() when the dialling rules are to be edited and the preview redone.
    static constexpr int kEditDialling = 2;

    QLabel* LBL_Summary = nullptr;
    QTableView* TBL_Dials = nullptr;
    QLabel* LBL_Left_Out = nullptr;
    QPlainTextEdit* MEM_Left_Out = nullptr;
    QPushButton* BTN_Dialling = nullptr;
    QPushButton* BTN_OK = nullptr;
    QPushButton* BTN_Cancel = nullptr;

  private:
    ImportPreviewModel* model_ = nullptr;
};

}  // namespace dialvane
