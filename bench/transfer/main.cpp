// Times whole transfers of the largest dial list against the emulated MFP: a download and an
// upload with verify, with the device answering at once and after 20 ms. The floor of a run is
// its device commands times the answer delay; a run should cost little more than that. Also
// measures the peak resident memory of the command-line program doing the same upload.
//
//   bench_transfer [--address 127.0.0.90] [--delays 0,20]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "MfpEmulator.h"
#include "comm/RMsgThread.h"
#include "comm/UserThread.h"
#include "data/DialFileLoader.h"
#include "data/DownloadWriter.h"
#include "support/FileUtil.h"
#include "support/FullDialList.h"
#include "transport/TcpTransport.h"

namespace dialvane {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kModel = "DX-R7700";
constexpr const char* kSettings =
    "[DX-R7700]\nFaxType=1\n[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n"
    "[QNL_ENV]\nVERIFY=1\n";

std::string FullList() {
    return testing::FullDialList();
}

// Answers every question with its default; the benchmark only reads the result.
class SilentPrompt : public IPrompt {
  public:
    PromptAnswer Ask(const PromptRequest& request) override { return EffectiveDefault(request); }
};

struct Measure {
    std::string what;
    int delayMs = 0;
    int commands = 0;
    double seconds = 0;
    bool ok = false;
};

void Print(const Measure& m) {
    const double floor = m.commands * m.delayMs / 1000.0;
    std::printf("%-16s delay %3d ms  commands %5d  wall %8.3f s  floor %7.3f s  ratio %s  %s\n",
                m.what.c_str(), m.delayMs, m.commands, m.seconds, floor,
                floor > 0 ? std::to_string(m.seconds / floor).substr(0, 5).c_str() : "  -  ",
                m.ok ? "ok" : "FAILED");
}

class Bench {
  public:
    Bench(std::string address, fs::path folder) : address_(std::move(address)), folder_(folder) {
        fs::create_directories(folder_);
        WriteFileAtomic(Path("dialvane.ini"), kSettings);
        WriteFileAtomic(Path("full.csv"), FullList());
        MfpEmulatorOptions options;
        options.address = address_;
        options.model = kModel;
        device_ = std::make_unique<MfpEmulator>(options);
        product_ = std::make_unique<TProductInfo>(Path("dialvane.ini"));
        product_->Load(kModel);
    }

    bool Start() {
        std::string error;
        if (!device_->Start(&error)) {
            std::fprintf(stderr, "emulator: %s\n", error.c_str());
            return false;
        }
        return device_->LoadUserFile(Path("full.csv"), &error);
    }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

    void SetDelay(int ms) {
        EmulatorFaults faults;
        faults.answerDelayMs = ms;
        device_->SetFaults(faults);
    }

    Measure Run(RunMode mode, int delayMs) {
        EngineSettings settings;
        settings.env.timeout = 30000;
        settings.verify = true;
        ExchangeEngine engine(settings);
        TcpTransport tcp;
        tcp.SetAddresses({address_});
        SilentPrompt prompt;
        engine.SetChannel(&tcp);
        engine.SetPrompt(&prompt);
        RcvMsgThread receiver(engine);
        receiver.Start();

        RecordTable table(*product_);
        if (mode == RunMode::Upload) {
            DialModel model;
            LoadDialFile(Path("full.csv"), model, *product_);
            table.BuildFromModel(model);
            WriteDownloadFile(Path("MFP_VERIFY.TMP"), table, nullptr);
        }
        RunRequest request;
        request.mode = mode;
        request.text = Path("download.csv");
        request.table = &table;
        request.product = product_.get();
        request.downloadFile = Path("TELDIR_TOOL.TMP");
        request.sendFile = Path("MFP_VERIFY.TMP");

        const int before = static_cast<int>(device_->Transcript().size());
        const auto start = Clock::now();
        UThread worker(engine, request);
        worker.Execute();
        Measure m;
        m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        m.what = mode == RunMode::Upload ? "upload+verify" : "download";
        m.delayMs = delayMs;
        m.commands = static_cast<int>(device_->Transcript().size()) - before;
        m.ok = worker.Result().success;
        return m;
    }

    // The command-line program's upload with verify, in a process of its own.
    Measure RunCli(long* peakKb) {
        const std::string host = address_;
        const std::string settings = Path("dialvane.ini");
        const std::string data = Path("cli-data");
        const std::string file = Path("full.csv");
        const int before = static_cast<int>(device_->Transcript().size());
        const auto start = Clock::now();
        std::fflush(nullptr);  // the child must not write our buffered lines again
        const pid_t child = fork();
        if (child == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            execl(DIALVANE_CLI, DIALVANE_CLI, "--settings", settings.c_str(), "--data-dir",
                  data.c_str(), "upload", "--host", host.c_str(), file.c_str(), "--verify",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        Measure m;
        m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        m.what = "cli upload+verify";
        m.commands = static_cast<int>(device_->Transcript().size()) - before;
        m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        *peakKb = usage.ru_maxrss;
        return m;
    }

    void Stop() { device_->Stop(); }

  private:
    std::string address_;
    fs::path folder_;
    std::unique_ptr<MfpEmulator> device_;
    std::unique_ptr<TProductInfo> product_;
};

}  // namespace
}  // namespace dialvane

int main(int argc, char** argv) {
    using namespace dialvane;
    std::string address = "127.0.0.90";
    std::vector<int> delays = {0, 20};
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--address") {
            address = argv[i + 1];
        } else if (option == "--delays") {
            delays.clear();
            std::stringstream list(argv[i + 1]);
            std::string item;
            while (std::getline(list, item, ',')) {
                delays.push_back(std::stoi(item));
            }
        }
    }
    const fs::path folder =
        fs::temp_directory_path() / ("bench_transfer_" + std::to_string(getpid()));
    bool allOk = true;
    {
        Bench bench(address, folder);
        if (!bench.Start()) {
            return 2;
        }
        for (int delay : delays) {
            bench.SetDelay(delay);
            for (RunMode mode : {RunMode::Download, RunMode::Upload}) {
                const Measure m = bench.Run(mode, delay);
                Print(m);
                allOk = allOk && m.ok;
            }
        }
        bench.SetDelay(0);
        long peakKb = 0;
        const Measure cli = bench.RunCli(&peakKb);
        Print(cli);
        allOk = allOk && cli.ok;
        std::printf("cli peak resident memory %.1f MB\n", peakKb / 1024.0);
        rusage self{};
        getrusage(RUSAGE_SELF, &self);
        std::printf("benchmark process peak resident memory (emulator included) %.1f MB\n",
                    self.ru_maxrss / 1024.0);
        bench.Stop();
    }
    std::filesystem::remove_all(folder);
    return allOk ? 0 : 1;
}
