#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "comm/RcvMsgThread.h"
#include "comm/UserThread.h"
#include "data/DialFileLoader.h"
#include "data/DownloadWriter.h"
#include "support/ScriptedPrompt.h"
#include "support/ServedMfp.h"
#include "transport/TcpTransport.h"

namespace dialvane::testing {

constexpr const char* kExtendedModel = "DX-R7700";
constexpr const char* kOneTouchModel = "DX-C3500";
// One-touch buttons, but room for 200 speed dials: the table takes S75, the device must not.
constexpr const char* kOddModel = "DX-ODD";

// An emulated MFP of `model` on LoopbackAddress(host) and the program's engine, receive thread,
// prompt and progress connected to it over TCP, as a transfer command sets them up.
class Rig {
  public:
    static constexpr const char* kSettings =
        "[DX-R7700]\nFaxType=1\n[DX-C3500]\nFaxType=2\n[DX-ODD]\nFaxType=3\n"
        "[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n"
        "[FaxType2]\nSpeedDial=60\nQuickDial=3\nSpeedDialKeyword=0\n"
        "[FaxType3]\nSpeedDial=200\nQuickDial=3\nSpeedDialKeyword=0\n";

    Rig(int hostNumber, const std::string& model, bool extended,
        std::function<void(EngineSettings&)> tune = {})
        : device(dir, hostNumber, {},
                 {.model = model,
                  .extendedFormat = extended,
                  .settingsPath = settingsFile,
                  .listRules = {},
                  .usbPtyLink = {},
                  .deviceId = {}}) {
        settings.env.timeout = 5000;
        settings.env.openRetryTime = 5;
        settings.env.nackRetryTime = 5;
        if (tune) {
            tune(settings);
        }
        engine = std::make_unique<ExchangeEngine>(settings);
        tcp.SetAddresses({device.Address()});
        engine->SetChannel(&tcp);
        engine->SetPrompt(&prompt);
        engine->SetProgress(&progress);
        receiver = std::make_unique<RcvMsgThread>(*engine);
        receiver->Start();

        product = std::make_unique<TProductInfo>(settingsFile);
        product->Load(model);
        table = std::make_unique<RecordTable>(*product);
    }

    ~Rig() {
        receiver->Stop();
        device->Stop();
    }

    std::string Path(const std::string& name) const { return dir.File(name); }

    // The device holds this user file.
    void Seed(const std::string& text) {
        std::string error;
        ASSERT_TRUE(device->LoadUserFile(dir.Write("seed.csv", text), &error)) << error;
    }

    // What the upload command does before it starts: the user file through the editor loader
    // and the strict gate into the table, written out as the send file. Returns that text.
    std::string PrepareUpload(const std::string& userText) {
        DialModel model;
        const LoadResult loaded = LoadDialFile(dir.Write("user.csv", userText), model, *product);
        EXPECT_TRUE(loaded.ok()) << (loaded.errorLines.empty() ? loaded.readError
                                                               : loaded.errorLines.front());
        table->BuildFromModel(model);
        std::string error;
        EXPECT_TRUE(WriteDownloadFile(Path("MFP_VERIFY.TMP"), *table, &error)) << error;
        return dir.Read("MFP_VERIFY.TMP");
    }

    // One run on the worker thread; a run that has not ended after a minute is a failure and
    // is terminated.
    RunResult Run(RunMode mode) {
        RunRequest request;
        request.mode = mode;
        request.text = Path("download.csv");
        request.table = table.get();
        request.product = product.get();
        request.downloadFile = Path("TELDIR_TOOL.TMP");
        request.sendFile = Path("MFP_VERIFY.TMP");
        request.modelPairs = {{"ORVEX DX-R7700 PCL", "DX-R7700"}};
        UThread worker(*engine, request);
        worker.Start();
        auto finished = std::async(std::launch::async, [&] { worker.Join(); });
        if (finished.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
            ADD_FAILURE() << "the run did not end";
            engine->RequestTerminate();
        }
        finished.wait();
        return worker.Result();
    }

    std::vector<PromptRequest> Boxes(const std::string& title) const {
        std::vector<PromptRequest> found;
        for (const PromptRequest& request : prompt.Requests()) {
            if (request.title == title) {
                found.push_back(request);
            }
        }
        return found;
    }
    std::vector<PromptRequest> Completions() const { return Boxes("Completion Result"); }
    std::vector<PromptRequest> Failures() const { return Boxes("Dialvane"); }

    int Commands(ToolCommand command, int mid = -1) const {
        int count = 0;
        for (const ReceivedCommand& c : device->Transcript()) {
            count += c.command == static_cast<int>(command) && (mid < 0 || c.mid == mid);
        }
        return count;
    }

    TempDir dir;
    const std::string settingsFile = dir.Write("dialvane.ini", kSettings);
    ServedMfp device;
    EngineSettings settings;
    std::unique_ptr<ExchangeEngine> engine;
    TcpTransport tcp;
    std::unique_ptr<RcvMsgThread> receiver;
    ScriptedPrompt prompt;
    RecordingProgress progress;
    std::unique_ptr<TProductInfo> product;
    std::unique_ptr<RecordTable> table;
};

}  // namespace dialvane::testing
