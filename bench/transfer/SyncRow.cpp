#include <cstdio>
#include <fstream>

#include "Rows.h"

namespace dialvane::bench {
namespace {

constexpr int kContacts = 200;
constexpr int kCategories = 20;

// As many contacts as the model has speed dials, ten to a category, with national numbers so
// that no COUNTRY_CODE is needed.
std::string WriteAddressBook(const BenchOptions& options) {
    const std::string path = (options.folder / "book.vcf").string();
    std::ofstream out(path, std::ios::binary);
    for (int i = 1; i <= kContacts; ++i) {
        char card[256];
        std::snprintf(card, sizeof card,
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:c%03d\r\nFN:Contact %03d\r\n"
                      "TEL;TYPE=WORK,FAX:030 555 %04d\r\nCATEGORIES:Team %02d\r\nEND:VCARD\r\n",
                      i, i, i, (i - 1) % kCategories + 1);
        out << card;
    }
    return path;
}

}  // namespace

bool SyncRow(const BenchOptions& options) {
    constexpr int kSingleHost = 111;
    constexpr int kFirstFleetHost = 112;
    constexpr int kDevices = 50;
    constexpr int kDelayMs = 20;
    const std::string book = WriteAddressBook(options);
    const std::string data = (options.folder / "sync-data").string();
    std::unique_ptr<MfpEmulator> single =
        StartMfp(options, Address(options, kSingleHost), kDelayMs);
    std::vector<std::unique_ptr<MfpEmulator>> fleet;
    std::vector<std::string> fleetArguments = {"sync", book, "--jobs", std::to_string(kDevices)};
    for (int i = 0; i < kDevices; ++i) {
        fleet.push_back(StartMfp(options, Address(options, kFirstFleetHost + i), kDelayMs));
        if (!fleet.back() || !single) {
            return false;
        }
        fleetArguments.insert(fleetArguments.end(),
                              {"--host", Address(options, kFirstFleetHost + i)});
    }
    const std::vector<std::string> singleArguments = {"sync", book, "--host",
                                                      single->Options().address};
    auto commandsOf = [](MfpEmulator& device, auto&& run) {
        const std::size_t before = device.Transcript().size();
        Measure m = run();
        m.commands = static_cast<int>(device.Transcript().size() - before);
        return m;
    };

    std::vector<Measure> singles;
    std::vector<Measure> fleets;
    for (int run = 0; run < options.repeats; ++run) {
        // Every timed sync changes the whole list.
        single->LoadUserFile(FullListPath(options));
        for (auto& device : fleet) {
            device->LoadUserFile(FullListPath(options));
        }
        Measure one = commandsOf(*single, [&] { return RunCli(options, singleArguments, data); });
        one.what = "cli sync, 1 MFP";
        one.delayMs = kDelayMs;
        singles.push_back(one);
        Measure all =
            commandsOf(*fleet.front(), [&] { return RunCli(options, fleetArguments, data); });
        all.what = "cli sync, 50 MFPs";
        all.delayMs = kDelayMs;
        fleets.push_back(all);
    }
    // The single MFP holds the address book now: only the inquiry and the read.
    Measure same = commandsOf(*single, [&] { return RunCli(options, singleArguments, data); });
    same.what = "cli sync, 1 MFP unchanged";
    same.delayMs = kDelayMs;

    const Measure one = MedianRun(singles);
    const Measure all = MedianRun(fleets);
    Print(one);
    Print(all);
    Print(same);
    const long peakKb = HighestPeakKb(fleets);
    std::printf(
        "  sync 50 wall / sync 1 wall %.3f (median of %d; at most 1.3)   50-MFP peak resident "
        "memory %.1f MB (highest of %d; under 80)   commands unchanged %d / changed %d\n",
        all.seconds / one.seconds, options.repeats, peakKb / 1024.0, options.repeats, same.commands,
        one.commands);
    single->Stop();
    for (auto& device : fleet) {
        device->Stop();
    }
    return one.ok && all.ok && same.ok;
}

}  // namespace dialvane::bench
