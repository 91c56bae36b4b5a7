#include "ui/ImportPreviewForm.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "support/Messages.h"
#include "ui/CaptionTables.h"

namespace dialvane {

ImportPreviewModel::ImportPreviewModel(QObject* parent) : QAbstractTableModel(parent) {}

void ImportPreviewModel::SetRows(std::vector<ImportPreviewRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() ||
        static_cast<size_t>(index.row()) >= rows_.size()) {
        return {};
    }
    const ImportPreviewRow& row = rows_[static_cast<size_t>(index.row())];
    const std::string* cells[] = {&row.key, &row.contact, &row.found, &row.dialled};
    return QString::fromStdString(*cells[index.column()]);
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const QStringList titles = CommaList(Text(Msg::ImportPreviewColumns));
    return section < titles.size() ? titles[section].trimmed() : QString();
}

TImportPreviewForm::TImportPreviewForm(QWidget* parent) : QDialog(parent) {
    setObjectName("ImportPreviewForm");
    setWindowTitle(QString::fromStdString(Text(Msg::ImportPreviewCaption)));
    setModal(true);
    resize(640, 480);
    auto* layout = new QVBoxLayout(this);
    LBL_Summary = new QLabel(this);
    LBL_Summary->setWordWrap(true);
    layout->addWidget(LBL_Summary);
    model_ = new ImportPreviewModel(this);
    TBL_Dials = new QTableView(this);
    TBL_Dials->setObjectName("TBL_Dials");
    TBL_Dials->setModel(model_);
    TBL_Dials->setSelectionBehavior(QAbstractItemView::SelectRows);
    TBL_Dials->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TBL_Dials->verticalHeader()->hide();
    TBL_Dials->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(TBL_Dials, 3);
    LBL_Left_Out = new QLabel(QString::fromStdString(Text(Msg::ImportPreviewLeftOut)), this);
    layout->addWidget(LBL_Left_Out);
    MEM_Left_Out = new QPlainTextEdit(this);
    MEM_Left_Out->setObjectName("MEM_Left_Out");
    MEM_Left_Out->setReadOnly(true);
    layout->addWidget(MEM_Left_Out, 1);
    auto* buttons = new QHBoxLayout;
    BTN_Dialling = new QPushButton(QString::fromStdString(Text(Msg::DiallingButton)), this);
    BTN_Dialling->setObjectName("BTN_Dialling");
    BTN_Dialling->setAutoDefault(false);
    buttons->addWidget(BTN_Dialling);
    buttons->addStretch();
    BTN_OK = new QPushButton(QString::fromStdString(Text(Msg::MainBtnOk)), this);
    BTN_OK->setObjectName("BTN_OK");
    BTN_OK->setDefault(true);
    BTN_Cancel = new QPushButton(QString::fromStdString(Text(Msg::MainBtnCancel)), this);
    BTN_Cancel->setObjectName("BTN_Cancel");
    buttons->addWidget(BTN_OK);
    buttons->addWidget(BTN_Cancel);
    layout->addLayout(buttons);
    connect(BTN_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BTN_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BTN_Dialling, &QPushButton::clicked, this, [this] { done(kEditDialling); });
}

void TImportPreviewForm::Show(const std::string& summary, std::vector<ImportPreviewRow> rows,
                              const std::vector<std::string>& leftOut) {
    LBL_Summary->setText(QString::fromStdString(summary));
    model_->SetRows(std::move(rows));
    TBL_Dials->resizeColumnsToContents();
    QString text;
    for (const std::string& line : leftOut) {
        text += QString::fromStdString(line) + '\n';
    }
    MEM_Left_Out->setPlainText(text);
    LBL_Left_Out->setVisible(!leftOut.empty());
    MEM_Left_Out->setVisible(!leftOut.empty());
}

}  // namespace dialvane
