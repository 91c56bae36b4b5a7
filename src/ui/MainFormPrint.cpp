// The open list printed, previewed or saved as a PDF sheet.
#include <QDate>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

#include "data/ProductInfo.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "ui/DialListDocument.h"
#include "ui/MainForm.h"
#include "ui/MainFormQuestions.h"

namespace dialvane {
namespace {

// The sheet's heading names where the list came from: the MFP for a list read from it and not
// yet saved, else the file it was opened from or saved to.
DialListHeading Heading(const TMainForm& form, const Environment& env) {
    DialListHeading heading;
    heading.model = form.Product().ModelName();
    if (form.EditSource() == EditSourceKind::FromDevice) {
        heading.address = env.user.connection == 0 ? std::string("USB") : form.CurrentIpAddress();
    } else {
        heading.file = form.CurrentFileName();
    }
    heading.date = QDate::currentDate().toString(Qt::ISODate);
    return heading;
}

}  // namespace

void TMainForm::PrintList() {
    const auto document = DialListDocument(model_, *product_, Heading(*this, env_));
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) {
        document->print(&printer);
    }
}

void TMainForm::PreviewList() {
    const auto document = DialListDocument(model_, *product_, Heading(*this, env_));
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName("DLG_PrintPreview");
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&document](QPrinter* target) { document->print(target); });
    preview.exec();
}

void TMainForm::ExportListPdf() {
    // Beside the list, under its name: the sheet is found where the list is kept.
    std::string suggested =
        currentFileName_.empty() ? std::string("dial-list.pdf") : currentFileName_ + ".pdf";
    if (const size_t dot = currentFileName_.find_last_of('.');
        dot != std::string::npos && currentFileName_.find('/', dot) == std::string::npos) {
        suggested = currentFileName_.substr(0, dot) + ".pdf";
    }
    std::optional<std::string> chosen;
    if (hooks_.saveFileName) {
        chosen = hooks_.saveFileName(suggested);
    } else {
        QFileDialog dialog(this, QString(), QString::fromStdString(suggested),
                           QString::fromStdString(Text(Msg::PrintPdfFilter)));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("pdf");
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            chosen = dialog.selectedFiles().first().toStdString();
        }
    }
    if (!chosen || chosen->empty()) {
        return;
    }
    const auto document = DialListDocument(model_, *product_, Heading(*this, env_));
    std::string error;
    if (!WriteDialListPdf(*chosen, *document, &error)) {
        Tell(*prompt_, Text(Msg::PrintPdfWriteError, *chosen, error), Msg::FileErrorCaption,
             PromptIcon::Stop);
    }
}

}  // namespace dialvane
