#include "PdfExport.h"

#include <QDate>
#include <QTextDocument>
#include <cstdio>

#include "data/DialFileLoader.h"
#include "data/DialModel.h"
#include "data/ProductInfo.h"
#include "data/TextRules.h"
#include "support/Messages.h"
#include "support/TextUtil.h"
#include "ui/DialListDocument.h"

namespace dialvane {
namespace {

std::string ConfiguredModel(const TProductInfo& product, const std::string& wanted) {
    for (const std::string& configured : product.ConfiguredModels()) {
        if (EqualsIgnoreCase(configured, wanted)) {
            return configured;
        }
    }
    return {};
}

std::string ModelList(const TProductInfo& product) {
    std::string list;
    for (const std::string& model : product.ConfiguredModels()) {
        list += (list.empty() ? "" : ", ") + model;
    }
    return list;
}

}  // namespace

int ExportDialListPdf(const Environment& environment, const PdfExportRequest& request) {
    TProductInfo product(environment.programSettingsFile,
                         TextRulesForLanguage(environment.settings.lang));
    std::string modelName = environment.settings.offlineTarget;
    if (!request.model.empty()) {
        modelName = ConfiguredModel(product, request.model);
        if (modelName.empty()) {
            std::fprintf(stderr, "dialvane: %s\n",
                         Text(Msg::ModelUnknown, request.model, environment.programSettingsFile,
                              ModelList(product))
                             .c_str());
            return 2;
        }
    }
    product.Load(modelName);

    DialModel model;
    const LoadResult loaded = LoadDialFile(request.listFile, model, product);
    if (!loaded.readable) {
        std::fprintf(stderr, "dialvane: %s\n", loaded.readError.c_str());
        return 2;
    }
    // A sheet from a list with errors would be taken for the list the MFP holds.
    if (!loaded.errorLines.empty()) {
        for (const std::string& line : loaded.errorLines) {
            std::fprintf(stderr, "%s\n", line.c_str());
        }
        return 1;
    }
    const DialListHeading heading{
        modelName, {}, request.listFile, QDate::currentDate().toString(Qt::ISODate)};
    const std::unique_ptr<QTextDocument> document = DialListDocument(model, product, heading);
    std::string error;
    if (!WriteDialListPdf(request.output, *document, &error)) {
        std::fprintf(stderr, "dialvane: %s\n",
                     Text(Msg::PrintPdfWriteError, request.output, error).c_str());
        return 1;
    }
    return 0;
}

}  // namespace dialvane
