// A send from the window saves the MFP's list first, and a send stopped after the MFP's list was
// cancelled offers to send the saved list back.
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
};

TEST_P(SendBackup, StoppedSendOffersTheSavedListAndYesRestoresIt) {
    // The first speed-dial registration is never answered: the send waits there until stopped,
    // with the MFP's list already cancelled.
    EmulatorFaults faults;
    faults.silence = CommandMatch::Nth(1, ToolCommand::FrameWrite, 0x7D);
    StartDevice(150, faults);
    MakeWindow();
    const std::string before = Dump();
    ReadFromDevice();
    ASSERT_TRUE(form->EditorShown());
    ASSERT_EQ(Backups().size(), 1u);  // the read for editing is a backup too
    EXPECT_EQ(ReadFileBytes(Backups()[0]), before);

    AddSpeedDial(77, "Added", "0123");
    PressStopWhen([this] {
        const std::vector<ReceivedCommand> received = device->Transcript();
        return std::any_of(received.begin(), received.end(), [](const ReceivedCommand& c) {
            return c.command == static_cast<int>(ToolCommand::FrameWrite) && c.mid == 0x7D;
        });
    });
    // Stop: Yes; the restore question: Yes; every other box its default.
    const auto showRuns = prompt->onAsk;
    prompt->onAsk = [this, showRuns](const PromptRequest& request) {
        showRuns(request);
        if (request.title == "Restore Dial List") {
            prompt->Queue(PromptAnswer::Yes);
        }
    };
    Send({PromptAnswer::Yes});
    ASSERT_TRUE(acted);

    EXPECT_EQ(Texts("Confirm Execution").back(),
              "Send user data to MFP?\r\n\r\n1 speed dial added");
    const std::vector<std::string> backups = Backups();
    ASSERT_EQ(backups.size(), 2u);  // and a fresh one before the send
    EXPECT_EQ(ReadFileBytes(backups[1]), before);
    EXPECT_EQ(
        Texts("Restore Dial List"),
        std::vector<std::string>{"The MFP's dial list is incomplete. The list it held "
                                 "before is saved in " +
                                 backups[1] + ".\r\nSend the saved list back to the MFP now?"});
    const std::vector<std::string> results = Texts("Completion Result");
    // The read for editing, the stopped send, the restore.
    ASSERT_EQ(results.size(), 3u) << ::testing::PrintToString(results);
    EXPECT_EQ(results[1].rfind("Upload failed.", 0), 0u) << results[1];
    EXPECT_EQ(results[2].rfind("Upload completed.\r\nRead back and verified: ", 0), 0u)
        << results[2];
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(device->Occupied());
    EXPECT_TRUE(form->EditorShown());
}

INSTANTIATE_TEST_SUITE_P(CompactProgress, SendBackup, ::testing::Values(0));

}  // namespace
}  // namespace dialvane
