#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "support/FileUtil.h"
#include "support/GlobalScopes.h"
#include "support/MainWindowFixture.h"
#include "ui/ErrLogForm.h"
#include "ui/QtPrompt.h"
#include "ui/QuickDialTab.h"
#include "ui/ThreadBridges.h"

namespace dialvane {
namespace {

namespace fs = std::filesystem;
using MainFormTest = testing::MainWindowTest;
using testing::Lines;
using testing::WindowTransfer;

TEST_F(MainFormTest, CreateNewSaveAndReopenKeepsSpeedDialsAndGroups) {
    hooks.editGroup = [](EditOperationKind, GroupDisplay& buffer, DialModel& model) {
        PutGroup(model, 1, "Team", {1, 2});
        buffer.key = "G01";
        return true;
    };
    NewList();
    ASSERT_TRUE(form->EditorShown());
    EXPECT_TRUE(form->Untitled());
    EXPECT_FALSE(form->BTN_Speed_Edit->isEnabled());
    AddSpeedDial(1, "Head Office", "0355501000");
    AddSpeedDial(2, "Branch", "0655502000");
    EXPECT_TRUE(form->BTN_Speed_Del->isEnabled());
    form->TabCtrl->setCurrentIndex(1);
    form->BTN_Group_Add->click();
    EXPECT_EQ(form->SFG_Group->model()->index(0, 1).data().toString().toStdString(), "Team");

    saveAs = dir.File("list.csv");
    form->BTN_Save->click();
    ASSERT_TRUE(fs::exists(saveAs));
    EXPECT_EQ(prompt->Last().text, "User data was saved to [list.csv]");
    EXPECT_EQ(form->EditSource(), EditSourceKind::ExistingFile);

    // Nothing is unsaved, so leaving (by Escape, which presses Cancel) asks nothing.
    size_t asked = prompt->Requests().size();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form->SFG_Speed, &escape);
    EXPECT_EQ(form->MainMode(), MainModeKind::Standby);
    EXPECT_EQ(prompt->Requests().size(), asked);

    Select(4);
    ASSERT_TRUE(form->PNL_File_Sel->isVisibleTo(form.get()));
    EXPECT_EQ(form->CB_File_Sel->currentText().toStdString(), saveAs);  // listed and chosen
    form->BTN_File_Sel_Run->click();
    ASSERT_TRUE(form->EditorShown());
    EXPECT_FALSE(form->Untitled());
    EXPECT_EQ(form->Model().speedDials[2].name, "Branch");
    EXPECT_EQ(form->Model().groups[1].name, "Team");
    EXPECT_TRUE(form->Model().TestMembership(2, 1));
    EXPECT_TRUE(form->MN_Save->isEnabled());
}

TEST_F(MainFormTest, FileSelectionKeepsTenFilesAndReturnsWithTheErrorsOfABrokenOne) {
    std::vector<std::string> shown;
    hooks.showErrors = [&](const std::vector<std::string>& lines) { shown = lines; };
    Make();
    Select(4);
    for (int i = 1; i <= 11; ++i)
        form->AddFileHistory(dir.File("f" + std::to_string(i) + ".csv"));
    ASSERT_EQ(form->FileHistory().size(), 10u);
    EXPECT_EQ(form->FileHistory().front(), dir.File("f11.csv"));
    EXPECT_EQ(form->FileHistory().back(), dir.File("f2.csv"));
    form->AddFileHistory(dir.File("f5.csv"));
    EXPECT_EQ(form->FileHistory().size(), 10u);
    EXPECT_EQ(form->FileHistory().front(), dir.File("f5.csv"));
    EXPECT_EQ(form->CB_File_Sel->currentIndex(), 0);

    const std::string file = dir.File("broken.csv");
    fs::copy_file(DIALVANE_SOURCE_DIR "/samples/fixtures/every-error.csv", file);
    OpenFile(file, {PromptAnswer::Yes});
    EXPECT_FALSE(shown.empty());
    EXPECT_FALSE(form->EditorShown());
    EXPECT_TRUE(form->PNL_File_Sel->isVisibleTo(form.get()));

    // A listed file deleted since is reported, and the panel stays.
    fs::remove(file);
    form->BTN_File_Sel_Run->click();
    EXPECT_EQ(prompt->Shown(),
              (Lines{"Read User Data: Error in downloaded user data. View error details?",
                     "Searching for File: Specified file not found."}));
    EXPECT_FALSE(form->EditorShown());
}

// Deleting a record that buttons or groups use: one question lists every use, then the buttons
// bound to it are cleared (one-touch buttons by letter, quick dials by slot number).
TEST_F(MainFormTest, DeletingABoundRecordListsItsUsesAndClearsTheButtons) {
    struct Case {
        const char* model;
        bool group;                // delete group 3, else speed dial 5
        std::vector<int> buttons;  // bound to it
        Lines shown;
    };
    const std::string groups =
        "\r\nAlready being used by the following group.\r\n  01:Group1\r\n  03:Group3\r\n";
    const Case cases[] = {
        {"DX-M100",
         false,
         {2},
         {"Confirm Deletion: Speed Dial = 005 : [Name5] [123]\r\n\r\nAlready being used for the "
          "following One-touch dial button.\r\n  Button B\r\n" +
              groups + "\r\nOK to delete?",
          "Confirm: Clear to Button B."}},
        {"DX-R7700",
         false,
         {4, 9},
         {"Confirm Deletion: Speed Dial = 005 : [Name5] [123]\r\n\r\nAlready being used for the "
          "following quici dial button.\r\n  Quick dial 4\r\n  Quick dial 9\r\n" +
              groups + "\r\nOK to delete?",
          "Confirm: クイックダイヤルClear to 4, 9."}},
        {"DX-M100",
         true,
         {1, 3},
         {"Confirm Deletion: Group Dial = 03 : [Group3] [Name5,Name6]\r\n\r\nAlready being used "
          "for the following One-touch dial button.\r\n  Button A\r\n  Button C\r\n\r\nOK "
          "to delete?",
          "Confirm: Clear to Button A, Button C."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.model) + (c.group ? " group" : " speed dial"));
        NewList(c.model);
        DialModel& model = form->Model();
        PutSpeedDial(5, "Name5", "123");
        PutSpeedDial(6, "Name6", "123");
        PutGroup(model, 1, "Group1", {5, 6});
        PutGroup(model, 3, "Group3", {5, 6});
        for (int slot : c.buttons) {
            model.bindings[slot] = c.group ? "G03" : "S005";
        }
        const std::size_t asked = prompt->Requests().size();
        if (c.group) {
            form->TabCtrl->setCurrentIndex(1);
            Click(form->BTN_Group_Del, {PromptAnswer::Yes});
        } else {
            form->Speed_Grid_Set(5);
            Click(form->BTN_Speed_Del, {PromptAnswer::Yes});
        }
        EXPECT_EQ(prompt->Shown(asked), c.shown);
        EXPECT_EQ(prompt->Requests()[asked].defaultAnswer, PromptAnswer::No);
        for (int slot : c.buttons) {
            EXPECT_TRUE(model.bindings[slot].empty()) << slot;
        }
        EXPECT_TRUE(c.group ? model.groups[3].number == 0 : model.speedDials[5].key.empty());
        EXPECT_FALSE(model.TestMembership(5, 3));
        EXPECT_TRUE(c.group ? model.modified.groups : model.modified.speedDials);
        EXPECT_EQ(model.groups[1].members.size(), c.group ? 2u : 1u);
    }
    // No to the question changes nothing.
    form->Speed_Grid_Set(6);
    Click(form->BTN_Speed_Del, {PromptAnswer::No});
    EXPECT_FALSE(form->Model().speedDials[6].key.empty());
}

TEST_F(MainFormTest, AddFollowsTheSpeedDialAndGroupLimits) {
    NewList("DX-M100");  // 60 speed dials
    DialModel& model = form->Model();
    for (int number = 1; number <= 59; ++number)
        PutSpeedDial(number, "");
    form->Speed_Grid_Set(-1);
    EXPECT_TRUE(form->BTN_Speed_Add->isEnabled());
    PutSpeedDial(60, "");
    form->Speed_Grid_Set(-1);
    EXPECT_FALSE(form->BTN_Speed_Add->isEnabled());
    for (int group = 1; group <= 20; ++group)
        PutGroup(model, group, "", {1});
    form->TabCtrl->setCurrentIndex(1);
    EXPECT_FALSE(form->BTN_Group_Add->isEnabled());
    EXPECT_TRUE(form->BTN_Group_Del->isEnabled());
}

class LeaveWithDeviceData : public MainFormTest {
  protected:
    // "Edit Records" with the read replaced by a file that looks downloaded.
    void OpenFromDevice() {
        hooks.runTransfer = [this](RunMode mode) {
            ASSERT_EQ(mode, RunMode::Download);
            fs::copy_file(testing::kSampleList, form->RunFolderPath() + "TELDIR_TOOL.TMP");
        };
        Make();
        Select(3, {PromptAnswer::Yes});
        ASSERT_TRUE(form->EditorShown());
        ASSERT_TRUE(form->DeviceDataUnsaved());
        EXPECT_TRUE(form->Untitled());
        EXPECT_TRUE(form->CurrentFileName().empty());
        AddSpeedDial(150, "New", "1");
    }
};

TEST_F(LeaveWithDeviceData, CancelAsksAboutModifiedKindsThenAboutDeviceData) {
    OpenFromDevice();
    const size_t before = prompt->Requests().size();
    Click(form->BTN_Cancel, {PromptAnswer::No, PromptAnswer::Yes});
    EXPECT_EQ(prompt->Shown(before),
              (Lines{"Confirm Exit: The following data has been updated. Save before exiting?"
                     "\r\n\r\n    Speed Dial data",
                     "Confirm Execution: Data read from MFP has not been saved.  Cancel anyway?"}));
    EXPECT_EQ(prompt->Requests()[before].defaultAnswer, PromptAnswer::Cancel);
    EXPECT_EQ(form->MainMode(), MainModeKind::Standby);
    EXPECT_FALSE(form->DeviceDataUnsaved());
}

TEST_F(LeaveWithDeviceData, TreeAsksAboutDeviceDataOnly) {
    OpenFromDevice();
    const size_t before = prompt->Requests().size();
    Select(0, {PromptAnswer::No});  // keep editing
    EXPECT_TRUE(form->EditorShown());
    EXPECT_EQ(form->TV_Ctrl->currentItem(), form->Node(3));
    Select(0, {PromptAnswer::Yes});
    EXPECT_EQ(
        prompt->Shown(before),
        Lines(2, "Confirm Execution: Data read from MFP has not been saved.  Cancel anyway?"));
    EXPECT_EQ(form->MainMode(), MainModeKind::Standby);
}

TEST_F(LeaveWithDeviceData, AFailedSaveOnTheWayOutKeepsTheEditorAndItsChanges) {
    OpenFromDevice();
    // "Save first": the save dialog cancelled, then a file that cannot be written.
    for (const std::string& target : {std::string(), dir.File("gone/list.csv")}) {
        saveAs = target;
        Click(form->BTN_Cancel, {PromptAnswer::Yes});
        EXPECT_TRUE(form->EditorShown()) << target;
        EXPECT_TRUE(form->Model().modified.speedDials) << target;
        EXPECT_TRUE(form->DeviceDataUnsaved()) << target;
    }
    EXPECT_EQ(prompt->Last().icon, PromptIcon::Stop);  // the write error
    // No discards, so a second attempt asks only about the device data.
    Click(form->BTN_Cancel, {PromptAnswer::No, PromptAnswer::No});
    size_t before = prompt->Requests().size();
    Click(form->BTN_Cancel, {PromptAnswer::Yes});
    EXPECT_EQ(prompt->Requests().size(), before + 1);
    EXPECT_EQ(form->MainMode(), MainModeKind::Standby);
}

TEST_F(MainFormTest, MenuAndCtrlSFollowTheState) {
    Make();
    // Opening the File menu sets the items again; they must agree with the state.
    QMenu* file = form->findChild<QMenu*>("MN_MenuFile");
    QShortcut* save = form->findChild<QShortcut*>("SC_Save");
    ASSERT_TRUE(file && save);
    auto saveItems = [&] {
        emit file->aboutToShow();
        return std::vector<bool>{form->MN_Save->isEnabled(), form->MN_SaveAs->isEnabled(),
                                 form->MN_Save_MFP->isEnabled()};
    };
    EXPECT_EQ(saveItems(), (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(form->MN_Edit->isEnabled());
    Select(2);
    EXPECT_EQ(saveItems(), (std::vector<bool>{false, true, true}));
    // A new list: the Save item is off, so Ctrl+S falls to the window, which asks for a name.
    ASSERT_TRUE(save->isEnabled());
    EXPECT_EQ(form->windowTitle().toStdString(), "Untitled[*] - Dialvane");
    saveAs = dir.File("m.csv");
    AddSpeedDial(1, "A", "1");
    emit save->activated();
    EXPECT_TRUE(fs::exists(saveAs));
    Select(4);
    EXPECT_EQ(saveItems(), (std::vector<bool>{false, false, false}));
    form->BTN_File_Sel_Run->click();
    EXPECT_EQ(saveItems(), (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(save->isEnabled());  // the item takes the key: only one of the two holds it
    EXPECT_EQ(form->MN_Save->shortcut(), QKeySequence(QKeySequence::Save));

    // The open file: Ctrl+S writes it without a dialog (one would be cancelled here); Save As
    // always asks. The title's change mark is followed in UndoTest.
    EXPECT_EQ(form->windowTitle().toStdString(), "m.csv[*] - Dialvane");
    AddSpeedDial(2, "B", "2");
    saveAs.clear();
    form->MN_Save->trigger();
    EXPECT_NE(ReadFileBytes(dir.File("m.csv")).value_or("").find("S002,B,2,"), std::string::npos);
    saveAs = dir.File("n.csv");
    form->MN_SaveAs->trigger();
    EXPECT_TRUE(fs::exists(saveAs));
    EXPECT_EQ(form->windowTitle().toStdString(), "n.csv[*] - Dialvane");
    Select(5);
    EXPECT_EQ(form->MainMode(), MainModeKind::Setup);
    EXPECT_EQ(saveItems(), (std::vector<bool>{false, false, false}));
}

TEST_F(MainFormTest, SendWithAnInvalidRecordShowsTheGeneralErrorAndStartsNothing) {
    int transfers = 0;
    hooks.runTransfer = [&](RunMode) { ++transfers; };
    NewList();
    PutSpeedDial(3, "Bad", "12x");
    // The question comes with the counts, after the MFP's list is read: never for a list
    // that cannot be sent.
    Click(form->BTN_Save_MFP);
    EXPECT_EQ(prompt->Shown(),
              (Lines{"Dialvane: Speed dial number contains illegal characters.12x."}));
    EXPECT_EQ(prompt->Last().icon, PromptIcon::Stop);
    EXPECT_EQ(transfers, 0);
    ASSERT_FALSE(form->RunFolderPath().empty());
    EXPECT_FALSE(fs::exists(form->RunFolderPath() + "MFP_VERIFY.TMP"));
    EXPECT_TRUE(form->EditorShown());
}

TEST_F(MainFormTest, ExitQuestionListsEveryChangedKindInOrder) {
    NewList("DX-M100");
    PutSpeedDial(1, "");
    form->Model().modified.groups = true;
    form->Model().bindings[1] = "S001";
    form->TabCtrl->setCurrentIndex(3);
    form->CB_Sender->setEditText("Front desk");
    EXPECT_TRUE(form->Edit_Update_Check(false));  // Cancel, the default
    EXPECT_EQ(
        prompt->Shown(),
        Lines{"Confirm Exit: The following data has been updated. Save before exiting?\r\n"
              "\r\n    Group Dial data\r\n    One-touch Dial data\r\n    Sender Information data"});
    EXPECT_EQ(prompt->Requests()[0].buttons, PromptButtons::YesNoCancel);
}

TEST_F(MainFormTest, HelpOpensTheShippedPageOrSaysWhatWentWrong) {
    std::vector<std::string> opened;
    bool browser = true;
    hooks.openHelp = [&](const std::string& page) {
        opened.push_back(page);
        return browser;
    };
    environment->resourceFolder = dir.Path();
    const std::string page = dir.File("help/index.html");
    Make();
    form->MN_Help->trigger();
    fs::create_directories(dir.File("help"));
    dir.Write("help/index.html", "<html></html>");
    form->MN_Help->trigger();
    EXPECT_EQ(prompt->Requests().size(), 1u);
    // The page is there but nothing could show it: that is what the user reads.
    browser = false;
    form->MN_Help->trigger();
    EXPECT_EQ(opened, Lines(2, page));
    EXPECT_EQ(
        prompt->Shown(),
        (Lines{"Dialvane: The help file was not found.\r\n" + page,
               "Dialvane: The help file could not be shown: no program to open it was found.\r\n" +
                   page}));
}

TEST(GeneralErrorText, AppendsAFullStopOnlyAfterCharactersSortingAfterIt) {
    EXPECT_EQ(GeneralErrorText("Invalid speed dial number.S1"), "Invalid speed dial number.S1.");
    EXPECT_EQ(GeneralErrorText("Ends with stop."), "Ends with stop.");
    EXPECT_EQ(GeneralErrorText("comma,"), "comma,");
    EXPECT_EQ(GeneralErrorText(""), "");
}

TEST_F(MainFormTest, CloseQueryRetriesAnUnwritableSettingsFileUntilCancelled) {
    Make();
    // A folder where the settings file belongs cannot be opened for writing, even by root.
    fs::create_directories(environment->paths.userSettingsFile);
    Queue({PromptAnswer::Retry, PromptAnswer::Cancel});
    EXPECT_TRUE(form->CanClose());
    ASSERT_EQ(prompt->Shown(), Lines(2,
                                     "Exclusion Error: The settings file MFP_USER.INI cannot be "
                                     "written.\r\nClose any program that has it open, then "
                                     "click Retry."));
    const PromptRequest asked = prompt->Last();
    EXPECT_EQ(asked.buttons, PromptButtons::RetryCancel);
    EXPECT_EQ(asked.icon, PromptIcon::Stop);
    EXPECT_EQ(asked.defaultAnswer, PromptAnswer::Cancel);

    // Once the file can be written again, closing asks nothing.
    fs::remove(environment->paths.userSettingsFile);
    std::ofstream(environment->paths.userSettingsFile) << "[Network]\n";
    EXPECT_TRUE(form->CanClose());
    EXPECT_EQ(prompt->Requests().size(), 2u);
}

TEST_F(MainFormTest, OfflineStartupNeedsThePrinterDriverOnlyOverUsb) {
    environment->offlineMode = true;
    std::string printer;
    hooks.findPrinter = [&] { return printer; };
    Make();
    form->StartupTimerTimer();  // network: goes on without a driver
    EXPECT_TRUE(prompt->Requests().empty());
    EXPECT_EQ(form->windowTitle().toStdString(), "Dialvane - (offline) DX-R7700");
    EXPECT_TRUE(form->DeviceReady());
    environment->user.connection = 0;
    printer = "ORVEX DX-M100";
    form->StartupTimerTimer();
    EXPECT_TRUE(prompt->Requests().empty());
    printer.clear();
    form->StartupTimerTimer();
    EXPECT_EQ(prompt->Shown(), Lines{"Dialvane: Not exist Printer Driver."});
}

TEST_F(MainFormTest, ClosingDuringTheStartupInquiryAsksTheStopQuestionAndEnds) {
    environment->user.ipAddress = StartEmulator(196);
    ASSERT_TRUE(device);
    EmulatorFaults faults;
    faults.silence = CommandMatch::Every(CommandMatch::kChannelQuery);  // the inquiry waits
    device->SetFaults(faults);
    // The run's questions are shown on the main thread, as the program's message boxes are.
    auto onMainThread =
        std::make_shared<QtPromptBridge>(std::shared_ptr<IPrompt>(&*prompt, [](IPrompt*) {}));
    hooks.prompt = onMainThread;
    Make();
    form->StartupTimerTimer();
    ASSERT_TRUE(testing::ProcessUntil([&] { return !device->Transcript().empty(); }));

    // Closing waits for the inquiry, which first asks whether to stop: a close that blocked
    // the main thread while waiting would never see the question answered.
    std::promise<void> closed;
    std::thread watchdog([done = closed.get_future()] {
        if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            std::fprintf(stderr, "closing during the start-up inquiry hung\n");
            std::_Exit(1);
        }
    });
    prompt->Queue(PromptAnswer::Yes);
    form->close();
    closed.set_value();
    watchdog.join();
    QCoreApplication::processEvents();

    EXPECT_FALSE(form->InquiryRunning());
    // The ended inquiry reports nothing.
    EXPECT_EQ(prompt->Shown(), Lines{"Confirm Stop: Stop Transmission?"});
}

TEST_P(WindowTransfer, EditRecordsThenSendWithVerify) {
    StartDevice(185);
    MakeWindow();
    ReadFromDevice();
    ASSERT_TRUE(form->EditorShown());
    EXPECT_EQ(form->Model().speedDials[2].name, "Osaka Branch");
    EXPECT_TRUE(form->DeviceDataUnsaved());
    EXPECT_EQ(form->windowTitle().toStdString(),
              "DX-R7700 (" + environment->user.ipAddress + ")[*] - Dialvane");
    EXPECT_EQ(Texts("Completion Result"), Lines{"Download completed."});
    form->TabCtrl->setCurrentIndex(2);  // a quick dial bound to a group names its members
    EXPECT_EQ(form->PNL_Quick->EditQuick[1]->text().toStdString(),
              "G01 [Sales Branches] Head Office,Osaka Branch");
    // The caption names the run while it lasts. The compact form closes itself before the
    // closing message; the detailed one lists the run, oldest line last, and waits for OK.
    EXPECT_EQ(runEnd.caption, "View Communication Status [Read Record File]");
    EXPECT_EQ(runEnd.target, "[  DX-R7700  ]");
    if (GetParam() == 0) {
        EXPECT_FALSE(runEnd.shownAtCompletion);
        EXPECT_TRUE(runEnd.lines.empty());
    } else {
        EXPECT_TRUE(runEnd.okEnabled);
        EXPECT_TRUE(runEnd.saveEnabled);
        EXPECT_FALSE(runEnd.stopEnabled);
        ASSERT_FALSE(runEnd.lines.empty());
        EXPECT_EQ(runEnd.lines.back(), "Connection start.");
    }

    AddSpeedDial(77, "Added", "0123");
    saveAs = dir.File("from-device.csv");
    form->BTN_Save->click();
    EXPECT_FALSE(form->DeviceDataUnsaved());
    EXPECT_EQ(form->windowTitle().toStdString(), "from-device.csv[*] - Dialvane");
    EXPECT_NE(ReadFileBytes(saveAs).value_or("").find("S077,Added"), std::string::npos);
    Send();
    EXPECT_EQ(Texts("Completion Result").back(),
              "Upload completed.\r\nRead back and verified: 12 speed dials, 3 groups, 4 buttons, "
              "sender name.");
    EXPECT_EQ(runEnd.caption, "View Communication Status [Send Record File]");
    ASSERT_TRUE(device->StoredValue('S', 77).has_value());
    // The backup before the send and the read-back after it: two more full reads.
    EXPECT_EQ(device->Counters().requests[0x7C], 3);
    EXPECT_EQ(form->ProgForm()->windowTitle().toStdString(), "View Communication Status");
    EXPECT_TRUE(form->EditorShown());
    EXPECT_FALSE(form->InquiryRunning());

    // The run files are the window's own and go when it closes.
    const std::string runFolder = form->RunFolderPath();
    EXPECT_TRUE(fs::exists(runFolder + "TELDIR_TOOL.TMP"));
    EXPECT_TRUE(fs::exists(runFolder + "MFP_VERIFY.TMP"));
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(fs::exists(runFolder)) << runFolder;
    for (const auto& entry : fs::recursive_directory_iterator(environment->paths.dataFolder)) {
        EXPECT_NE(entry.path().extension(), ".TMP") << "left behind: " << entry.path();
    }
}

TEST_P(WindowTransfer, StopConfirmedDuringAnUploadStillReleasesTheFax) {
    // The speed-dial registration is never answered: the run waits there until stopped.
    EmulatorFaults faults;
    faults.silence = CommandMatch::Every(ToolCommand::FrameWrite, 0x7D);
    StartDevice(189, faults);
    MakeWindow();
    Select(2);
    AddSpeedDial(1, "Only", "0123");
    PressStopWhen([this] { return !device->Counters().cancellations.empty(); });
    Send({PromptAnswer::Yes});
    ASSERT_TRUE(acted);
    EXPECT_TRUE(stopOffAfterPress);
    EXPECT_EQ(Texts("Confirm Stop"), Lines{"Stop Transmission?"});
    for (const PromptRequest& request : prompt->Requests()) {
        if (request.title == "Confirm Stop") {
            EXPECT_EQ(request.defaultAnswer, PromptAnswer::No);
        }
    }
    ASSERT_TRUE(device->WaitForDisconnects(1, std::chrono::seconds(10)));
    EmulatorCounters counters = device->Counters();
    EXPECT_EQ(counters.occupyStarts, 2);  // the backup read, then the send
    EXPECT_EQ(counters.occupyEnds, 2);
    EXPECT_FALSE(device->Occupied());
    // One message: the offer of the saved list, which the test declines.
    EXPECT_EQ(Texts("Completion Result"), Lines{});
    ASSERT_EQ(Texts("Restore Dial List").size(), 1u);
    EXPECT_TRUE(Texts("Restore Dial List")[0].starts_with("Sending failed: "));
    EXPECT_TRUE(form->EditorShown());
}

INSTANTIATE_TEST_SUITE_P(BothProgressForms, WindowTransfer, ::testing::Values(0, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == 0 ? std::string("Compact")
                                                    : std::string("Detailed");
                         });

// The keys only select in the tree: arrowing past "Edit Records" reads nothing; Enter, or a
// click on the selected node, opens it.
TEST_F(MainFormTest, ArrowKeysInTheTreeSelectAndEnterOrAClickOpens) {
    int reads = 0;
    hooks.runTransfer = [&](RunMode) { ++reads; };
    Make();
    Select(0);
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(form->TV_Ctrl, Qt::Key_Down);
    }
    EXPECT_EQ(form->TV_Ctrl->currentItem(), form->Node(4));
    QTest::keyClick(form->TV_Ctrl, Qt::Key_Up);
    EXPECT_EQ(form->TV_Ctrl->currentItem(), form->Node(3));
    EXPECT_EQ(reads, 0);
    EXPECT_TRUE(prompt->Requests().empty());
    EXPECT_EQ(form->MainMode(), MainModeKind::Standby);

    Queue({PromptAnswer::Yes});
    QTest::keyClick(form->TV_Ctrl, Qt::Key_Return);
    EXPECT_EQ(reads, 1);
    QTest::keyClick(form->TV_Ctrl, Qt::Key_Return);  // the open node: nothing again
    EXPECT_EQ(reads, 1);

    QTest::keyClick(form->TV_Ctrl, Qt::Key_End);
    ASSERT_EQ(form->TV_Ctrl->currentItem(), form->Node(5));
    EXPECT_EQ(form->MainMode(), MainModeKind::Standby);
    emit form->TV_Ctrl->itemClicked(form->Node(5), 0);
    EXPECT_EQ(form->MainMode(), MainModeKind::Setup);
}

// The error list of a file offers the editor and a new check; the list opens only once the file
// reads without an error.
TEST_F(MainFormTest, CheckAgainOpensTheFileOnceItsBadLineIsFixed) {
    std::vector<std::string> edited;
    hooks.openTextEditor = [&](const std::string& path) {
        edited.push_back(path);
        return false;
    };
    Make();
    const std::string file = dir.File("list.csv");
    const std::string good = "S001,Head Office,03-5550-1000,HQ\n";
    dir.Write("list.csv", good + "S002,Osaka Branch,06-5550-2000$,OSAKA\n");
    Lines first, second;
    bool offered = false;
    QTimer::singleShot(0, form.get(), [&] {
        TErrLogForm* errors = form->ErrLogForm();
        first = errors->Lines();
        offered = errors->BTN_Open_Editor->isVisible() && errors->BTN_Check_Again->isVisible();
        errors->BTN_Open_Editor->click();
        dir.Write("list.csv", good + "S002,Osaka Branch,06-5550-2000,OSAKA\nS003,Third,9$9,\n");
        errors->BTN_Check_Again->click();
        second = errors->isVisible() ? errors->Lines() : Lines{};
        dir.Write("list.csv", good + "S002,Osaka Branch,06-5550-2000,OSAKA\n");
        errors->BTN_Check_Again->click();
    });
    OpenFile(file, {PromptAnswer::Yes, PromptAnswer::Ok});
    EXPECT_TRUE(offered);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0].substr(0, 16), "Line number:   2");
    EXPECT_EQ(second[0].substr(0, 16), "Line number:   3");
    EXPECT_EQ(edited, Lines{file});
    EXPECT_NE(prompt->Last().text.find("No text editor was found to open " + file),
              std::string::npos);
    ASSERT_TRUE(form->EditorShown());
    EXPECT_EQ(form->Model().speedDials[2].faxNumber, "06-5550-2000");
    EXPECT_FALSE(form->ErrLogForm()->BTN_Check_Again->isVisibleTo(form->ErrLogForm()));
}

}  // namespace
}  // namespace dialvane
