// mfp-emulator: serves an emulated MFP fax dial list on a TCP port until SIGINT or SIGTERM.

#include <getopt.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "MfpEmulator.h"
#include "data/ProductInfo.h"
#include "support/Version.h"

namespace {

struct EmulatorSettings {
    dialvane::MfpEmulatorOptions options;
    dialvane::EmulatorFaults faults;
    std::string load;
    std::string dump;
    bool formatGiven = false;
};

// Stores the number when `text` is one within [low, high]; false (and `target` untouched)
// otherwise.
template <typename T>
bool StoreNumber(const char* text, long low, long high, T& target) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 0);
    if (end == text || *end != '\0' || value < low || value > high) {
        return false;
    }
    target = static_cast<T>(value);
    return true;
}

// One option: adding one is one row here. `apply` gets nullptr for a flag and returns false
// when the value is not acceptable.
struct EmulatorOption {
    const char* name;
    const char* valueName;  // nullptr: a flag
    const char* help;
    bool (*apply)(EmulatorSettings& settings, const char* value);
};

const std::array kOptions{
    EmulatorOption{"address", "ADDR", "IPv4 address to listen on (default 127.0.0.1)",
                   [](EmulatorSettings& s, const char* v) {
                       s.options.address = v;
                       return true;
                   }},
    EmulatorOption{"port", "PORT", "TCP port (default 9100; 0 picks a free one)",
                   [](EmulatorSettings& s, const char* v) {
                       return StoreNumber(v, 0, 65535, s.options.port);
                   }},
    EmulatorOption{"model", "NAME", "model name the MFP reports (default DX-R7700)",
                   [](EmulatorSettings& s, const char* v) {
                       s.options.model = v;
                       return true;
                   }},
    EmulatorOption{"format", "normal|extended",
                   "record layout: extended (keywords, 200 speed dials, 12 quick dials) or "
                   "normal (60 speed dials, one-touch buttons A to C); default: from the model's "
                   "profile with --settings, else extended",
                   [](EmulatorSettings& s, const char* v) {
                       s.options.extendedFormat = std::string_view(v) == "extended";
                       s.formatGiven = true;
                       return s.options.extendedFormat || std::string_view(v) == "normal";
                   }},
    EmulatorOption{"short-sender", nullptr,
                   "accept only 34-byte sender names (16 characters), as older models do; a "
                   "longer sender name from --load is cut to fit",
                   [](EmulatorSettings& s, const char*) {
                       s.options.longSenderSupported = false;
                       return true;
                   }},
    EmulatorOption{"settings", "FILE",
                   "program settings file whose profile of the model limits what --load accepts",
                   [](EmulatorSettings& s, const char* v) {
                       s.options.settingsPath = v;
                       return true;
                   }},
    EmulatorOption{"load", "FILE", "dial list file the MFP holds at start",
                   [](EmulatorSettings& s, const char* v) {
                       s.load = v;
                       return true;
                   }},
    EmulatorOption{"dump-on-exit", "FILE", "write the dial list the MFP holds to FILE at exit",
                   [](EmulatorSettings& s, const char* v) {
                       s.dump = v;
                       return true;
                   }},
    EmulatorOption{"usb-pty", "LINK",
                   "serve over USB instead: a pseudo-terminal in raw mode whose slave side LINK "
                   "points to, for the Device= entry of the channel library's mapping file",
                   [](EmulatorSettings& s, const char* v) {
                       s.options.usbPtyLink = v;
                       return *v != '\0';
                   }},
    EmulatorOption{"device-id", "TEXT",
                   "IEEE 1284 device ID the USB stand-in reports (default: one naming the model)",
                   [](EmulatorSettings& s, const char* v) {
                       s.options.deviceId = v;
                       return true;
                   }},
    EmulatorOption{"delay", "MS", "fault: wait MS milliseconds (0 to 600000) before every answer",
                   [](EmulatorSettings& s, const char* v) {
                       return StoreNumber(v, 0, 600000, s.faults.answerDelayMs);
                   }},
    EmulatorOption{"busy-occupy", "N", "fault: answer the first N occupy starts with busy",
                   [](EmulatorSettings& s, const char* v) {
                       return StoreNumber(v, 0, 1000, s.faults.busyOccupyStarts);
                   }},
    EmulatorOption{"nop-result", "CODE",
                   "fault: result code of the fax board probe, e.g. 0xFD for no fax board "
                   "(default 0, present)",
                   [](EmulatorSettings& s, const char* v) {
                       return StoreNumber(v, 0, 0xFFFF, s.faults.nopResult);
                   }},
};

void PrintHelp() {
    std::printf(
        "Usage: dialvane-mfp-emulator [OPTION]...\n"
        "Serves the fax dial list of an emulated ORVEX colour MFP over TCP (or a USB stand-in) "
        "until\nSIGINT or SIGTERM, for trying dialvane and dialvane-cli without a "
        "device.\n\nOptions:\n");
    for (const EmulatorOption& option : kOptions) {
        std::string synopsis = std::string("  --") + option.name;
        if (option.valueName != nullptr) {
            synopsis += std::string("=") + option.valueName;
        }
        // On the option's line, as help2man expects for a man page entry.
        std::printf("%-28s%s\n", synopsis.c_str(), option.help);
    }
    std::printf(
        "  -h, --help                show this help\n"
        "  -V, --version             show the program's name and version\n\n"
        "Exit status:\n"
        "  0  stopped by SIGINT or SIGTERM\n"
        "  1  the file could not be loaded or written, or the port could not be opened\n"
        "  2  usage error\n");
}

// nullopt: go on serving; otherwise the exit status.
std::optional<int> ParseOptions(int argc, char** argv, EmulatorSettings& settings) {
    constexpr int kHelp = 'h';
    constexpr int kVersion = 'V';
    constexpr int kFirstRow = 256;
    std::vector<option> longOptions;
    for (size_t i = 0; i < kOptions.size(); ++i) {
        longOptions.push_back({kOptions[i].name,
                               kOptions[i].valueName ? required_argument : no_argument, nullptr,
                               kFirstRow + static_cast<int>(i)});
    }
    longOptions.push_back({"help", no_argument, nullptr, kHelp});
    longOptions.push_back({"version", no_argument, nullptr, kVersion});
    longOptions.push_back({nullptr, 0, nullptr, 0});
    opterr = 0;
    int code = 0;
    while ((code = getopt_long(argc, argv, ":hV", longOptions.data(), nullptr)) != -1) {
        if (code == kHelp) {
            PrintHelp();
            return 0;
        }
        if (code == kVersion) {
            std::printf("dialvane-mfp-emulator (%s) %s\n", dialvane::ProductName().c_str(),
                        dialvane::ProductVersion().c_str());
            return 0;
        }
        if (code >= kFirstRow) {
            const EmulatorOption& row = kOptions[static_cast<size_t>(code - kFirstRow)];
            if (row.apply(settings, optarg)) {
                continue;
            }
            std::fprintf(stderr, "dialvane-mfp-emulator: invalid value for --%s: %s\n", row.name,
                         optarg);
        } else if (code == ':') {
            std::fprintf(stderr, "dialvane-mfp-emulator: option %s needs a value\n",
                         argv[optind - 1]);
        } else {
            std::fprintf(stderr, "dialvane-mfp-emulator: unknown option: %s\n", argv[optind - 1]);
        }
        std::fprintf(stderr, "Try 'dialvane-mfp-emulator --help' for more information.\n");
        return 2;
    }
    if (optind < argc) {
        std::fprintf(stderr, "dialvane-mfp-emulator: unexpected argument: %s\n", argv[optind]);
        return 2;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    EmulatorSettings settings;
    if (const std::optional<int> status = ParseOptions(argc, argv, settings)) {
        return *status;
    }
    dialvane::MfpEmulatorOptions& options = settings.options;

    // Without an explicit format the model's profile decides: quick-dial models keep their
    // records in the extended layout.
    if (!settings.formatGiven && !options.settingsPath.empty()) {
        dialvane::TProductInfo product(options.settingsPath);
        product.Load(options.model);
        options.extendedFormat = !product.OneTouch();
    }
    // Signals are taken by sigwait below, so every thread must have them blocked.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    dialvane::MfpEmulator emulator(options);
    std::string error;
    if (!settings.load.empty() && !emulator.LoadUserFile(settings.load, &error)) {
        std::fprintf(stderr, "dialvane-mfp-emulator: cannot load %s:\n%s\n", settings.load.c_str(),
                     error.c_str());
        return 1;
    }
    emulator.SetFaults(settings.faults);
    if (!emulator.Start(&error)) {
        std::fprintf(stderr, "dialvane-mfp-emulator: %s\n", error.c_str());
        return 1;
    }
    if (!options.usbPtyLink.empty()) {
        std::printf("dialvane-mfp-emulator: %s on USB stand-in %s, device ID %s (%s format)\n",
                    options.model.c_str(), options.usbPtyLink.c_str(), emulator.DeviceId().c_str(),
                    options.extendedFormat ? "extended" : "normal");
    } else {
        std::printf("dialvane-mfp-emulator: %s listening on %s:%u (%s format)\n",
                    options.model.c_str(), options.address.c_str(),
                    static_cast<unsigned>(emulator.Port()),
                    options.extendedFormat ? "extended" : "normal");
    }
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    emulator.Stop();

    for (const std::string& problem : emulator.Problems()) {
        std::fprintf(stderr, "dialvane-mfp-emulator: %s\n", problem.c_str());
    }
    if (!settings.dump.empty() && !emulator.DumpUserFile(settings.dump, &error)) {
        std::fprintf(stderr, "dialvane-mfp-emulator: cannot write %s: %s\n", settings.dump.c_str(),
                     error.c_str());
        return 1;
    }
    return 0;
}
