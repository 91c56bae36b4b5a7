#include <cstdio>

#include "Rows.h"

namespace dialvane::bench {

bool CliRow(const BenchOptions& options) {
    constexpr int kHost = 91;
    const std::string address = Address(options, kHost);
    std::unique_ptr<MfpEmulator> device = StartMfp(options, address, 0);
    if (!device) {
        return false;
    }
    const std::size_t before = device->Transcript().size();
    Measure m = RunCli(options, {"upload", "--host", address, FullListPath(options), "--verify"},
                       (options.folder / "cli-data").string());
    m.what = "cli upload+verify";
    m.commands = static_cast<int>(device->Transcript().size() - before);
    Print(m);
    std::printf("  cli peak resident memory %.1f MB\n", m.peakKb / 1024.0);
    device->Stop();
    return m.ok;
}

}  // namespace dialvane::bench
