#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <string>

class QTextDocument;

namespace dialvane {

class DialModel;
class TProductInfo;

// What heads the printed list: where it came from, so a sheet beside the MFP can be matched to
// its machine or file.
struct DialListHeading {
    std::string model;
    std::string address;  // the MFP's address, empty for a list from a file
    std::string file;     // the user file, empty for a list read from the MFP
    QString date;         // as printed; the caller's date, so a reprint can be told apart
};

// The speed dials, groups, buttons and sender as tables, in the user's language.
QString DialListHtml(const DialModel& model, const TProductInfo& product,
                     const DialListHeading& heading);
std::unique_ptr<QTextDocument> DialListDocument(const DialModel& model, const TProductInfo& product,
                                                const DialListHeading& heading);

// The document as the bytes of an A4 PDF file.
QByteArray DialListPdf(QTextDocument& document);

// Writes the PDF beside `path` and renames it into place, so a failed export leaves no half
// file. The reason when it fails.
bool WriteDialListPdf(const std::string& path, QTextDocument& document, std::string* error);

}  // namespace dialvane
