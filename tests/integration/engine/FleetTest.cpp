// The built dialvane-cli with several MFPs: one command for all of them, and separate runs side
// by side on one data folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "data/BackupStore.h"
#include "support/FullDialList.h"
#include "support/Messages.h"
#include "support/ServedMfp.h"

namespace dialvane {
namespace {

class Fleet : public testing::CliAgainstMfp {
  protected:
    Fleet() { WriteSettings("[LOG_LEVEL]\nDEFAULT=1\n"); }
    std::string Address(std::size_t device) const { return Mfp(device).Address(); }
    // The summary row of an MFP.
    static std::string RowOf(const std::string& summary, const std::string& host) {
        std::istringstream lines(summary);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(host + " ", 0) == 0) {
                return line;
            }
        }
        return "<no row for " + host + ">";
    }
};

TEST_F(Fleet, OneFailingMfpNeverStopsTheOthersAndEveryFaxIsReleased) {
    const std::string list = testing::FullDialList();
    for (int host : {160, 161, 162, 163}) {
        Serve(host, "S1,Old,1,\r\n");
    }
    EmulatorFaults busy;
    busy.busy = CommandMatch::Every(ToolCommand::FrameWrite, 0x7D);
    busy.busyNacks = 5;  // more than NACK_RETRY_COUNT
    Mfp(2)->SetFaults(busy);
    EmulatorFaults drop;
    drop.disconnect = CommandMatch::Nth(3, ToolCommand::FrameWrite, 0x7D);
    Mfp(3)->SetFaults(drop);

    dir_.Write("hosts.txt", "# the two failing ones\n\n" + Address(2) + "\n  " + Address(3) + "\n");
    // The list comes on standard input, read once for every MFP.
    const auto run = Cli({"upload", "-", "--verify", "--host", Address(0), "--host", Address(1),
                          "--hosts-file", Path("hosts.txt"), "--jobs", "3"},
                         list);
    EXPECT_EQ(run.status, 1) << run.err;

    auto expectRow = [&](std::size_t device, const std::string& text) {
        EXPECT_NE(RowOf(run.out, Address(device)).find(text), std::string::npos) << run.out;
    };
    for (std::size_t ok : {0u, 1u}) {
        EXPECT_EQ(Mfp(ok).Dump(), list);
        expectRow(ok, Text(Msg::CommUploadCompleted));
    }
    expectRow(2, Text(Msg::NackFaxBusy));
    expectRow(3, Text(Msg::CommDisconnected));
    // Every progress line names its MFP.
    std::istringstream err(run.err);
    for (std::string line; std::getline(err, line);) {
        EXPECT_TRUE(std::ranges::any_of(devices_, [&](const auto& mfp) {
            return line.starts_with(mfp->Address() + ": ");
        })) << line;
    }
    // Each MFP's list was saved before its upload began: the backup read and the upload.
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        EXPECT_EQ(BackupStore(dir_.File("data/backups")).List("DX-R7700", Address(i)).size(), 1u)
            << Address(i);
        EXPECT_FALSE(Mfp(i)->Occupied()) << Address(i);
        EXPECT_EQ(Mfp(i)->Counters().occupyStarts, 2) << Address(i);
    }
    for (std::size_t released : {0u, 1u, 2u}) {
        EXPECT_EQ(Mfp(released)->Counters().occupyEnds, 2) << Address(released);
    }
    EXPECT_EQ(Mfp(3)->Counters().disconnects, 3);  // inquiry, backup read, the dropped one
}

TEST_F(Fleet, SeparateDownloadsOnOneDataFolderKeepToThemselves) {
    Serve(164, "S1,First,111,\r\nN,One\r\n");
    Serve(165, testing::FullDialList());
    const std::vector<std::string> expected = {Mfp(0).Dump(), Mfp(1).Dump()};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    auto start = [&](std::size_t i) {
        return testing::SpawnProgram(
            {DIALVANE_BINARY_DIR "/apps/dialvane-cli/dialvane-cli", "--data-dir", Path("data"),
             "--settings", Path("dialvane.ini"), "download", "--host", Address(i), "-o",
             Path("out" + std::to_string(i) + ".csv")},
            {}, quiet);
    };
    for (int round = 0; round < 20; ++round) {
        const pid_t pids[] = {start(0), start(1)};
        for (std::size_t i : {0u, 1u}) {
            EXPECT_EQ(testing::ExitStatus(pids[i]), 0) << "round " << round;
            ASSERT_EQ(dir_.Read("out" + std::to_string(i) + ".csv"), expected[i]) << round;
        }
    }
    posix_spawn_file_actions_destroy(&quiet);
}

}  // namespace
}  // namespace dialvane
