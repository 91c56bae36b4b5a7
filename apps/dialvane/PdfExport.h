#pragma once

#include <string>

#include "support/Environment.h"

namespace dialvane {

struct PdfExportRequest {
    std::string output;
    std::string listFile;
    std::string model;  // empty: the model the window uses offline
};

// Checks the user file and writes its printed form as a PDF. Exit status: 0 written, 1 the file
// has errors (printed on standard error) or the PDF could not be written, 2 the file cannot be
// read or the model is unknown.
int ExportDialListPdf(const Environment& environment, const PdfExportRequest& request);

}  // namespace dialvane
