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

// What the send confirmation counts for kEdited against kSeed.
constexpr const char* kSummary =
    "1 speed dial added, 1 changed, 1 removed, 1 group added, 1 changed, 1 removed, 1 button "
    "added, 1 changed, 1 removed, 1 sender name changed\n";

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
    static std::size_t Occurrences(const std::string& text, const std::string& part) {
        std::size_t count = 0;
        for (std::size_t at = text.find(part); at != std::string::npos;
             at = text.find(part, at + 1)) {
            ++count;
        }
        return count;
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
        // One message: the phase, the cause once, what changed and where the backup is.
        const std::string changed =
            " The MFP's dial list was changed and may be incomplete. The list it held before is "
            "saved in " +
            backup + ".\nTo restore it: dialvane-cli --settings " + dir_.File("dialvane.ini") +
            " --data-dir " + dir_.File("data") + " upload --host " + address_ + " --no-backup " +
            backup + "\n";
        EXPECT_TRUE(upload.err.ends_with(changed)) << upload.err;
        EXPECT_EQ(Occurrences(upload.err, "Sending failed: "), 1u) << upload.err;
        EXPECT_LE(Occurrences(upload.err, "by device error"), 1u) << upload.err;
        EXPECT_EQ(upload.err.find("Upload failed."), std::string::npos) << upload.err;
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
    EXPECT_NE(unwritable.err.find("Not a directory"), std::string::npos) << unwritable.err;
    EXPECT_TRUE(unwritable.err.ends_with(
        "Nothing was sent to the MFP. The MFP's dial list was not changed.\n"))
        << unwritable.err;
    EXPECT_EQ(Occurrences(unwritable.err, "failed: "), 1u) << unwritable.err;

    fs::remove(dir_.File("data/backups"));
    EmulatorFaults faults;
    faults.silence = CommandMatch::Nth(2, ToolCommand::FrameWrite, 0x21);  // the upload's
    Device().SetFaults(faults);
    const auto silent = Cli({"upload", "--host", address_, dir_.File("edited.csv")});
    EXPECT_EQ(silent.status, 1);
    EXPECT_EQ(silent.err.find("incomplete"), std::string::npos) << silent.err;
    EXPECT_NE(silent.err.find("The MFP's dial list was not changed."), std::string::npos)
        << silent.err;
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

// The list the MFP already holds: nothing is cancelled or written, and no backup pushes older
// ones out.
TEST_F(CliBackup, AnUnchangedListSendsNothingAndKeepsNoBackup) {
    Serve(204);
    const auto same = Cli({"upload", "--host", address_, dir_.File("seed.csv")});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "The MFP already holds this list. Nothing was sent.\n");
    EXPECT_EQ(Cancellations(), 0);
    EXPECT_EQ(Device().Counters().registrations.size(), 0u);
    EXPECT_FALSE(FileExists(dir_.File("data/backups")));
}

// The counts of a change go to standard error before the list is sent; without a terminal, or
// with --yes, nothing is asked.
TEST_F(CliBackup, TheChangeCountsPrecedeTheSend) {
    Serve(206);
    for (const bool yes : {false, true}) {
        std::vector<std::string> arguments = {"upload", "--host", address_,
                                              dir_.File("edited.csv")};
        if (yes) {
            arguments.push_back("--yes");
            EXPECT_TRUE(Device().LoadUserFile(dir_.Write("seed.csv", kSeed)));
        }
        const auto upload = Cli(arguments);
        EXPECT_EQ(upload.status, 0) << upload.err;
        const std::size_t summary = upload.err.find(kSummary);
        EXPECT_NE(summary, std::string::npos) << upload.err;
        EXPECT_LT(summary, upload.err.find("The MFP's dial list was saved in")) << upload.err;
        EXPECT_EQ(upload.err.find("Send user data to MFP?"), std::string::npos) << upload.err;
    }
}

// restore: the newest backup by default, a named one, the list of them, and none at all.
TEST_F(CliBackup, RestoreSendsABackupBackAndVerifies) {
    Serve(208);
    const auto none = Cli({"restore", "--host", address_});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("There is no backup of this MFP in " + dir_.File("data/backups/")),
              std::string::npos)
        << none.err;

    fs::create_directories(dir_.File("data/backups"));
    const std::string prefix = "data/backups/DX-R7700_" + address_;
    dir_.Write(prefix + "_20260101-080000.csv", "S1,Oldest,1,\r\n");
    dir_.Write(prefix + "_20260301-093000.csv", kEdited);
    const auto listed = Cli({"restore", "--host", address_, "--list"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "DX-R7700_" + address_ +
                              "_20260301-093000.csv  2026-03-01 09:30:00  3 speed dials, 2 "
                              "groups, 2 buttons\n"
                              "DX-R7700_" +
                              address_ +
                              "_20260101-080000.csv  2026-01-01 08:00:00  1 speed dials, 0 "
                              "groups, 0 buttons\n");
    EXPECT_EQ(Dump(), before_);

    const auto named =
        Cli({"restore", "--host", address_, "DX-R7700_" + address_ + "_20260101-080000.csv"});
    EXPECT_EQ(named.status, 0) << named.err;
    EXPECT_TRUE(named.out.starts_with("Restored from backup DX-R7700_" + address_ +
                                      "_20260101-080000.csv.\nRead back and verified: "))
        << named.out;
    EXPECT_EQ(Dump(), "S1,Oldest,1,\r\nN,\r\n");

    // The newest backup (the list the named restore replaced) is chosen before this restore
    // saves the MFP's list, and stays even with one backup kept.
    const std::string newest = Backups().back();
    EXPECT_EQ(ReadFileBytes(newest), before_);
    WriteSettings("[Backup]\nKEEP=1\n");
    const auto again = Cli({"restore", "--host", address_});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(Dump(), before_);
    EXPECT_TRUE(FileExists(newest));
    ASSERT_EQ(Backups().size(), 2u);
    EXPECT_EQ(Cli({"restore", "--host", address_, dir_.File("nowhere.csv")}).status, 2);
}

// An upload that cannot start exits 2 before any MFP is contacted, saying why.
TEST_F(CliBackup, UnusableFileOrAddressExitsTwoUpFront) {
    const std::string cannot = "Cannot read file.Confirm whether or not the file is open.(";
    const struct {
        std::vector<std::string> arguments;
        std::string err;
    } cases[] = {
        {{"upload", "--host", "127.0.0.1", dir_.File("missing.csv")},
         cannot + dir_.File("missing.csv") + ") No such file or directory\n"},
        {{"upload", "--host", "127.0.0.999", dir_.File("edited.csv")},
         "dialvane-cli: 127.0.0.999 is neither an IPv4 address nor a host name\n"},
        {{"test", "--host", "127.0.0.1:9100"},
         "dialvane-cli: 127.0.0.1:9100: give the MFP's address without a port (it is always "
         "9100)\n"},
    };
    dir_.Write("edited.csv", kEdited);
    for (const auto& [arguments, err] : cases) {
        const auto run = Cli(arguments);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.err, err);
    }
}

}  // namespace
}  // namespace dialvane
