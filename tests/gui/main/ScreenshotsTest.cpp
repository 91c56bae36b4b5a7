// Pictures of the progress dialog in both forms while a transfer runs against the emulated MFP.
// They go to $DIALVANE_SCREENSHOTS when it is set (scripts/screenshots), else to a temporary
// folder; either way each must be grabbed mid-transfer and come out as a readable image.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <memory>

#include "MfpEmulator.h"
#include "support/Environment.h"
#include "support/ScriptedPrompt.h"
#include "ui/MainForm.h"
#include "ui/ProgForm.h"

namespace dialvane {
namespace {

namespace fs = std::filesystem;

class TransferScreenshots : public ::testing::TestWithParam<int> {
  protected:
    static void SetUpTestSuite() {
        if (QApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "gui_main";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
    }

    void SetUp() override {
        const QByteArray wanted = qgetenv("DIALVANE_SCREENSHOTS");
        pictures = wanted.isEmpty() ? fs::path(::testing::TempDir()) / "transfer_screenshots"
                                    : fs::path(wanted.toStdString());
        fs::create_directories(pictures);
        data = fs::temp_directory_path() /
               ("dialvane-shots-" + std::to_string(::getpid()) + "-" + std::to_string(GetParam()));
        fs::remove_all(data);
        prompt = std::make_shared<testing::ScriptedPrompt>();
        SetActivePrompt(prompt);
    }

    void TearDown() override {
        SetActivePrompt(nullptr);
        fs::remove_all(data);
    }

    fs::path pictures;
    fs::path data;
    std::shared_ptr<testing::ScriptedPrompt> prompt;
};

// DISP 0 shows the compact form during a read, DISP 4 the detailed form during a send.
TEST_P(TransferScreenshots, ProgressDialogMidTransfer) {
    const bool compact = GetParam() == 0;
    const std::string settings = std::string(DIALVANE_SOURCE_DIR) + "/config/dialvane.ini";
    MfpEmulatorOptions options;
    options.address = compact ? "127.0.0.193" : "127.0.0.194";
    options.settingsPath = settings;
    MfpEmulator device(options);
    std::string error;
    ASSERT_TRUE(device.Start(&error)) << error;
    ASSERT_TRUE(device.LoadUserFile(
        std::string(DIALVANE_SOURCE_DIR) + "/samples/sample-dial-list.csv", &error))
        << error;
    EmulatorFaults slow;
    slow.answerDelayMs = 25;  // long enough to catch the dialog between answers
    device.SetFaults(slow);

    StartupOptions startup;
    startup.settingsFile = settings;
    startup.dataFolder = data.string();
    startup.startLog = false;
    Environment environment = StartEnvironment(startup);
    environment.user.connection = 1;
    environment.user.ipAddress = options.address;
    environment.settings.disp = GetParam();
    environment.settings.verify = 1;
    MainFormHooks hooks;
    hooks.findPrinter = [] { return std::string(); };
    TMainForm form(environment, hooks);
    // Not shown: a shown window would start its own device inquiry.
    form.LoadProduct("DX-R7700");

    TProgForm* dialog = form.ProgForm();
    const std::string name = compact ? "ProgForm_compact_running" : "ProgForm_detailed_running";
    const std::string path = (pictures / (name + ".png")).string();
    bool grabbed = false;
    QTimer camera;
    QObject::connect(&camera, &QTimer::timeout, [&] {
        // Mid-transfer: the fax is occupied, records are moving and the view has lines.
        if (!grabbed && dialog->isVisible() && device.Counters().frameReads > 1 &&
            (compact || dialog->ViewLines().size() > 3)) {
            grabbed = dialog->grab().save(QString::fromStdString(path));
        }
    });
    QObject::connect(dialog, &TProgForm::SequenceEnded, &form, [dialog] {
        if (!dialog->Compact())
            QTimer::singleShot(0, dialog->BTN_OK, &QPushButton::click);
    });
    camera.start(5);
    if (compact) {
        prompt->Queue(PromptAnswer::Yes);
        form.TV_Ctrl->setCurrentItem(form.Node(3));  // Edit Records
    } else {
        form.TV_Ctrl->setCurrentItem(form.Node(2));  // Create New
        form.Model().speedDials[1] = SpeedDialEntry{"S001", "Head Office", "", "0355501000"};
        form.Model().senderName = "Front desk";
        prompt->Queue(PromptAnswer::Yes);
        form.BTN_Save_MFP->click();
    }
    camera.stop();
    std::string asked;
    for (const PromptRequest& request : prompt->Requests())
        asked += request.title + ": " + request.text + "\n";
    ASSERT_TRUE(grabbed) << path << "\n" << asked;
    const QImage image(QString::fromStdString(path));
    EXPECT_EQ(image.size(), dialog->size());
    form.Model().modified.Clear();
    form.close();
    device.Stop();
}

INSTANTIATE_TEST_SUITE_P(BothForms, TransferScreenshots, ::testing::Values(0, 4));

}  // namespace
}  // namespace dialvane
