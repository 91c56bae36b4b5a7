#include "BenchSupport.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "comm/RcvMsgThread.h"
#include "data/DialFileLoader.h"
#include "data/DownloadWriter.h"
#include "support/FileUtil.h"
#include "support/FullDialList.h"
#include "transport/TcpTransport.h"

namespace dialvane::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kSettings =
    "[DX-R7700]\nFaxType=1\n[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n"
    "[QNL_ENV]\nVERIFY=1\n";

// Answers every question with its default; the benchmark only reads the result.
class SilentPrompt : public IPrompt {
  public:
    PromptAnswer Ask(const PromptRequest& request) override { return EffectiveDefault(request); }
};

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

std::string Address(const BenchOptions& options, int host) {
    return "127." + std::to_string(options.net) + ".0." + std::to_string(host);
}

std::string FullListPath(const BenchOptions& options) {
    return (options.folder / "full.csv").string();
}

std::string SettingsPath(const BenchOptions& options) {
    return (options.folder / "dialvane.ini").string();
}

void WriteInputs(const BenchOptions& options) {
    fs::create_directories(options.folder);
    WriteFileAtomic(SettingsPath(options), kSettings);
    WriteFileAtomic(FullListPath(options), testing::FullDialList());
}

std::unique_ptr<MfpEmulator> StartMfp(const BenchOptions& options, const std::string& address,
                                      int delayMs) {
    MfpEmulatorOptions emulatorOptions;
    emulatorOptions.address = address;
    emulatorOptions.model = kModel;
    auto device = std::make_unique<MfpEmulator>(emulatorOptions);
    std::string error;
    if (!device->Start(&error) || !device->LoadUserFile(FullListPath(options), &error)) {
        std::fprintf(stderr, "emulator %s: %s\n", address.c_str(), error.c_str());
        return nullptr;
    }
    SetDelay(*device, delayMs);
    return device;
}

void SetDelay(MfpEmulator& device, int delayMs) {
    EmulatorFaults faults;
    faults.answerDelayMs = delayMs;
    device.SetFaults(faults);
}

void Print(const Measure& m) {
    const double floor = m.commands * m.delayMs / 1000.0;
    std::printf("%-26s delay %3d ms  commands %5d  wall %8.3f s  floor %7.3f s  ratio %s  %s\n",
                m.what.c_str(), m.delayMs, m.commands, m.seconds, floor,
                floor > 0 ? std::to_string(m.seconds / floor).substr(0, 5).c_str() : "  -  ",
                m.ok ? "ok" : "FAILED");
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

long HighestPeakKb(const std::vector<Measure>& runs) {
    long peakKb = 0;
    for (const Measure& m : runs) {
        peakKb = std::max(peakKb, m.peakKb);
    }
    return peakKb;
}

Measure MedianRun(std::vector<Measure> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const Measure& a, const Measure& b) { return a.seconds < b.seconds; });
    Measure median = runs[runs.size() / 2];
    median.ok = std::all_of(runs.begin(), runs.end(), [](const Measure& m) { return m.ok; });
    return median;
}

Measure RunInProcess(const BenchOptions& options, MfpEmulator& device, RunMode mode, int delayMs,
                     IDeviceChannel* channel) {
    TProductInfo product(SettingsPath(options));
    product.Load(kModel);
    EngineSettings settings;
    settings.env.timeout = 30000;
    settings.verify = true;
    ExchangeEngine engine(settings);
    TcpTransport tcp;
    tcp.SetAddresses({device.Options().address});
    SilentPrompt prompt;
    engine.SetChannel(channel != nullptr ? channel : &tcp);
    engine.SetPrompt(&prompt);
    RcvMsgThread receiver(engine);
    receiver.Start();

    const fs::path folder = options.folder / "in-process";
    fs::create_directories(folder);
    RecordTable table(product);
    RunRequest request;
    request.mode = mode;
    request.text = (folder / "download.csv").string();
    request.table = &table;
    request.product = &product;
    request.downloadFile = (folder / "TELDIR_TOOL.TMP").string();
    request.sendFile = (folder / "MFP_VERIFY.TMP").string();
    if (mode == RunMode::Upload) {
        DialModel model;
        LoadDialFile(FullListPath(options), model, product);
        table.BuildFromModel(model);
        WriteDownloadFile(request.sendFile, table, nullptr);
    }

    const int before = static_cast<int>(device.Transcript().size());
    const auto start = Clock::now();
    UThread worker(engine, request);
    worker.Execute();
    Measure m;
    m.seconds = Since(start);
    m.what = mode == RunMode::Upload ? "upload+verify" : "download";
    m.delayMs = delayMs;
    m.commands = static_cast<int>(device.Transcript().size()) - before;
    m.ok = worker.Result().success;
    return m;
}

Measure RunCli(const BenchOptions& options, const std::vector<std::string>& arguments,
               const std::string& dataFolder) {
    std::vector<std::string> all = {DIALVANE_CLI, "--settings", SettingsPath(options), "--data-dir",
                                    dataFolder};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    fs::create_directories(dataFolder);

    const auto start = Clock::now();
    std::fflush(nullptr);  // the child must not write our buffered lines again
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execv(DIALVANE_CLI, argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    Measure m;
    m.seconds = Since(start);
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    m.peakKb = usage.ru_maxrss;
    return m;
}

}  // namespace dialvane::bench
