#include "CliCommands.h"

#include <ostream>

#include "ImportCommand.h"
#include "StandardStreams.h"
#include "SyncCommand.h"
#include "TerminalPrompt.h"
#include "TransferCommands.h"
#include "UserFileEncoding.h"
#include "comm/TransferWorkflow.h"
#include "data/CharConv.h"
#include "data/DialFileLoader.h"
#include "data/DownloadWriter.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "data/TextChecks.h"
#include "support/DiagnosticLog.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

// The configured models, for the message about one that is not.
std::string ModelList(const TProductInfo& product) {
    std::string list;
    for (const std::string& model : product.ConfiguredModels()) {
        list += (list.empty() ? "" : ", ") + model;
    }
    return list;
}

bool IsConfigured(const TProductInfo& product, const std::string& model) {
    for (const std::string& configured : product.ConfiguredModels()) {
        if (EqualsIgnoreCase(configured, model)) {
            return true;
        }
    }
    return false;
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

StartupOptions StartupFor(const CliOptions& options) {
    StartupOptions startup;
    if (!options.settingsPath.empty()) {
        startup.settingsFile = options.settingsPath;
    }
    if (!options.dataDir.empty()) {
        startup.dataFolder = options.dataDir;
    }
    return startup;
}

Environment StartCliEnvironment(const CliOptions& options) {
    return StartEnvironment(StartupFor(options));
}

TextRules CliTextRules(const Environment& environment) {
    return TextRulesForLanguage(environment.settings.lang);
}

std::string GeneralErrorText(const std::string& text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
        return text + ".";
    }
    return text;
}

int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err) {
    const StartupOptions startup = StartupFor(options);
    if (const std::string problem = CheckStartupOptions(startup); !problem.empty()) {
        err << "dialvane-cli: " << problem << '\n';
        return kExitUsage;
    }
    // A copy of the program without its settings still runs, but says why its limits differ.
    if (!startup.settingsFile &&
        FindProgramSettingsFile(FolderOfPath(CurrentProgramPath())).empty()) {
        err << "dialvane-cli: " << Text(Msg::SettingsFileNone) << '\n';
    }
    if (IsTransferCommand(options.command)) {
        return RunTransferCommand(options, out, err);
    }
    if (options.command == "import") {
        return RunImportCommand(options, out, err);
    }
    if (options.command == "sync") {
        return RunSyncCommand(options, out, err);
    }
    SetLogFailurePrompt(TerminalPrompt::ForStandardStreams());
    const Environment environment = StartCliEnvironment(options);
    const ProgramSettings& settings = environment.settings;
    const std::string& settingsPath = environment.programSettingsFile;

    TProductInfo product(settingsPath, CliTextRules(environment));
    if (!options.model.empty() && !IsConfigured(product, options.model)) {
        err << "dialvane-cli: "
            << Text(Msg::ModelUnknown, options.model, settingsPath, ModelList(product)) << '\n';
        return kExitUsage;
    }
    product.Load(options.model.empty() ? settings.offlineTarget : options.model);

    DialModel model;
    const LoadResult loaded = LoadUserFile(options, model, product, [&err](const std::string& w) {
        err << "dialvane-cli: " << w << '\n';
    });
    if (std::optional<int> status = ReportLoad(loaded, out, err)) {
        return *status;
    }
    RecordTable table(product);
    try {
        table.BuildFromModel(model);
        CheckListSendable(table, product);
    } catch (const std::runtime_error& e) {
        err << GeneralErrorText(e.what()) << '\n';
        return kExitErrors;
    }
    if (options.command == "check") {
        return kExitOk;
    }
    if (std::optional<int> status = WriteWholeResult(
            options.output, environment.paths.dataFolder, out, err,
            [&](const std::string& path, std::string* error) {
                return WriteDownloadFile(path, table, error, kNewFileMode,
                                         UserFileEncoding(options, product.Rules()));
            })) {
        return *status;
    }
    return kExitOk;
}

}  // namespace dialvane
