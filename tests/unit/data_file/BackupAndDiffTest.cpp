// What an upload would change, and the backups kept of the lists it replaces.
#include <sys/stat.h>

#include <filesystem>

#include "DialFileTestSupport.h"
#include "data/BackupStore.h"
#include "data/DialFileLoader.h"
#include "data/DialListDiff.h"
#include "data/RecordTable.h"

namespace dialvane {
namespace {

using testing::DialFileTest;

class DialListDiffTest : public DialFileTest {
  protected:
    // Records in device order, as the gate takes them.
    RecordTable Table(const std::vector<DialRecord>& records) const {
        RecordTable table(*quick_);
        for (const DialRecord& record : records) {
            table.StoreRecord(record);
        }
        return table;
    }
};

TEST_F(DialListDiffTest, EqualListsDifferInNothingWhateverTheirOrderAndKeyForm) {
    const RecordTable device = Table({{"S1", "Office", "", "03-555-123"},
                                      {"S2", "Home", "HOME", "04"},
                                      {"G1", "Team", "S2", "S1"},
                                      {"W1", "G1"},
                                      {"N", "Head Office"}});
    const RecordTable file = Table({{"N", "Head Office"},
                                    {"W1", "G01"},
                                    {"G01", "Team", "S001", "S002"},
                                    {"S002", "Home", "HOME", "04"},
                                    {"S001", "Office", "03-555-123"}});
    const DialListDiff diff = DiffDialLists(device, file);
    EXPECT_TRUE(diff.Empty());
    EXPECT_EQ(diff.Summary(), "no changes");
    // An empty sender on both sides, or none at all, is no change either.
    EXPECT_TRUE(DiffDialLists(Table({{"N"}}), Table({})).Empty());
}

TEST_F(DialListDiffTest, AddChangeAndRemoveOfEveryKindInPreviewOrder) {
    const RecordTable device = Table({{"N", "Old Sender"},
                                      {"W3", "S1"},
                                      {"W2", "S1"},
                                      {"S1", "Office", "", "03-555-123"},
                                      {"S2", "Home", "", "04"},
                                      {"S3", "Gone, Ltd", "", "05"},
                                      {"G1", "Team", "S1"},
                                      {"G2", "Old", "S2"}});
    const RecordTable file = Table({{"S1", "Office", "", "03-555-123"},
                                    {"S2", "Home", "HOME", "04"},
                                    {"S9", "New", "", "09"},
                                    {"G1", "Team", "S1", "S2"},
                                    {"G3", "Fresh", "S9"},
                                    {"W1", "G3"},
                                    {"W2", "S2"},
                                    {"N", "New Sender"}});
    // The lines' wording and order are pinned by the command line's diff; a comma is quoted.
    const DialListDiff diff = DiffDialLists(device, file);
    ASSERT_EQ(diff.Lines().size(), 10u);
    EXPECT_EQ(diff.Lines()[1], "remove S003,\"Gone, Ltd\",05,");
    EXPECT_EQ(diff.Lines()[8], "remove W3,S001") << "listed in number order, not device order";
    EXPECT_EQ(diff.Summary(),
              "1 speed dial added, 1 changed, 1 removed, 1 group added, 1 changed, 1 removed, "
              "1 button added, 1 changed, 1 removed, 1 sender name changed");

    // Emptying the sender name removes it; the noun is plural from two on.
    const DialListDiff cleared = DiffDialLists(
        Table({{"N", "Head"}, {"G1", "A", "S1"}, {"G2", "B", "S1"}, {"S1", "x", "", "1"}}),
        Table({{"N"}, {"S1", "x", "", "1"}, {"S2", "y", "", "2"}, {"S3", "z", "", "3"}}));
    EXPECT_EQ(cleared.Summary(), "2 speed dials added, 2 groups removed, 1 sender name removed");
    EXPECT_EQ(cleared.Lines().back(), "remove N,Head");
}

class BackupStoreTest : public DialFileTest {
  protected:
    RecordTable List() const {
        RecordTable table(*quick_);
        table.StoreRecord({"S1", "Office", "OFF", "03-555-123"});
        table.StoreRecord({"N", "Head Office"});
        return table;
    }
    // 2026-12-07 10:45:12 local time plus `seconds`.
    static std::time_t At(int seconds) {
        std::tm local{};
        ::strptime("2026-12-07 10:45:12", "%F %T", &local);
        local.tm_isdst = -1;
        return std::mktime(&local) + seconds;
    }
    std::string Name(const std::string& path) const {
        return std::filesystem::path(path).filename().string();
    }
    static unsigned Mode(const std::string& path) {
        struct stat info {};
        ::stat(path.c_str(), &info);
        return info.st_mode & 07777;
    }
};

TEST_F(BackupStoreTest, SavesAPrivateUserFileNamedByModelAddressAndTime) {
    const BackupStore store(dir_.File("backups"));
    std::string path;
    std::string error;
    ASSERT_TRUE(store.Save(List(), "DX-R7700", "192.168.1.20", At(0), &path, &error)) << error;
    EXPECT_EQ(path, dir_.File("backups/DX-R7700_192.168.1.20_20261207-104512.csv"));
    EXPECT_EQ(ReadFileBytes(path), "S1,Office,03-555-123,OFF\r\nN,Head Office\r\n");
    EXPECT_EQ(Mode(dir_.File("backups")), 0700u);
    EXPECT_EQ(Mode(path), 0600u);

    // Same second: a second file, after the first in order. Odd names stay inside the folder.
    ASSERT_TRUE(store.Save(List(), "DX-R7700", "192.168.1.20", At(0), &path, &error));
    EXPECT_EQ(Name(path), "DX-R7700_192.168.1.20_20261207-104512-2.csv");
    EXPECT_EQ(store.List("DX-R7700", "192.168.1.20").back(), path);
    ASSERT_TRUE(store.Save(List(), "../DX R_1", "usb", At(0), &path, &error));
    EXPECT_EQ(Name(path), "..-DX-R-1_usb_20261207-104512.csv");
    EXPECT_EQ(std::filesystem::path(path).parent_path(),
              std::filesystem::path(dir_.File("backups")));
}

// Hangul passes the Unicode name rule but has no Windows-1252 form: the backup is marked UTF-8
// and reads back unchanged with the code page's default.
TEST_F(BackupStoreTest, AListTheCodePageCannotHoldIsKeptInMarkedUtf8) {
    const BackupStore store(dir_.File("backups"));
    RecordTable table(*quick_);
    table.StoreRecord({"S1", "가나", "", "03"});
    std::string path;
    std::string error;
    ASSERT_TRUE(store.Save(table, "DX-R7700", "usb", At(0), &path, &error)) << error;
    EXPECT_EQ(ReadFileBytes(path), "\xEF\xBB\xBFS1,가나,03,\r\n");
    DialModel model;
    EXPECT_TRUE(LoadDialFile(path, model, *quick_).ok());
    EXPECT_EQ(model.speedDials[1].name, "가나");
}

TEST_F(BackupStoreTest, KeepsTheNewestPerMfpOnly) {
    const BackupStore store(dir_.File("backups"), 20);
    std::string path;
    std::filesystem::create_directory(dir_.File("backups"));
    dir_.Write("backups/DX-R7700_10.0.0.1_notes.csv", "mine");
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(store.Save(List(), "DX-R7700", "10.0.0.1", At(60 * i), &path, nullptr));
    }
    ASSERT_TRUE(store.Save(List(), "DX-R7700", "10.0.0.2", At(-60), &path, nullptr));
    const std::string oldest = store.List("DX-R7700", "10.0.0.1").front();
    EXPECT_EQ(Name(oldest), "DX-R7700_10.0.0.1_20261207-104512.csv");

    ASSERT_TRUE(store.Save(List(), "DX-R7700", "10.0.0.1", At(60 * 20), &path, nullptr));
    const std::vector<std::string> kept = store.List("DX-R7700", "10.0.0.1");
    EXPECT_EQ(kept.size(), 20u);
    EXPECT_FALSE(FileExists(oldest));
    EXPECT_EQ(kept.back(), path);
    // Another MFP's backup and a file that is no backup are left alone.
    EXPECT_EQ(store.List("DX-R7700", "10.0.0.2").size(), 1u);
    EXPECT_TRUE(FileExists(dir_.File("backups/DX-R7700_10.0.0.1_notes.csv")));

    // A keep below 1 never removes the backup just taken.
    const BackupStore one(dir_.File("backups"), 0);
    ASSERT_TRUE(one.Save(List(), "DX-R7700", "10.0.0.2", At(0), &path, nullptr));
    EXPECT_EQ(store.List("DX-R7700", "10.0.0.2"), std::vector<std::string>{path});
}

}  // namespace
}  // namespace dialvane
