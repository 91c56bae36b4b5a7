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
    // The same upload with the backup read before it and without, side by side.
    bool ok = true;
    for (const bool backup : {true, false}) {
        std::vector<std::string> args = {"upload", "--host", address, FullListPath(options),
                                         "--verify"};
        if (!backup) {
            args.push_back("--no-backup");
        }
        const std::size_t before = device->Transcript().size();
        Measure m = RunCli(options, args, (options.folder / "cli-data").string());
        m.what = backup ? "cli upload+verify, backup read first" : "cli upload+verify --no-backup";
        m.commands = static_cast<int>(device->Transcript().size() - before);
        Print(m);
        std::printf("  cli peak resident memory %.1f MB\n", m.peakKb / 1024.0);
        ok = ok && m.ok;
    }
    device->Stop();
    return ok;
}

}  // namespace dialvane::bench
