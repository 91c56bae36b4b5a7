#include "ImportCommand.h"

#include <ostream>

#include "CardDavImport.h"
#include "CliCommands.h"
#include "StandardStreams.h"
#include "UserFileEncoding.h"
#include "contacts/CardDavClient.h"
#include "contacts/ContactSource.h"
#include "contacts/ContactText.h"
#include "contacts/DialListMerge.h"
#include "contacts/ImportPlan.h"
#include "data/DialFileWriter.h"
#include "data/RecordKey.h"
#include "data/RecordTable.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

constexpr const char* kPrefix = "dialvane-cli: ";

bool LoadModel(TProductInfo& product, const CliOptions& options, const Environment& environment,
               std::ostream& err) {
    if (options.model.empty()) {
        product.Load(environment.settings.offlineTarget);
        return true;
    }
    std::string list;
    for (const std::string& model : product.ConfiguredModels()) {
        if (EqualsIgnoreCase(model, options.model)) {
            product.Load(options.model);
            return true;
        }
        list += (list.empty() ? "" : ", ") + model;
    }
    err << kPrefix << Text(Msg::ModelUnknown, options.model, environment.programSettingsFile, list)
        << '\n';
    return false;
}

std::vector<CsvColumnMapping> Mappings(const CliOptions& options) {
    std::vector<CsvColumnMapping> mappings;
    for (const std::string& map : options.maps) {
        const size_t equals = map.find('=');
        mappings.push_back({map.substr(0, equals), map.substr(equals + 1)});
    }
    return mappings;
}

// The list given with --merge, through the editor loader like any user file.
std::optional<int> LoadCurrentList(const CliOptions& options, const TProductInfo& product,
                                   DialModel& current, std::ostream& err) {
    CliOptions mergeOptions = options;
    mergeOptions.file = options.merge;
    const LoadResult loaded = LoadUserFile(mergeOptions, current, product);
    if (!loaded.readable) {
        err << loaded.readError << '\n';
        return kExitUsage;
    }
    if (!loaded.errorLines.empty()) {
        err << kPrefix << Text(Msg::ImportMergeFileErrors, options.merge) << '\n';
        for (const std::string& line : loaded.errorLines) {
            err << line << '\n';
        }
        return kExitUsage;
    }
    return std::nullopt;
}

void PrintSummary(const ImportPlan& plan, const MergedDialList& merged, bool verbose,
                  std::ostream& err) {
    unsigned groups = 0;
    for (int g = 1; g <= kMaxGroups; ++g) {
        groups += merged.model.groups[static_cast<size_t>(g)].number != 0 ? 1 : 0;
    }
    err << Text(Msg::ImportSummary, static_cast<unsigned>(plan.dials.size()),
                static_cast<unsigned>(plan.contactsUsed), groups)
        << '\n';
    PrintLeftOut(plan, err);
    for (const std::string& dropped : merged.dropped) {
        err << Text(Msg::ImportDropped, dropped) << '\n';
    }
    if (!verbose) {
        return;
    }
    for (int n = 1; n <= kMaxSpeedDials; ++n) {
        const SpeedDialEntry& entry = merged.model.speedDials[static_cast<size_t>(n)];
        if (entry.key.empty()) {
            continue;
        }
        for (const ImportedDial& dial : plan.dials) {
            if (dial.number == entry.faxNumber && dial.name == entry.name) {
                err << Text(Msg::ImportDialLine, entry.key, entry.name, entry.faxNumber, dial.found)
                    << '\n';
                break;
            }
        }
    }
    for (int g = 1; g <= kMaxGroups; ++g) {
        const GroupDialEntry& group = merged.model.groups[static_cast<size_t>(g)];
        if (group.number != 0) {
            err << Text(Msg::ImportGroupLine, FormatRecordKey('G', g), group.name,
                        static_cast<unsigned>(group.members.size()))
                << '\n';
        }
    }
    for (const std::string& name : plan.withoutFax) {
        err << Text(Msg::ImportWithoutFaxName, name) << '\n';
    }
}

}  // namespace

std::optional<int> PlanAddressBook(const CliOptions& options, const Environment& environment,
                                   ImportPlan& plan, std::ostream& err) {
    ContactRead read;
    if (IsCardDavUrl(options.file)) {
        if (std::optional<int> status = ReadCardDavContacts(options, read.contacts, err)) {
            return *status;
        }
    } else {
        read = ReadContactFile(options.file,
                               ContactSourceOptions{options.fromEncoding, Mappings(options)});
        if (!read.error.empty()) {
            err << kPrefix << read.error << '\n';
            return kExitUsage;
        }
    }
    const TextRules rules = CliTextRules(environment);
    plan = PlanImport(read.contacts, ReadDiallingSettings(environment.programSettingsFile),
                      UserFileEncoding(options, rules), rules);
    if (plan.needsCountryCode) {
        const std::string& file = environment.programSettingsFile;
        err << kPrefix
            << Text(Msg::ImportNeedsCountryCode, file.empty() ? kProgramSettingsName : file)
            << '\n';
        return kExitUsage;
    }
    return std::nullopt;
}

void PrintLeftOut(const ImportPlan& plan, std::ostream& err) {
    if (!plan.withoutFax.empty()) {
        err << Text(Msg::ImportWithoutFax, static_cast<unsigned>(plan.withoutFax.size())) << '\n';
    }
    for (const SkippedItem& skipped : plan.skipped) {
        err << Text(Msg::ImportSkipped, skipped.name, skipped.reason) << '\n';
    }
}

int RunImportCommand(const CliOptions& options, std::ostream& out, std::ostream& err) {
    const Environment environment = StartCliEnvironment(options);
    TProductInfo product(environment.programSettingsFile, CliTextRules(environment));
    if (!LoadModel(product, options, environment, err)) {
        return kExitUsage;
    }
    ImportPlan plan;
    if (std::optional<int> status = PlanAddressBook(options, environment, plan, err)) {
        return *status;
    }
    const FileEncoding encoding = UserFileEncoding(options, product.Rules());

    DialModel current;
    if (!options.merge.empty()) {
        if (std::optional<int> status = LoadCurrentList(options, product, current, err)) {
            return *status;
        }
    }
    const MergedDialList merged =
        MergeImport(plan, product, options.merge.empty() ? nullptr : &current);
    if (!merged.errors.empty()) {
        for (const std::string& error : merged.errors) {
            err << kPrefix << error << '\n';
        }
        err << Text(Msg::ImportNothingWritten) << '\n';
        return kExitErrors;
    }
    // The result passes the strict gate an upload passes, or it is not written.
    RecordTable table(product);
    try {
        table.BuildFromModel(merged.model);
    } catch (const std::runtime_error& e) {
        err << GeneralErrorText(e.what()) << '\n' << Text(Msg::ImportNothingWritten) << '\n';
        return kExitErrors;
    }

    if (std::optional<int> status =
            WriteWholeResult(options.output, environment.paths.dataFolder, out, err,
                             [&](const std::string& path, std::string* error) {
                                 return WriteDialLines(path, DialFileLines(merged.model, product),
                                                       error, kNewFileMode, encoding);
                             })) {
        return *status;
    }
    PrintSummary(plan, merged, options.verbose, err);
    return kExitOk;
}

}  // namespace dialvane
