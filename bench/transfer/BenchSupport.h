#pragma once

// What the rows of the transfer benchmark share: the dial list and settings they run with, an
// emulated MFP per address, an in-process transfer, the command-line program in a child
// process, and the printing of results.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "MfpEmulator.h"
#include "comm/UserThread.h"
#include "data/ProductInfo.h"

namespace dialvane::bench {

namespace fs = std::filesystem;

inline constexpr const char* kModel = "DX-R7700";

// Options every row reads.
struct BenchOptions {
    int net = 0;  // emulators listen on 127.<net>.0.x
    std::vector<int> delays = {0, 20};
    int repeats = 3;  // a timed run is repeated and its median reported
    fs::path folder;  // scratch folder of this benchmark run
};

std::string Address(const BenchOptions& options, int host);

// The largest dial list and the program settings (VERIFY on) in the scratch folder.
std::string FullListPath(const BenchOptions& options);
std::string SettingsPath(const BenchOptions& options);
void WriteInputs(const BenchOptions& options);

// An emulated MFP holding the full list, answering after `delayMs`.
std::unique_ptr<MfpEmulator> StartMfp(const BenchOptions& options, const std::string& address,
                                      int delayMs);
void SetDelay(MfpEmulator& device, int delayMs);

struct Measure {
    std::string what;
    int delayMs = 0;
    int commands = 0;
    double seconds = 0;
    bool ok = false;
    long peakKb = 0;  // runs in a child process only
};

// "what  delay  commands  wall  floor  ratio  ok".
void Print(const Measure& m);
double Median(std::vector<double> values);
// The run whose wall time is the median of `runs` (which must not be empty).
Measure MedianRun(std::vector<Measure> runs);
// The highest peak resident memory of `runs`, in KB.
long HighestPeakKb(const std::vector<Measure>& runs);

// One download or upload+verify in this process, through `channel` (a TCP transport to the
// MFP when null).
Measure RunInProcess(const BenchOptions& options, MfpEmulator& device, RunMode mode, int delayMs,
                     IDeviceChannel* channel = nullptr);

// The command-line program with these arguments (after --settings and --data-dir), its output
// dropped; wall time, exit status and peak resident memory of the child.
Measure RunCli(const BenchOptions& options, const std::vector<std::string>& arguments,
               const std::string& dataFolder);

}  // namespace dialvane::bench
