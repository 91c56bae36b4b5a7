#include "ui/DialListDocument.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cerrno>
#include <cstring>

#include "data/DialModel.h"
#include "data/ProductInfo.h"
#include "support/FileUtil.h"
#include "support/Messages.h"
#include "ui/BindingText.h"

namespace dialvane {
namespace {

QString Escaped(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped();
}

QString Cell(const std::string& text, const char* tag = "td") {
    return QString("<%1>%2</%1>").arg(tag, Escaped(text));
}

QString HeaderRow(std::initializer_list<Msg> columns) {
    QString row = "<tr>";
    for (Msg column : columns) {
        row += Cell(Text(column), "th");
    }
    return row + "</tr>";
}

// An empty table still gets its heading and one row saying so, so a reader sees nothing was
// left out by the printer.
QString Section(Msg title, const QString& header, const QString& rows, int columns) {
    QString html = "<h2>" + Escaped(Text(title)) + "</h2>";
    html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">" + header;
    if (rows.isEmpty()) {
        html += QString("<tr><td colspan=\"%1\">%2</td></tr>")
                    .arg(columns)
                    .arg(Escaped(Text(Msg::PrintNone)));
    } else {
        html += rows;
    }
    return html + "</table>";
}

QString SpeedDialSection(const DialModel& model, bool keywords) {
    QString rows;
    for (int number = 1; number <= kMaxSpeedDials; ++number) {
        const SpeedDialEntry& entry = model.speedDials[number];
        if (entry.key.empty()) {
            continue;
        }
        rows += "<tr>" + Cell(entry.key) + Cell(entry.name);
        if (keywords) {
            rows += Cell(entry.keyword);
        }
        rows += Cell(entry.faxNumber) + "</tr>";
    }
    const QString header =
        keywords ? HeaderRow({Msg::PrintColumnNumber, Msg::PrintColumnName, Msg::PrintColumnKeyword,
                              Msg::PrintColumnFax})
                 : HeaderRow({Msg::PrintColumnNumber, Msg::PrintColumnName, Msg::PrintColumnFax});
    return Section(Msg::PrintSpeedDials, header, rows, keywords ? 4 : 3);
}

QString GroupSection(const DialModel& model) {
    QString rows;
    for (const SelectionRow& row : SelectionRows(model)) {
        if (row.key.starts_with('G')) {
            rows += "<tr>" + Cell(row.key) + Cell(row.name) + Cell(row.record) + "</tr>";
        }
    }
    return Section(
        Msg::PrintGroups,
        HeaderRow({Msg::PrintColumnNumber, Msg::PrintColumnName, Msg::PrintColumnMembers}), rows,
        3);
}

// Every button is listed, bound or not: the sheet shows which ones are still free.
QString ButtonSection(const DialModel& model, const TProductInfo& product) {
    const bool oneTouch = product.OneTouch();
    const int count = oneTouch ? 3 : std::min(product.QuickDial(), kMaxBindings);
    QString rows;
    for (int slot = 1; slot <= count; ++slot) {
        const std::string label =
            oneTouch ? std::string(1, static_cast<char>('A' + slot - 1)) : std::to_string(slot);
        rows += "<tr>" + Cell(label) +
                Cell(BindingDisplayText(model, model.bindings[static_cast<size_t>(slot)])) +
                "</tr>";
    }
    return Section(oneTouch ? Msg::MainTabOneTouch : Msg::MainTabQuickDial,
                   HeaderRow({Msg::PrintColumnButton, Msg::PrintColumnDestination}), rows, 2);
}

QString HeadingLine(Msg label, const std::string& value) {
    return "<tr><th align=\"left\">" + Escaped(Text(label)) + "</th><td>" + Escaped(value) +
           "</td></tr>";
}

}  // namespace

QString DialListHtml(const DialModel& model, const TProductInfo& product,
                     const DialListHeading& heading) {
    QString html = "<html><body><h1>" + Escaped(Text(Msg::PrintTitle)) + "</h1><table>";
    html += HeadingLine(Msg::PrintModel, heading.model);
    if (!heading.address.empty()) {
        html += HeadingLine(Msg::PrintAddress, heading.address);
    }
    if (!heading.file.empty()) {
        html += HeadingLine(Msg::PrintFile, heading.file);
    }
    html += HeadingLine(Msg::PrintDate, heading.date.toStdString()) + "</table>";
    html += SpeedDialSection(model, !product.NoKeyword());
    html += GroupSection(model);
    html += ButtonSection(model, product);
    html += "<h2>" + Escaped(Text(Msg::PrintSender)) + "</h2><p>" +
            Escaped(model.senderName.empty() ? Text(Msg::PrintNone) : model.senderName) + "</p>";
    return html + "</body></html>";
}

std::unique_ptr<QTextDocument> DialListDocument(const DialModel& model, const TProductInfo& product,
                                                const DialListHeading& heading) {
    auto document = std::make_unique<QTextDocument>();
    // Without ligatures a name copied or searched in the PDF reads as typed ("Office", not a
    // single "ffi" glyph).
    QFont font = document->defaultFont();
    font.setStyleStrategy(QFont::PreferNoShaping);
    document->setDefaultFont(font);
    document->setHtml(DialListHtml(model, product, heading));
    return document;
}

QByteArray DialListPdf(QTextDocument& document) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        // The writer finishes the file when it goes out of scope.
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setCreator(QString::fromStdString(Text(Msg::AppTitle)));
        writer.setTitle(QString::fromStdString(Text(Msg::PrintTitle)));
        document.print(&writer);
    }
    return bytes;
}

bool WriteDialListPdf(const std::string& path, QTextDocument& document, std::string* error) {
    const QByteArray bytes = DialListPdf(document);
    if (bytes.isEmpty()) {
        *error = std::strerror(EIO);
        return false;
    }
    if (!WriteFileAtomic(path, std::string_view(bytes.constData(), bytes.size()))) {
        const std::string why = WhyNotWritable(path);
        *error = why.empty() ? std::strerror(errno) : why;
        return false;
    }
    return true;
}

}  // namespace dialvane
