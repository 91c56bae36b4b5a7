// The progress dialog in both forms: status lines, the two bars, the target label, saving the
// view, and whole transfers against the emulated MFP with Stop, OK and the caption.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <filesystem>

#include "support/GuiTestSupport.h"
#include "MfpEmulator.h"
#include "comm/RMsgThread.h"
#include "comm/UserThread.h"
#include "data/DownloadWriter.h"
#include "support/FileUtil.h"
#include "transport/TcpTransport.h"
#include "ui/ProgForm.h"

namespace dialvane {
namespace {

namespace fs = std::filesystem;
using testing::EnsureApplication;
using testing::ProcessUntil;
using testing::PromptScope;

class ProgFormTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_F(ProgFormTest, CompactFormShowsOnlyLevelZeroInItsLabel) {
    TProgForm form(0);
    EXPECT_TRUE(form.Compact());
    EXPECT_TRUE(form.BTN_OK->isHidden());
    EXPECT_TRUE(form.BTN_Save->isHidden());
    EXPECT_TRUE(form.RE_Log->isHidden());
    EXPECT_FALSE(form.LBL_TRANS_STAT->isHidden());
    EXPECT_EQ(form.BTN_Abort->text(), "Stop");
    EXPECT_EQ(form.windowTitle(), "View Communication Status");

    form.ShowStatus("Connection start.", 0);
    const QString shown = form.LBL_TRANS_STAT->text();
    EXPECT_EQ(shown, "Connection start.\n\nDo not print during communication.");
    form.ShowStatus("a detail", 2);
    EXPECT_EQ(form.LBL_TRANS_STAT->text(), shown);
    form.ShowStatus("Transmission start", 0);
    EXPECT_TRUE(form.LBL_TRANS_STAT->text().startsWith("Transmission start\n"));
}

TEST_F(ProgFormTest, DetailedFormListsLinesUpToDispNewestFirst) {
    TProgForm form(2);
    EXPECT_FALSE(form.Compact());
    EXPECT_FALSE(form.BTN_OK->isHidden());
    EXPECT_FALSE(form.BTN_Save->isHidden());
    EXPECT_TRUE(form.LBL_TRANS_STAT->isHidden());
    EXPECT_EQ(form.LBL_Status->text(), "Status");
    for (int level = 0; level <= 4; ++level) {
        form.ShowStatus("line " + std::to_string(level), level);
    }
    EXPECT_EQ(form.ViewLines(), (std::vector<std::string>{"line 2", "line 1", "line 0"}));

    // A DISP that is not a number reads as -1: the detailed form with nothing in it.
    TProgForm unreadable(-1);
    EXPECT_FALSE(unreadable.Compact());
    unreadable.ShowStatus("line", 0);
    EXPECT_TRUE(unreadable.ViewLines().empty());
}

TEST_F(ProgFormTest, SequenceBarWeighsTheStepsOfEachDirection) {
    TProgForm form(1);
    form.SetDirection(0);
    form.SetSequenceProgress('I', 0, 0, 1);
    EXPECT_EQ(form.PB_SEQ->maximum(), 88000);
    EXPECT_EQ(form.PB_SEQ->value(), 0);
    form.SetSequenceProgress('D', 4, 30, 60);
    EXPECT_EQ(form.PB_SEQ->value(), 34000);
    form.SetSequenceProgress('D', 5, 0, 1);
    EXPECT_EQ(form.PB_SEQ->value(), 64000);
    form.SetSequenceProgress('D', 0, 0, 1);
    EXPECT_EQ(form.PB_SEQ->value(), 1000);

    form.SetDirection(1);
    form.SetSequenceProgress('I', 0, 0, 1);
    EXPECT_EQ(form.PB_SEQ->maximum(), 51000);  // the sum of the write weights
    form.SetSequenceProgress('D', 7, 1, 2);
    EXPECT_EQ(form.PB_SEQ->value(), 22000);
    // The verify run goes past the table; the bar stays within its maximum.
    form.SetSequenceProgress('D', 20, 0, 1);
    EXPECT_LE(form.PB_SEQ->value(), form.PB_SEQ->maximum());

    form.SetTransferRange(5000);
    form.SetTransferPosition(1200);
    EXPECT_EQ(form.PB_Trans->maximum(), 5000);
    EXPECT_EQ(form.PB_Trans->value(), 1200);
}

TEST_F(ProgFormTest, TargetLabelFramesTheNameOrClears) {
    TProgForm form(0);
    form.SetTargetLabel("DX-R7700");
    EXPECT_EQ(form.LBL_Target->text(), "[  DX-R7700  ]");
    form.SetTargetLabel("");
    EXPECT_TRUE(form.LBL_Target->text().isEmpty());
}

TEST_F(ProgFormTest, SavingTheViewWritesNewestFirstAndReportsAnUnwritableFile) {
    PromptScope prompt;
    TProgForm form(4);
    form.ShowStatus("first", 1);
    form.ShowStatus("second", 1);
    const std::string folder = ::testing::TempDir() + "/progform_save";
    fs::create_directories(folder);
    ASSERT_TRUE(form.SaveView(folder + "/view.txt"));
    EXPECT_EQ(ReadFileBytes(folder + "/view.txt").value_or(""), "second\nfirst\n");
    EXPECT_FALSE(form.SaveView(folder + "/missing/view.txt"));
    ASSERT_EQ(prompt->Requests().size(), 1u);
    EXPECT_NE(prompt->Requests()[0].text.find("Cannot write to file."), std::string::npos);
    EXPECT_NE(prompt->Requests()[0].text.find(folder + "/missing/view.txt"), std::string::npos);
    fs::remove_all(folder);
}

// A whole program side of a transfer against an emulated MFP on its own loopback address.
constexpr const char* kSettings =
    "[DX-C3500]\nFaxType=2\n"
    "[FaxType2]\nSpeedDial=60\nQuickDial=3\nSpeedDialKeyword=0\n";

class TransferRig {
  public:
    TransferRig(int host, EmulatorFaults faults = {}, int timeoutMs = 5000) {
        address = "127.0.0." + std::to_string(host);
        folder = fs::path(::testing::TempDir()) / ("progform_" + std::to_string(host));
        fs::remove_all(folder);
        fs::create_directories(folder);
        WriteFileAtomic(Path("dialvane.ini"), kSettings);
        MfpEmulatorOptions options;
        options.address = address;
        options.model = "DX-C3500";
        options.extendedFormat = false;
        options.settingsPath = Path("dialvane.ini");
        device = std::make_unique<MfpEmulator>(options);
        std::string error;
        EXPECT_TRUE(device->Start(&error)) << error;
        WriteFileAtomic(Path("seed.csv"), "S1,Office,06-1001,\r\nS2,Home,06-1002,\r\nN,Branch\r\n");
        EXPECT_TRUE(device->LoadUserFile(Path("seed.csv"), &error)) << error;
        device->SetFaults(faults);

        settings.env.timeout = timeoutMs;
        settings.env.openRetryTime = 5;
        settings.env.nackRetryTime = 5;
        engine = std::make_unique<ExchangeEngine>(settings);
        tcp.SetAddresses({address});
        engine->SetChannel(&tcp);
        receiver = std::make_unique<RcvMsgThread>(*engine);
        receiver->Start();
        product = std::make_unique<TProductInfo>(Path("dialvane.ini"));
        product->Load("DX-C3500");
        table = std::make_unique<RecordTable>(*product);
    }
    ~TransferRig() {
        receiver->Stop();
        device->Stop();
        fs::remove_all(folder);
    }
    std::string Path(const std::string& name) const { return (folder / name).string(); }

    RunResult Download(TProgForm& form) {
        RunRequest request;
        request.text = Path("download.csv");
        request.table = table.get();
        request.product = product.get();
        request.downloadFile = Path("TELDIR_TOOL.TMP");
        request.sendFile = Path("MFP_VERIFY.TMP");
        form.SetTag(0);
        return form.Execute(*engine, request);
    }

    // Sends one speed dial and a sender name, as the main window prepares an upload.
    RunResult Upload(TProgForm& form) {
        DialModel model;
        model.speedDials[5] = SpeedDialEntry{"S005", "Depot", "", "06-5555"};
        model.senderName = "Branch";
        table->BuildFromModel(model);
        std::string error;
        EXPECT_TRUE(WriteDownloadFile(Path("MFP_VERIFY.TMP"), *table, &error)) << error;
        RunRequest request;
        request.text = Path("upload.csv");
        request.table = table.get();
        request.product = product.get();
        request.downloadFile = Path("TELDIR_TOOL.TMP");
        request.sendFile = Path("MFP_VERIFY.TMP");
        form.SetTag(1);
        return form.Execute(*engine, request);
    }

    std::string address;
    fs::path folder;
    std::unique_ptr<MfpEmulator> device;
    EngineSettings settings;
    std::unique_ptr<ExchangeEngine> engine;
    TcpTransport tcp;
    std::unique_ptr<RcvMsgThread> receiver;
    std::unique_ptr<TProductInfo> product;
    std::unique_ptr<RecordTable> table;
};

std::vector<PromptRequest> WithTitle(testing::ScriptedPrompt& prompt, const std::string& title) {
    std::vector<PromptRequest> found;
    for (const PromptRequest& request : prompt.Requests()) {
        if (request.title == title) {
            found.push_back(request);
        }
    }
    return found;
}

TEST_F(ProgFormTest, CompactDownloadClosesByItselfAndRestoresTheCaption) {
    TransferRig rig(160);
    TProgForm form(0);
    QString captionWhileRunning;
    QObject::connect(&form, &TProgForm::SequenceEnded,
                     [&] { captionWhileRunning = form.windowTitle(); });
    // The closing message comes with the dialog already hidden.
    class Probe : public IPrompt {
      public:
        explicit Probe(TProgForm& form) : form_(form) {}
        PromptAnswer Ask(const PromptRequest& request) override {
            if (request.title == "Completion Result") {
                visibleAtCompletion = form_.isVisible();
            }
            return EffectiveDefault(request);
        }
        bool visibleAtCompletion = true;

      private:
        TProgForm& form_;
    };
    auto probe = std::make_shared<Probe>(form);
    SetActivePrompt(probe);
    const RunResult result = rig.Download(form);
    const bool visibleAtCompletion = probe->visibleAtCompletion;
    SetActivePrompt(nullptr);

    EXPECT_TRUE(result.success) << result.completionText;
    EXPECT_EQ(captionWhileRunning, "View Communication Status [Read Record File]");
    EXPECT_EQ(form.windowTitle(), "View Communication Status");
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(visibleAtCompletion);
    EXPECT_EQ(result.completionText, "Download completed.");
    EXPECT_EQ(form.PB_SEQ->value(), form.PB_SEQ->maximum());
    EXPECT_EQ(form.PB_Trans->value(), 0);
    EXPECT_EQ(form.Worker(), nullptr);
    EXPECT_NE(ReadFileBytes(rig.Path("download.csv")).value_or("").find("Office"),
              std::string::npos);
}

TEST_F(ProgFormTest, DetailedDownloadWaitsForOkWithSaveEnabled) {
    TransferRig rig(161);
    PromptScope prompt;
    TProgForm form(2);
    bool okEnabled = false, saveEnabled = false, stopEnabled = true;
    std::vector<std::string> lines;
    QObject::connect(&form, &TProgForm::SequenceEnded, [&] {
        okEnabled = form.BTN_OK->isEnabled();
        saveEnabled = form.BTN_Save->isEnabled();
        stopEnabled = form.BTN_Abort->isEnabled();
        lines = form.ViewLines();
        // The dialog stays until the user presses OK.
        QTimer::singleShot(0, form.BTN_OK, &QPushButton::click);
    });
    const RunResult result = rig.Download(form);
    EXPECT_TRUE(result.success) << result.completionText;
    EXPECT_TRUE(okEnabled);
    EXPECT_TRUE(saveEnabled);
    EXPECT_FALSE(stopEnabled);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Connection start.");  // the oldest line is at the bottom
    EXPECT_EQ(form.LBL_Target->text(), "[  DX-C3500  ]");
}

TEST_F(ProgFormTest, UploadRunsInTheWriteDirection) {
    TransferRig rig(163);
    PromptScope prompt;
    TProgForm form(1);
    QString caption;
    long long maximum = 0;
    QObject::connect(&form, &TProgForm::SequenceEnded, [&] {
        caption = form.windowTitle();
        maximum = form.PB_SEQ->maximum();
        QTimer::singleShot(0, form.BTN_OK, &QPushButton::click);
    });
    const RunResult result = rig.Upload(form);
    EXPECT_TRUE(result.success) << result.completionText;
    EXPECT_EQ(caption, "View Communication Status [Send Record File]");
    EXPECT_EQ(maximum, 51000);
    EXPECT_EQ(rig.device->StoredValue('S', 5).has_value(), true);
    EXPECT_EQ(rig.device->StoredCount('S'), 1);
}

TEST_F(ProgFormTest, StopAsksAtTheNextWaitAndStopsOnlyWhenConfirmed) {
    // The NOP is never answered, so the run waits there until the user stops it.
    EmulatorFaults faults;
    faults.silence = CommandMatch::Every(ToolCommand::Nop);
    TransferRig rig(162, faults, 60000);
    PromptScope prompt({PromptAnswer::No, PromptAnswer::Yes});
    TProgForm form(1);
    int presses = 0;
    bool disabledAfterPress = false;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        if (presses < 2 && !form.ViewLines().empty() && form.BTN_Abort->isEnabled()) {
            form.BTN_Abort->click();
            ++presses;
            disabledAfterPress = !form.BTN_Abort->isEnabled();
            form.BTN_Abort->click();  // a second press of a disabled button does nothing
        }
    });
    QObject::connect(&form, &TProgForm::SequenceEnded,
                     [&] { QTimer::singleShot(0, form.BTN_OK, &QPushButton::click); });
    presser.start(5);
    const RunResult result = rig.Download(form);
    presser.stop();

    EXPECT_EQ(presses, 2);
    EXPECT_TRUE(disabledAfterPress);
    EXPECT_TRUE(result.stopped);
    EXPECT_FALSE(result.success);
    const auto questions = WithTitle(*prompt, "Confirm Stop");
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0].text, "Stop Transmission?");
    EXPECT_EQ(questions[0].defaultAnswer, PromptAnswer::No);
    EXPECT_EQ(WithTitle(*prompt, "Completion Result").size(), 1u);
}

}  // namespace
}  // namespace dialvane
