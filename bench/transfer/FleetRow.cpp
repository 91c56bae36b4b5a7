#include <cstdio>

#include "Rows.h"

namespace dialvane::bench {

bool FleetRow(const BenchOptions& options) {
    constexpr int kFirstHost = 101;
    constexpr int kDevices = 10;
    constexpr int kDelayMs = 20;
    std::vector<std::unique_ptr<MfpEmulator>> devices;
    std::vector<std::string> fleetArguments = {"upload", FullListPath(options), "--verify",
                                               "--jobs", std::to_string(kDevices)};
    for (int i = 0; i < kDevices; ++i) {
        devices.push_back(StartMfp(options, Address(options, kFirstHost + i), kDelayMs));
        if (!devices.back()) {
            return false;
        }
        fleetArguments.insert(fleetArguments.end(), {"--host", Address(options, kFirstHost + i)});
    }
    const std::string single = Address(options, kFirstHost);
    std::vector<Measure> singles;
    std::vector<Measure> fleets;
    for (int run = 0; run < options.repeats; ++run) {
        const std::size_t before = devices.front()->Transcript().size();
        Measure one =
            RunCli(options, {"upload", "--host", single, FullListPath(options), "--verify"},
                   (options.folder / "fleet-data").string());
        one.what = "cli upload+verify, 1 MFP";
        one.delayMs = kDelayMs;
        one.commands = static_cast<int>(devices.front()->Transcript().size() - before);
        singles.push_back(one);
        Measure all = RunCli(options, fleetArguments, (options.folder / "fleet-data").string());
        all.what = "cli upload+verify, 10 MFPs";
        all.delayMs = kDelayMs;
        all.commands = one.commands;
        fleets.push_back(all);
    }
    const Measure one = MedianRun(singles);
    const Measure all = MedianRun(fleets);
    Print(one);
    Print(all);
    const long peakKb = HighestPeakKb(fleets);
    std::printf(
        "  fleet wall / single wall %.3f (median of %d; at most 1.3)   fleet peak resident "
        "memory %.1f MB (highest of %d; under 40)\n",
        all.seconds / one.seconds, options.repeats, peakKb / 1024.0, options.repeats);
    for (auto& device : devices) {
        device->Stop();
    }
    return one.ok && all.ok;
}

}  // namespace dialvane::bench
