// A send from the window goes through the transfer workflow: the MFP's list is saved first, the
// confirmation counts what changes, a failure is one message, and a send stopped after the MFP's
// list was cancelled offers the saved list back, as the File menu does later.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "data/BackupStore.h"
#include "support/FileUtil.h"
#include "support/MainWindowFixture.h"

namespace dialvane {
namespace {

class SendBackup : public testing::WindowTransfer {
  protected:
    std::vector<std::string> Backups() const {
        return BackupStore(environment->paths.backupFolder)
            .List("DX-R7700", device->Options().address);
    }
    std::string Dump() const {
        EXPECT_TRUE(device->DumpUserFile(dir.File("dump.csv")));
        return ReadFileBytes(dir.File("dump.csv")).value_or("<none>");
    }
    // The MFP holds the sample list and never answers the first speed-dial registration: a
    // send waits there, with the MFP's list already cancelled, until it is stopped.
    void StartDeviceSilentAtTheFirstRegistration(int host) {
        EmulatorFaults faults;
        faults.silence = CommandMatch::Nth(1, ToolCommand::FrameWrite, 0x7D);
        StartDevice(host, faults);
    }
    // Reads the MFP's list for editing, adds a speed dial and sends it, confirming the send and
    // the Stop pressed once the MFP's list is cancelled; `atOffer` runs when the restore is
    // offered.
    void SendAndStopIt(std::function<void()> atOffer) {
        ReadFromDevice();
        ASSERT_TRUE(form->EditorShown());
        AddSpeedDial(77, "Added", "0123");
        StopAtTheFirstRegistration();
        const auto showRuns = prompt->onAsk;
        prompt->onAsk = [showRuns, atOffer](const PromptRequest& request) {
            showRuns(request);
            if (request.title == "Restore Dial List") {
                atOffer();
            }
        };
        Send({PromptAnswer::Yes});
        ASSERT_TRUE(acted);
    }
    // Presses Stop once the first speed-dial registration is out: the MFP's list is cancelled.
    void StopAtTheFirstRegistration() {
        PressStopWhen([this] {
            const std::vector<ReceivedCommand> received = device->Transcript();
            return std::any_of(received.begin(), received.end(), [](const ReceivedCommand& c) {
                return c.command == static_cast<int>(ToolCommand::FrameWrite) && c.mid == 0x7D;
            });
        });
    }
};

TEST_P(SendBackup, StoppedSendOffersTheSavedListAndYesRestoresIt) {
    StartDeviceSilentAtTheFirstRegistration(140);
    MakeWindow();
    const std::string before = Dump();
    SendAndStopIt([this] { prompt->Queue(PromptAnswer::Yes); });

    EXPECT_EQ(Texts("Confirm Execution").back(),
              "Send user data to MFP?\r\n\r\n1 speed dial added");
    const std::vector<std::string> backups = Backups();
    ASSERT_EQ(backups.size(), 2u);  // the read for editing, and a fresh one before the send
    EXPECT_EQ(ReadFileBytes(backups[0]), before);
    EXPECT_EQ(ReadFileBytes(backups[1]), before);
    // One message for the failure, with the offer; no box of the run's own before it.
    const std::vector<std::string> offers = Texts("Restore Dial List");
    ASSERT_EQ(offers.size(), 1u);
    EXPECT_TRUE(offers[0].starts_with("Sending failed: ")) << offers[0];
    EXPECT_TRUE(
        offers[0].ends_with(" The MFP's dial list was changed and may be incomplete. The "
                            "list it held before is saved in " +
                            backups[1] + ".\r\nSend the saved list back to the MFP now?"))
        << offers[0];
    EXPECT_EQ(Texts("Dialvane"), std::vector<std::string>{});
    const std::vector<std::string> results = Texts("Completion Result");
    // The read for editing, the restore.
    ASSERT_EQ(results.size(), 2u) << ::testing::PrintToString(results);
    const std::string name = std::filesystem::path(backups[1]).filename().string();
    EXPECT_TRUE(
        results[1].starts_with("Restored from backup " + name + ".\r\nRead back and verified: "))
        << results[1];
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(device->Occupied());
    EXPECT_TRUE(form->EditorShown());
}

// A file opened from disk: the counts come from the read the send makes first; the send cut
// midway is put right later from the File menu, which lists the backups newest first.
TEST_P(SendBackup, AFileFromDiskIsCountedAndTheMenuRestoresACutSend) {
    StartDeviceSilentAtTheFirstRegistration(142);
    const std::string before = Dump();
    dir.Write("edited.csv", "S1,Office,03-555-123,\r\nS2,Branch,06-555-020,\r\n");
    std::vector<std::string> listed;
    hooks.chooseBackup = [&listed](const std::vector<std::string>& lines) {
        listed = lines;
        return std::optional<std::size_t>(0);
    };
    MakeWindow();
    OpenFile(dir.File("edited.csv"));
    ASSERT_TRUE(form->EditorShown());
    StopAtTheFirstRegistration();
    Send({PromptAnswer::Yes, PromptAnswer::No});  // confirm; stop: Yes; no restore now
    ASSERT_TRUE(acted);
    const std::vector<std::string> asked = Texts("Confirm Execution");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].starts_with("Send user data to MFP?\r\n\r\n")) << asked[0];
    EXPECT_NE(asked[0].find(" removed"), std::string::npos) << asked[0];
    EXPECT_NE(Dump(), before);
    ASSERT_EQ(Backups().size(), 1u);

    device->SetFaults({});
    prompt->Queue(PromptAnswer::Yes);  // the confirmation of the restore
    form->MN_Restore->trigger();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_TRUE(listed[0].starts_with(std::filesystem::path(Backups().front()).filename().string()))
        << listed[0];
    EXPECT_EQ(Dump(), before);
    EXPECT_TRUE(Texts("Completion Result").back().starts_with("Restored from backup "));
}

// A list an editor saved as UTF-8, opened where files are CP932: the window asks how to read it.
// Read as UTF-8, Save keeps it UTF-8, and it holds what its CP932 twin holds, so both send the
// same records (the command line's encoding test shows that on the wire).
TEST_P(SendBackup, AUtf8FileIsAskedAboutAndReadsAsItsCodePageTwin) {
    environment->settings.lang = "JPN";
    environment->japaneseUi = true;
    const std::string name = "\xE5\xB1\xB1\xE7\x94\xB0";  // two kanji in UTF-8
    dir.Write("utf8.csv", "S1," + name + ",0355501000,\r\n");
    dir.Write("cp932.csv", "S1,\x8E\x52\x93\x63,0355501000,\r\n");
    std::vector<std::string> errorsShown;
    hooks.showErrors = [&](const std::vector<std::string>& lines) { errorsShown = lines; };
    MakeWindow();
    OpenFile(dir.File("utf8.csv"), {PromptAnswer::Yes});
    ASSERT_TRUE(form->EditorShown()) << ::testing::PrintToString(errorsShown);
    EXPECT_EQ(Texts("Read User Data"),
              std::vector<std::string>{"This file looks like UTF-8 text. Open it as UTF-8?\r\nNo "
                                       "opens it as cp932, and its names may be garbled."});
    EXPECT_EQ(form->Model().speedDials[1].name, name);
    form->BTN_Save->click();
    EXPECT_NE(dir.Read("utf8.csv").find("S1," + name + ","), std::string::npos);

    OpenFile(dir.File("cp932.csv"));
    ASSERT_TRUE(form->EditorShown());
    EXPECT_EQ(Texts("Read User Data").size(), 1u);  // a file in the code page is not asked about
    EXPECT_EQ(form->Model().speedDials[1].name, name);
}

// The offer comes while the MFP cannot be reached: the message says so and names the menu, which
// restores a cut send as the test above shows.
TEST_P(SendBackup, AnOfferTheMfpCannotTakeNamesTheMenuThatRestoresLater) {
    StartDeviceSilentAtTheFirstRegistration(146);
    MakeWindow();
    SendAndStopIt([this] {
        if (device->Running()) {
            device->Stop();  // the MFP goes away before the offer is taken
            prompt->Queue(PromptAnswer::Yes);
        }
    });
    const std::vector<std::string> offers = Texts("Restore Dial List");
    ASSERT_EQ(offers.size(), 2u) << ::testing::PrintToString(offers);
    EXPECT_EQ(offers[1],
              "The MFP cannot be reached, so the saved list was not sent. When it is back, send it "
              "with File > Restore MFP from Backup...");
}

INSTANTIATE_TEST_SUITE_P(CompactProgress, SendBackup, ::testing::Values(0));

}  // namespace
}  // namespace dialvane
