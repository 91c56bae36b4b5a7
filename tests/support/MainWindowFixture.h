#pragma once

// The main window on a data folder of its own with a scripted prompt, and the same window
// against an emulated MFP for whole transfers.
// The window's widget kinds, so each test file can use any of them.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <optional>

#include "MfpEmulator.h"
#include "support/Environment.h"
#include "support/GuiTestSupport.h"
#include "support/LoopbackAddress.h"
#include "support/TempDir.h"
#include "ui/MainForm.h"
#include "ui/OneTuchInpForm.h"
#include "ui/ProgForm.h"

namespace dialvane::testing {

using Lines = std::vector<std::string>;

inline const std::string kSettingsFile = DIALVANE_SOURCE_DIR "/config/dialvane.ini";
inline const std::string kSampleList = DIALVANE_SOURCE_DIR "/samples/sample-dial-list.csv";

class MainWindowTest : public GuiTest {
  protected:
    void SetUp() override {
        StartupOptions options;
        options.settingsFile = kSettingsFile;
        options.dataFolder = dir.File("data");
        options.startLog = false;
        environment = std::make_unique<Environment>(StartEnvironment(options));
        environment->user.connection = 1;
        hooks.prompt = prompt;
        hooks.saveFileName = [this](const std::string&) -> std::optional<std::string> {
            return saveAs.empty() ? std::nullopt : std::optional(saveAs);
        };
        hooks.findPrinter = [] { return std::string(); };
        hooks.editSpeedDial = [this](EditOperationKind, SpeedDialEntry& buffer) {
            buffer = nextEntry;
            return true;
        };
    }

    void TearDown() override {
        form.reset();
        if (device) {
            device->Stop();
        }
    }

    // Starts `device` on loopback host `host`, holding `list` when one is named, and returns
    // its address; a test goes on with ASSERT_TRUE(device), which fails when it did not start.
    std::string StartEmulator(int host, const std::string& list = {}) {
        MfpEmulatorOptions options;
        options.address = LoopbackAddress(host);
        options.settingsPath = kSettingsFile;
        device = std::make_unique<MfpEmulator>(options);
        std::string error;
        if (!device->Start(&error) || (!list.empty() && !device->LoadUserFile(list, &error))) {
            ADD_FAILURE() << error;
            device.reset();
        }
        return options.address;
    }

    // The window for a model (one-touch DX-M100 or quick-dial DX-R7700); not shown, since a
    // shown window starts its own device inquiry.
    TMainForm& Make(const std::string& model = "DX-R7700") {
        form = std::make_unique<TMainForm>(*environment, hooks);
        form->LoadProduct(model);
        return *form;
    }

    // Selects tree node `node`, or clicks `button`, with `answers` queued for its questions.
    void Select(int node, std::initializer_list<PromptAnswer> answers = {}) {
        Queue(answers);
        form->TV_Ctrl->setCurrentItem(form->Node(node));
    }
    void Click(QAbstractButton* button, std::initializer_list<PromptAnswer> answers = {}) {
        Queue(answers);
        button->click();
    }
    // Opens `file` from the file page, with `answers` queued for its questions.
    void OpenFile(const std::string& file, std::initializer_list<PromptAnswer> answers = {}) {
        Select(4);
        form->AddFileHistory(file);
        Click(form->BTN_File_Sel_Run, answers);
    }
    void Queue(std::initializer_list<PromptAnswer> answers) {
        for (PromptAnswer answer : answers) {
            prompt->Queue(answer);
        }
    }

    // A new, empty list in the editor of the window for `model`.
    void NewList(const std::string& model = "DX-R7700") {
        Make(model);
        Select(2);
    }

    // A speed dial added through the Add button, as the entry dialog would return it.
    void AddSpeedDial(int number, const std::string& name, const std::string& fax) {
        nextEntry = SpeedDialEntry{FormatKey(number), name, "", fax};
        form->BTN_Speed_Add->click();
    }

    void PutSpeedDial(int number, const std::string& name, const std::string& fax = "1") {
        form->Model().speedDials[number] = SpeedDialEntry{FormatKey(number), name, "", fax};
    }

    // Group `number` with the speed dials `members`, in that order.
    static void PutGroup(DialModel& model, int number, const std::string& name,
                         const std::vector<int>& members) {
        model.groups[number].number = number;
        model.groups[number].name = name;
        model.groups[number].members.clear();
        for (int member : members) {
            model.groups[number].members.push_back({'S', member});
        }
        model.RebuildMemberships();
    }

    static std::string FormatKey(int number) {
        char key[8];
        std::snprintf(key, sizeof key, "S%03d", number);
        return key;
    }

    // What the selection dialog showed when it was answered.
    struct SelectSeen {
        std::string title;
        std::vector<std::string> keys;
        std::string current;  // the key of the row the dialog opened on
        bool okEnabled = false;
    };

    // Answers the next selection dialog: picks the row with `key` and presses OK, or Cancel
    // when no row has it.
    void AnswerSelectForm(const std::string& key) {
        QTimer::singleShot(0, form.get(), [this, key] {
            TOneTuchInpForm* dialog = form->SelectForm();
            selectSeen = SelectSeen{dialog->windowTitle().toStdString(), {}, {}, false};
            selectSeen.okEnabled = dialog->BTN_OK->isEnabled();
            const QAbstractItemModel* rows = dialog->SFG_Inport->model();
            QItemSelectionModel* selection = dialog->SFG_Inport->selectionModel();
            if (const QModelIndexList open = selection->selectedRows(); !open.isEmpty()) {
                selectSeen.current = open.front().data().toString().toStdString();
            }
            int chosen = -1;
            for (int row = 0; row < rows->rowCount(); ++row) {
                selectSeen.keys.push_back(rows->index(row, 0).data().toString().toStdString());
                if (selectSeen.keys.back() == key) {
                    chosen = row;
                }
            }
            if (chosen >= 0) {
                selection->setCurrentIndex(
                    rows->index(chosen, 0),
                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            }
            (chosen >= 0 ? dialog->BTN_OK : dialog->BTN_Cancel)->click();
        });
    }

    std::vector<std::string> Texts(const std::string& title) const {
        std::vector<std::string> texts;
        for (const PromptRequest& request : prompt->Requests()) {
            if (request.title == title) {
                texts.push_back(request.text);
            }
        }
        return texts;
    }

    TempDir dir;
    std::shared_ptr<ScriptedPrompt> prompt = std::make_shared<ScriptedPrompt>();
    std::unique_ptr<Environment> environment;
    MainFormHooks hooks;
    std::string saveAs;  // what the save dialog returns; empty: cancelled
    SpeedDialEntry nextEntry;
    SelectSeen selectSeen;
    std::unique_ptr<MfpEmulator> device;
    std::unique_ptr<TMainForm> form;
};

// The window against an emulated MFP holding the sample list, with the progress dialog in the
// form the parameter (DISP) chooses; the detailed form is closed with OK once its run ends.
class WindowTransfer : public MainWindowTest, public ::testing::WithParamInterface<int> {
  protected:
    // Each test has a loopback address of its own (one per form), so tests run in parallel.
    void StartDevice(int host, EmulatorFaults faults = {}) {
        environment->user.ipAddress = StartEmulator(host + (GetParam() == 0 ? 0 : 1), kSampleList);
        ASSERT_TRUE(device);
        device->SetFaults(faults);
        environment->settings.verify = 1;
        environment->settings.disp = GetParam();
    }

    void TearDown() override {
        watcher.reset();  // its checks may refer to the test's locals
        prompt->onAsk = nullptr;
        MainWindowTest::TearDown();
    }

    // What the progress dialog showed when its run ended, and whether it was still up when the
    // closing message came.
    struct RunEnd {
        std::string caption, target;
        std::vector<std::string> lines;
        bool okEnabled = false, saveEnabled = false, stopEnabled = true;
        bool shownAtCompletion = true;
    };

    void MakeWindow() {
        Make("DX-R7700");
        TProgForm* dialog = form->ProgForm();
        EXPECT_EQ(dialog->Compact(), GetParam() == 0);
        QObject::connect(dialog, &TProgForm::SequenceEnded, form.get(), [this, dialog] {
            runEnd.caption = dialog->windowTitle().toStdString();
            runEnd.target = dialog->LBL_Target->text().toStdString();
            runEnd.lines = dialog->ViewLines();
            runEnd.okEnabled = dialog->BTN_OK->isEnabled();
            runEnd.saveEnabled = dialog->BTN_Save->isEnabled();
            runEnd.stopEnabled = dialog->BTN_Abort->isEnabled();
            if (!dialog->Compact()) {
                QTimer::singleShot(0, dialog->BTN_OK, &QPushButton::click);  // it waits for OK
            }
        });
        prompt->onAsk = [this, dialog](const PromptRequest& request) {
            if (request.title == "Completion Result") {
                runEnd.shownAtCompletion = dialog->isVisible();
            }
        };
    }

    // "Edit Records" confirmed through the tree.
    void ReadFromDevice() { Select(3, {PromptAnswer::Yes}); }

    // "Send Record" confirmed, then the answers the run's questions get.
    void Send(std::vector<PromptAnswer> answers = {}) {
        prompt->Queue(PromptAnswer::Yes);
        for (PromptAnswer answer : answers) {
            prompt->Queue(answer);
        }
        form->BTN_Save_MFP->click();
    }

    // Calls `act` once, at the first progress the dialog shows (a bar moves, a line is added)
    // while `ready` holds.
    void WhileRunning(std::function<bool()> ready, std::function<void(TProgForm&)> act) {
        TProgForm* dialog = form->ProgForm();
        const auto check = [this, dialog, ready, act] {
            if (!acted && dialog->isVisible() && ready()) {
                acted = true;
                act(*dialog);
            }
        };
        watcher = std::make_unique<QObject>();
        QObject::connect(dialog->PB_SEQ, &QProgressBar::valueChanged, watcher.get(), check);
        QObject::connect(dialog->PB_Trans, &QProgressBar::valueChanged, watcher.get(), check);
        QObject::connect(dialog->RE_Log, &QTextEdit::textChanged, watcher.get(), check);
    }

    // Presses Stop once `ready` holds, then again at once: the button is off after a press.
    void PressStopWhen(std::function<bool()> ready) {
        WhileRunning([this, ready] { return form->ProgForm()->BTN_Abort->isEnabled() && ready(); },
                     [this](TProgForm& dialog) {
                         dialog.BTN_Abort->click();
                         stopOffAfterPress = !dialog.BTN_Abort->isEnabled();
                         dialog.BTN_Abort->click();
                     });
    }

    std::unique_ptr<QObject> watcher;  // its connections go with it
    bool acted = false;
    bool stopOffAfterPress = false;
    RunEnd runEnd;
};

}  // namespace dialvane::testing
