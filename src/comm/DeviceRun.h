#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/CharConv.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "protocol/Commands.h"
#include "protocol/ExchangeEngine.h"

namespace dialvane {

enum class RunMode : int { Download = 0, Upload = 1, NetworkTest = 2, ChannelTest = 3 };

// A printer model name with its short name, as configured; the network test shows the first
// printer model whose short name contains the name the device reported.
struct ModelPair {
    std::string printerModel;
    std::string shortName;
};

struct RunRequest {
    RunMode mode = RunMode::ChannelTest;
    std::string text;              // download: the file the received dial list is written to
    RecordTable* table = nullptr;  // download and upload
    const TProductInfo* product = nullptr;  // download and upload
    std::string downloadFile;  // "TELDIR_TOOL.TMP": where an upload writes what it read back
    std::string sendFile;      // "MFP_VERIFY.TMP": what an upload sends, for the verify
    // The encoding of the files the run writes; nullopt: the code page of the product.
    std::optional<FileEncoding> fileEncoding;
    std::vector<ModelPair> modelPairs;         // network test
    IDeviceChannel* networkChannel = nullptr;  // network test: used in place of the channel
    // False: a successful run ends without its completion message (a read taken as a backup is
    // one step of a send, not a result of its own). Failures are always reported.
    bool reportSuccess = true;
    // False: a failure is neither shown nor announced; the caller words one message of its own
    // from the result (the transfer workflow, which knows the phase and what changed).
    bool reportFailure = true;
    // The status shown while the records travel, in place of the direction's own text (a read
    // taken as a backup is not a download to the user).
    std::optional<Msg> transferStage;
    // Read the list back after an upload even when the settings do not ask for it (a restore).
    bool forceVerify = false;
    // Called before the sender-name and product messages, and when a network test starts.
    std::function<void()> updateMainWindow;
};

struct RunResult {
    bool success = false;
    bool stopped = false;  // ended by a confirmed user stop
    // An upload reached its first cancellation: from then on the MFP may hold only part of a
    // list, whatever the outcome.
    bool cancellationRan = false;
    // An upload had sent everything and was reading the list back to compare it.
    bool verifyStarted = false;
    std::string completionText;  // the one "Completion Result" message of a transfer
    PromptIcon completionIcon = PromptIcon::None;
    std::string errorText;        // CR LF "( " + the error that ended the run + " )"
    std::string modelName;        // the name the device reported
    int channelTestResult = 1;    // channel test: 0 success, 1 failure
    std::string networkTestText;  // network test: the OK or NG line
    std::string failureCause;     // network test: why it failed
};

// One communication run: a download (0), an upload (1), the network test (2) or the channel
// test (3), carried out on the calling thread (UThread gives it a thread of its own). Progress
// and questions go through the engine's IProgress and IPrompt, never to a window directly.
class DeviceRun {
  public:
    DeviceRun(ExchangeEngine& engine, RunRequest request);
    DeviceRun(const DeviceRun&) = delete;
    DeviceRun& operator=(const DeviceRun&) = delete;

    void Execute();
    // Program close, from any thread: the run stops at its next wait (after the stop question)
    // and ends.
    void Terminate();

    const RunResult& Result() const { return result_; }

    // The step tables: (MID, keep the answer).
    struct Step {
        std::uint8_t mid;
        bool wantData;
    };
    static std::vector<Step> StepTable(RunMode mode, bool verify);

  private:
    struct QuietFailure {};

    void RunTransfer();
    void RunSequence();
    void RunStep(const Step& step);
    void FinishTransfer(bool sequenceOk);
    void RunNetworkTest();
    void RunChannelTest();
    void VerifyReadBack() const;
    void Stage(Msg message);
    void Bar(int step, long long done = 0, long long total = 1);
    std::string DisplayName(const std::string& reported) const;

    ExchangeEngine& engine_;
    CommandLayer commands_;
    RunRequest request_;
    RunResult result_;
    std::atomic<bool> terminate_{false};

    // Flags of one run.
    bool needsLongSender_ = false;
    int featureMask_ = 0;
    bool parametersReadable_ = false;
    bool longSenderSupported_ = false;
    bool extendedSupported_ = false;
    bool abortSender_ = false;
    bool abortFeatures_ = false;
};

}  // namespace dialvane
