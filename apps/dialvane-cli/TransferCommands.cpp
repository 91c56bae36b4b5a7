#include "TransferCommands.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <ostream>
#include <thread>

#include "CliCommands.h"
#include "HostTransfer.h"
#include "PrefixedLines.h"
#include "StandardStreams.h"
#include "StopSignals.h"
#include "TerminalPrompt.h"
#include "UserFileEncoding.h"
#include "comm/DeviceSession.h"
#include "data/CharConv.h"
#include "data/DialFileLoader.h"
#include "data/TextChecks.h"
#include "support/DiagnosticLog.h"
#include "support/Environment.h"
#include "support/FileUtil.h"
#include "support/Format.h"
#include "support/Messages.h"

namespace dialvane {
namespace {

// The log's own trouble is printed and gets its default answer: a transfer command never
// waits for the keyboard.
void SetMessagePrompt(std::ostream& messages) {
    SetLogFailurePrompt(std::make_shared<TerminalPrompt>(std::cin, messages, false));
}

// One MFP: results on `out`; progress, warnings and failures on `err`.
int RunSingle(const CliOptions& options, std::ostream& out, std::ostream& err) {
    if (!options.usb) {
        if (const std::string refused = HostRefusal(options.host); !refused.empty()) {
            err << "dialvane-cli: " << refused << '\n';
            return kExitUsage;
        }
    }
    // A file that cannot be read is a usage error, as for check, before any MFP is contacted.
    if ((options.command == "upload" || options.command == "diff") &&
        options.file != kStandardStream) {
        if (const std::string why = WhyNotReadable(options.file); !why.empty()) {
            err << Text(Msg::FileCannotRead) << "(" << options.file << ") " << why << '\n';
            return kExitUsage;
        }
    }
    if (options.command == "download" && options.output != kStandardStream) {
        if (const std::string why = WhyNotWritable(options.output); !why.empty()) {
            err << "dialvane-cli: " << Text(Msg::CliOutputNotWritable, options.output, why) << '\n';
            return kExitUsage;
        }
    }
    SetMessagePrompt(err);
    const Environment environment = StartCliEnvironment(options);
    int status = kExitErrors;
    {
        const bool terminal = isatty(STDIN_FILENO) != 0 && isatty(STDERR_FILENO) != 0;
        HostTransfer transfer(environment, options, options.host, out, err,
                              isatty(STDERR_FILENO) != 0, true, terminal && !options.yes);
        StopSignals signals([&transfer] { transfer.RequestStop(); });
        const HostOutcome outcome = transfer.Run(options.output);
        status = signals.Signalled() && !outcome.success ? kExitInterrupted : outcome.exitStatus;
    }
    SetLogFailurePrompt(nullptr);
    return status;
}

// --host in order, then the hosts file's lines; each MFP once.
bool CollectHosts(const CliOptions& options, std::vector<std::string>* hosts, std::string* error) {
    *hosts = options.hosts;
    if (!options.hostsFile.empty()) {
        std::ifstream file(options.hostsFile);
        if (!file) {
            *error = Text(Msg::CliHostsFileUnreadable, options.hostsFile);
            return false;
        }
        for (std::string line; std::getline(file, line);) {
            const std::size_t begin = line.find_first_not_of(" \t\r");
            if (begin == std::string::npos || line[begin] == '#') {
                continue;
            }
            const std::size_t end = line.find_last_not_of(" \t\r");
            hosts->push_back(line.substr(begin, end - begin + 1));
        }
    }
    std::vector<std::string> unique;
    for (const std::string& host : *hosts) {
        if (std::find(unique.begin(), unique.end(), host) == unique.end()) {
            unique.push_back(host);
        }
    }
    *hosts = std::move(unique);
    if (hosts->empty()) {
        *error = Text(Msg::CliNoHosts);
        return false;
    }
    for (const std::string& host : *hosts) {
        if (std::string refused = HostRefusal(host); !refused.empty()) {
            *error = std::move(refused);
            return false;
        }
    }
    return true;
}

// A download's file in the output folder, named after the MFP's address.
std::string DownloadFileFor(const std::string& folder, const std::string& host) {
    std::string name = host;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-') {
            c = '_';
        }
    }
    return (std::filesystem::path(folder) / (name + ".csv")).string();
}

void PrintSummary(std::ostream& out, const std::vector<std::string>& hosts,
                  const std::vector<HostOutcome>& outcomes) {
    std::vector<std::vector<std::string>> rows = {
        {Text(Msg::CliSummaryHost), Text(Msg::CliSummaryModel), Text(Msg::CliSummaryResult),
         Text(Msg::CliSummarySeconds)}};
    for (std::size_t i = 0; i < hosts.size(); ++i) {
        rows.push_back({hosts[i], outcomes[i].model.empty() ? "-" : outcomes[i].model,
                        outcomes[i].result, Format("%.1f", outcomes[i].seconds)});
    }
    std::vector<std::size_t> widths(3, 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < widths.size(); ++c) {
            widths[c] = std::max(widths[c], row[c].size());
        }
    }
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < widths.size(); ++c) {
            out << row[c] << std::string(widths[c] - row[c].size() + 2, ' ');
        }
        out << row[3] << '\n';
    }
}

// Several MFPs at once, each with its own session and files. Every line an MFP's run writes
// goes to `err` with the MFP's address in front; the summary table goes to `out`.
int RunFleet(const CliOptions& options, std::ostream& out, std::ostream& err,
             const FleetListPreparation& prepare = {}) {
    std::vector<std::string> hosts;
    std::string error;
    if (!CollectHosts(options, &hosts, &error)) {
        err << "dialvane-cli: " << error << '\n';
        return kExitUsage;
    }
    std::mutex errMutex;
    PrefixedLines general(err, errMutex, "");
    SetMessagePrompt(general);
    const Environment environment = StartCliEnvironment(options);

    // What cannot differ between the MFPs is checked once, before any of them is contacted.
    if (options.command == "upload") {
        TProductInfo product(environment.programSettingsFile, CliTextRules(environment));
        DialModel model;
        const LoadResult loaded = LoadUserFile(options, model, product);
        if (!loaded.readable) {
            general << TerminalText(loaded.readError) << '\n';
            return kExitUsage;
        }
    } else if (!prepare) {
        if (options.output == kStandardStream) {
            general << "dialvane-cli: " << Text(Msg::CliOneOutputPerMfp) << '\n';
            return kExitUsage;
        }
        std::error_code failed;
        std::filesystem::create_directories(options.output, failed);
        if (failed) {
            general << options.output << ": " << failed.message() << '\n';
            return kExitUsage;
        }
    }

    CurrentListSource fromCurrent;
    if (prepare) {
        if (std::optional<int> status = prepare(environment, general, fromCurrent)) {
            return *status;
        }
    }

    std::vector<std::unique_ptr<PrefixedLines>> lines;
    std::vector<std::unique_ptr<HostTransfer>> transfers;
    for (const std::string& host : hosts) {
        lines.push_back(std::make_unique<PrefixedLines>(err, errMutex, host + ": "));
        transfers.push_back(std::make_unique<HostTransfer>(
            environment, options, host, *lines.back(), *lines.back(), false, true));
        if (fromCurrent) {
            transfers.back()->BuildFromCurrent(fromCurrent);
        }
    }
    std::vector<HostOutcome> outcomes(hosts.size());
    {
        StopSignals signals([&transfers] {
            for (const auto& transfer : transfers) {
                transfer->RequestStop();
            }
        });
        std::atomic<std::size_t> next{0};
        std::vector<std::thread> workers;
        const std::size_t jobs =
            std::min<std::size_t>(static_cast<std::size_t>(options.jobs), hosts.size());
        for (std::size_t j = 0; j < jobs; ++j) {
            workers.emplace_back([&] {
                for (std::size_t i; (i = next++) < hosts.size();) {
                    outcomes[i] = transfers[i]->Run(DownloadFileFor(options.output, hosts[i]));
                    lines[i]->Finish();
                }
            });
        }
        for (std::thread& worker : workers) {
            worker.join();
        }
        transfers.clear();
        PrintSummary(out, hosts, outcomes);
        const bool allDone = std::all_of(outcomes.begin(), outcomes.end(),
                                         [](const HostOutcome& o) { return o.success; });
        SetLogFailurePrompt(nullptr);
        if (allDone) {
            return kExitOk;
        }
        return signals.Signalled() ? kExitInterrupted : kExitErrors;
    }
}

}  // namespace

bool IsTransferCommand(const std::string& command) {
    return command == "test" || command == "download" || command == "upload" || command == "diff" ||
           command == "restore";
}

int RunTransferCommand(const CliOptions& options, std::ostream& out, std::ostream& err) {
    if (options.command == "test" || options.usb ||
        (options.hosts.size() <= 1 && options.hostsFile.empty())) {
        return RunSingle(options, out, err);
    }
    return RunFleet(options, out, err);
}

int RunOnEveryHost(const CliOptions& options, std::ostream& out, std::ostream& err,
                   const FleetListPreparation& prepare) {
    return RunFleet(options, out, err, prepare);
}

}  // namespace dialvane
