// dialvane-cli against the emulated MFP: the backup before an upload, the restore it offers,
// and the preview of an upload.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/BackupStore.h"
#include "support/FileUtil.h"
#include "support/ServedMfp.h"

namespace dialvane {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSeed =
    "S1,Office,03-555-123,OFF\r\nS2,Home,04,\r\nS3,Gone,05,\r\nG1,Team,S1,S2\r\nG2,Old,S3\r\n"
    "W1,S1\r\nW2,G2\r\nN,Head Office\r\n";
// Against kSeed: of each kind one added, one changed, one removed (the sender is changed).
constexpr const char* kEdited =
    "S1,Office,03-555-123,OFF\r\nS2,Home,04,HOME\r\nS9,New,09,\r\nG1,Team,S1,S2,S9\r\n"
    "G3,Fresh,S9\r\nW2,S2\r\nW3,G3\r\nN,New Sender\r\n";

class CliBackup : public testing::CliAgainstMfp {
  protected:
    void Serve(int host) {
        address_ = CliAgainstMfp::Serve(host, kSeed).Address();
        before_ = Dump();
        dir_.Write("edited.csv", kEdited);
    }
    // The MFP served last.
    MfpEmulator& Device() const { return **devices_.back(); }
    std::string Dump() const { return devices_.back()->Dump(); }
    std::vector<std::string> Backups() const {
        return BackupStore(Path("data/backups")).List("DX-R7700", address_);
    }
    int Cancellations() const {
        int count = 0;
        for (const auto& [mid, n] : Device().Counters().cancellations) {
            count += n;
        }
        return count;
    }
    std::string address_;
    std::string before_;
};

// The upload of the edited list fails after the MFP's list was cancelled: the backup holds the
// list from before, and the printed command restores it.
TEST_F(CliBackup, FailureAfterTheCancellationLeavesARestorableBackup) {
    EmulatorFaults drop;
    drop.disconnect = CommandMatch::Nth(1, ToolCommand::FrameWrite, 0x7A);
    EmulatorFaults busy;
    busy.busy = CommandMatch::Every(ToolCommand::FrameWrite, 0x7D);
    busy.busyNacks = 20;
    for (const auto& [host, faults] : {std::pair{151, drop}, {152, busy}}) {
        Serve(host);
        SCOPED_TRACE(address_);
        Device().SetFaults(faults);
        const auto upload = Cli({"upload", "--host", address_, dir_.File("edited.csv")});
        EXPECT_EQ(upload.status, 1);
        ASSERT_EQ(Backups().size(), 1u);
        const std::string backup = Backups()[0];
        EXPECT_EQ(dir_.Read(fs::path(backup).lexically_relative(dir_.Path()).string()), before_);
        const std::string incomplete =
            "Upload failed.\n( Transmission stopped. by device error. )\n"
            "The MFP's dial list is incomplete. The list it held before is saved in " +
            backup + ".\nTo restore it: dialvane-cli --settings " + dir_.File("dialvane.ini") +
            " --data-dir " + dir_.File("data") + " upload --host " + address_ + " --no-backup " +
            backup + "\n";
        EXPECT_TRUE(upload.err.ends_with(incomplete)) << upload.err;
        EXPECT_EQ(upload.out, "");
        EXPECT_NE(Dump(), before_);
        EXPECT_GT(Cancellations(), 0);

        Device().SetFaults({});
        const auto restore = Cli({"upload", "--host", address_, "--no-backup", backup});
        EXPECT_EQ(restore.status, 0) << restore.out;
        EXPECT_EQ(Dump(), before_);
    }
}

// A backup that cannot be written, or a failure before anything is cancelled: the MFP's list
// is untouched and nothing speaks of an incomplete list.
TEST_F(CliBackup, FailureBeforeTheCancellationLeavesTheListAsItWas) {
    Serve(153);
    fs::create_directories(dir_.File("data"));
    dir_.Write("data/backups", "a file where the folder belongs");
    const auto unwritable = Cli({"upload", "--host", address_, dir_.File("edited.csv")});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("could not be written to " + dir_.File("data/backups/")),
              std::string::npos)
        << unwritable.err;
    EXPECT_TRUE(unwritable.err.ends_with("Nothing was sent to the MFP.\nUpload failed.\n"))
        << unwritable.err;

    fs::remove(dir_.File("data/backups"));
    EmulatorFaults faults;
    faults.silence = CommandMatch::Nth(2, ToolCommand::FrameWrite, 0x21);  // the upload's
    Device().SetFaults(faults);
    const auto silent = Cli({"upload", "--host", address_, dir_.File("edited.csv")});
    EXPECT_EQ(silent.status, 1);
    EXPECT_EQ(silent.err.find("incomplete"), std::string::npos) << silent.err;
    EXPECT_EQ(Cancellations(), 0);
    EXPECT_EQ(Device().Counters().registrations.size(), 0u);
    EXPECT_EQ(Dump(), before_);
}

TEST_F(CliBackup, NoBackupOptionAndSettingSkipTheRead) {
    Serve(155);
    WriteSettings("[Backup]\nBACKUP=0\n");
    EXPECT_EQ(Cli({"upload", "--host", address_, dir_.File("edited.csv")}).status, 0);
    WriteSettings();
    EXPECT_EQ(Cli({"upload", "--host", address_, "--no-backup", dir_.File("seed.csv")}).status, 0);
    EXPECT_EQ(Device().Counters().requests[0x7C], 0);  // never read
    EXPECT_FALSE(FileExists(dir_.File("data/backups")));
}

TEST_F(CliBackup, DiffAndDryRunShowTheChangesAndSendNothing) {
    Serve(157);
    const auto same = Cli({"diff", "--host", address_, dir_.File("seed.csv")});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");

    const std::string lines =
        "change S002,Home,04, -> S002,Home,04,HOME\n"
        "remove S003,Gone,05,\n"
        "add S009,New,09,\n"
        "change G01,Team,S001,S002 -> G01,Team,S001,S002,S009\n"
        "remove G02,Old,S003\n"
        "add G03,Fresh,S009\n"
        "remove W1,S001\n"
        "change W2,G02 -> W2,S002\n"
        "add W3,G03\n"
        "change N,Head Office -> N,New Sender\n";
    const auto changed = Cli({"diff", "--host", address_, dir_.File("edited.csv")});
    EXPECT_EQ(changed.status, 1) << changed.err;
    EXPECT_EQ(changed.out, lines);

    Device().ClearTranscript();
    const auto dry = Cli({"upload", "--host", address_, "--dry-run", dir_.File("edited.csv")});
    EXPECT_EQ(dry.status, 0);
    EXPECT_EQ(dry.out, lines);
    EXPECT_EQ(Cancellations(), 0);
    EXPECT_EQ(Device().Counters().registrations.size(), 0u);
    EXPECT_FALSE(FileExists(dir_.File("data/backups")));

    dir_.Write("bad.csv", "S999,Nowhere,1,\r\n");
    EXPECT_EQ(Cli({"diff", "--host", address_, dir_.File("bad.csv")}).status, 2);
    EXPECT_EQ(Cli({"diff", "--host", testing::LoopbackAddress(158), dir_.File("seed.csv")}).status,
              2);
}

}  // namespace
}  // namespace dialvane
