#include "CliCommands.h"

#include <ostream>

#include "TransferCommands.h"
#include "data/CharConv.h"
#include "data/DialFileLoader.h"
#include "data/DownloadWriter.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "data/TextChecks.h"
#include "protocol/DeviceRecords.h"
#include "support/Environment.h"
#include "support/TerminalPrompt.h"

namespace dialvane {
namespace {

// Reads both settings files, loads the language file and starts the log, as the desktop program
// does, with --settings and --data-dir in place of the files beside the program and the
// per-user data folder.
Environment StartCliEnvironment(const CliOptions& options) {
    StartupOptions startup;
    if (!options.settingsPath.empty()) {
        startup.settingsFile = options.settingsPath;
    }
    if (!options.dataDir.empty()) {
        startup.dataFolder = options.dataDir;
    }
    SetActivePrompt(TerminalPrompt::ForStandardStreams());
    return StartEnvironment(startup);
}

// Prints what the loader found; the exit status for a file that cannot go further.
std::optional<int> ReportLoad(const LoadResult& result, std::ostream& out, std::ostream& err) {
    if (!result.readable) {
        err << result.readError << '\n';
        return kExitUsage;
    }
    for (const std::string& line : result.errorLines) {
        out << line << '\n';
    }
    if (!result.errorLines.empty()) {
        return kExitErrors;
    }
    return std::nullopt;
}

}  // namespace

std::string GeneralErrorText(const std::string& text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
        return text + ".";
    }
    return text;
}

int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err) {
    if (IsTransferCommand(options.command)) {
        return RunTransferCommand(options, out, err);
    }
    const Environment environment = StartCliEnvironment(options);
    const ProgramSettings& settings = environment.settings;
    const std::string& settingsPath = environment.programSettingsFile;
    const bool japanese = settings.lang == "JPN";
    SetNarrowCodePage(japanese ? NarrowCodePage::Cp932 : NarrowCodePage::Windows1252);
    SetJapaneseNameRule(japanese);

    TProductInfo product(settingsPath);
    product.Load(options.model.empty() ? settings.offlineTarget : options.model);

    DialModel model;
    const LoadResult loaded = LoadDialFile(options.file, model, product);
    if (std::optional<int> status = ReportLoad(loaded, out, err)) {
        return *status;
    }
    RecordTable table(product);
    try {
        table.BuildFromModel(model);
        CheckEncodes(table, product);
    } catch (const std::runtime_error& e) {
        err << GeneralErrorText(e.what()) << '\n';
        return kExitErrors;
    }
    if (options.command == "check") {
        return kExitOk;
    }
    std::string error;
    if (!WriteDownloadFile(options.output, table, &error)) {
        err << error << '\n';
        return kExitUsage;
    }
    return kExitOk;
}

}  // namespace dialvane
