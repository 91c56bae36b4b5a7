// mfp-emulator: serves an emulated MFP fax dial list on a TCP port until SIGINT or SIGTERM.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "MfpEmulator.h"
#include "data/ProductInfo.h"

namespace {

constexpr const char* kUsage =
    "usage: mfp-emulator [--address 127.0.0.1] [--port 9100] [--model NAME]\n"
    "                    [--format normal|extended] [--short-sender] [--settings FILE]\n"
    "                    [--load FILE] [--dump-on-exit FILE] [--delay MS]\n"
    "                    [--usb-pty LINK [--device-id TEXT]]\n";

bool ParseNumber(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= low && value <= high;
}

}  // namespace

int main(int argc, char** argv) {
    dialvane::MfpEmulatorOptions options;
    std::string load;
    std::string dump;
    long delay = 0;
    bool formatGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long number = 0;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--short-sender") {
            options.longSenderSupported = false;
        } else if (!hasValue) {
            std::fprintf(stderr, "mfp-emulator: unknown option or missing value: %s\n%s", argv[i],
                         kUsage);
            return 2;
        } else if (arg == "--address") {
            options.address = argv[++i];
        } else if (arg == "--port" && ParseNumber(argv[i + 1], 0, 65535, number)) {
            options.port = static_cast<std::uint16_t>(number);
            ++i;
        } else if (arg == "--model") {
            options.model = argv[++i];
        } else if (arg == "--format" && (std::string_view(argv[i + 1]) == "normal" ||
                                         std::string_view(argv[i + 1]) == "extended")) {
            options.extendedFormat = std::string_view(argv[++i]) == "extended";
            formatGiven = true;
        } else if (arg == "--settings") {
            options.settingsPath = argv[++i];
        } else if (arg == "--usb-pty") {
            options.usbPtyLink = argv[++i];
        } else if (arg == "--device-id") {
            options.deviceId = argv[++i];
        } else if (arg == "--load") {
            load = argv[++i];
        } else if (arg == "--dump-on-exit") {
            dump = argv[++i];
        } else if (arg == "--delay" && ParseNumber(argv[i + 1], 0, 600000, number)) {
            delay = number;
            ++i;
        } else {
            std::fprintf(stderr, "mfp-emulator: bad option: %s %s\n%s", argv[i], argv[i + 1],
                         kUsage);
            return 2;
        }
    }

    // Without an explicit format the model's profile decides: quick-dial models keep their
    // records in the extended layout.
    if (!formatGiven && !options.settingsPath.empty()) {
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
    if (!load.empty() && !emulator.LoadUserFile(load, &error)) {
        std::fprintf(stderr, "mfp-emulator: cannot load %s:\n%s\n", load.c_str(), error.c_str());
        return 1;
    }
    dialvane::EmulatorFaults faults;
    faults.answerDelayMs = static_cast<int>(delay);
    emulator.SetFaults(faults);
    if (!emulator.Start(&error)) {
        std::fprintf(stderr, "mfp-emulator: %s\n", error.c_str());
        return 1;
    }
    if (!options.usbPtyLink.empty()) {
        std::printf("mfp-emulator: %s on USB stand-in %s, device ID %s (%s format)\n",
                    options.model.c_str(), options.usbPtyLink.c_str(), emulator.DeviceId().c_str(),
                    options.extendedFormat ? "extended" : "normal");
    } else {
        std::printf("mfp-emulator: %s listening on %s:%u (%s format)\n", options.model.c_str(),
                    options.address.c_str(), static_cast<unsigned>(emulator.Port()),
                    options.extendedFormat ? "extended" : "normal");
    }
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    emulator.Stop();

    for (const std::string& problem : emulator.Problems()) {
        std::fprintf(stderr, "mfp-emulator: %s\n", problem.c_str());
    }
    if (!dump.empty() && !emulator.DumpUserFile(dump, &error)) {
        std::fprintf(stderr, "mfp-emulator: cannot write %s: %s\n", dump.c_str(), error.c_str());
        return 1;
    }
    return 0;
}
