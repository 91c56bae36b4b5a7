// Times whole transfers of the largest dial list against emulated MFPs. The floor of a run is
// its device commands times the answer delay; the zero-work reference client shows what the
// emulator and the loopback wire cost on top, and a run should cost little more than that.
//
//   bench_transfer [--net 0] [--delays 0,20] [--repeats 3] [--rows transfer,cli,usb,...]
//
// Run it niced: the timing of other busy processes shows up in the medians.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>

#include "Rows.h"

namespace {

using namespace dialvane::bench;

struct BenchRow {
    const char* name;
    bool (*run)(const BenchOptions&);
};

constexpr BenchRow kRows[] = {
    {"transfer", TransferRows}, {"cli", CliRow},   {"usb", UsbRow},
    {"fleet", FleetRow},        {"sync", SyncRow},
};

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream list(text);
    for (std::string item; std::getline(list, item, ',');) {
        items.push_back(item);
    }
    return items;
}

}  // namespace

int main(int argc, char** argv) {
    BenchOptions options;
    std::set<std::string> rows;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--net") {
            options.net = std::stoi(value);
        } else if (option == "--delays") {
            options.delays.clear();
            for (const std::string& item : SplitList(value)) {
                options.delays.push_back(std::stoi(item));
            }
        } else if (option == "--repeats") {
            options.repeats = std::max(1, std::stoi(value));
        } else if (option == "--rows") {
            for (const std::string& item : SplitList(value)) {
                rows.insert(item);
            }
        } else {
            std::fprintf(stderr, "unknown option %s\n", option.c_str());
            return 2;
        }
    }
    options.folder = fs::temp_directory_path() / ("bench_transfer_" + std::to_string(getpid()));
    WriteInputs(options);
    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    std::printf("load average at start %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    bool allOk = true;
    for (const BenchRow& row : kRows) {
        if (rows.empty() || rows.count(row.name) != 0) {
            allOk = row.run(options) && allOk;
        }
    }
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    std::printf("benchmark process peak resident memory (emulators included) %.1f MB\n",
                self.ru_maxrss / 1024.0);
    getloadavg(load, 3);
    std::printf("load average at end %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    fs::remove_all(options.folder);
    return allOk ? 0 : 1;
}
