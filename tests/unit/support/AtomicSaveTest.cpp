#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <filesystem>
#include <random>

#include "support/FileUtil.h"
#include "support/TempDir.h"

namespace dialvane {
namespace {

using testing::TempDir;

unsigned ModeOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 0;
}

int TemporariesBeside(const TempDir& dir, const std::string& name) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        if (entry.path().filename().string().starts_with(AtomicSaveTempPrefix(name))) {
            ++count;
        }
    }
    return count;
}

// A new file's chosen mode is shown by the user settings and the session's temporary files.
TEST(AtomicSave, ModesAreKeptOrRespected) {
    TempDir dir;
    const std::string shared = dir.Write("shared.csv", "old");
    ::chmod(shared.c_str(), 0664);
    ASSERT_TRUE(WriteFileAtomic(shared, "new", 0600));
    EXPECT_EQ(ModeOf(shared), 0664u) << "a replaced file keeps its mode";
    EXPECT_EQ(dir.Read("shared.csv"), "new");

    // Read-only by its mode: refused and left as it was, even for root.
    const std::string locked = dir.Write("locked.csv", "keep me");
    ::chmod(locked.c_str(), 0444);
    EXPECT_FALSE(WriteFileAtomic(locked, "replaced"));
    EXPECT_EQ(dir.Read("locked.csv"), "keep me");
    EXPECT_EQ(ModeOf(locked), 0444u);
    EXPECT_EQ(TemporariesBeside(dir, "locked.csv"), 0);
}

TEST(AtomicSave, StaleTemporariesOfTheSameTargetAreRemovedOthersKept) {
    TempDir dir;
    const std::string prefix = AtomicSaveTempPrefix("list.csv");
    EXPECT_EQ(prefix.rfind("list.csv", 0), 0u);
    dir.Write(prefix + "Ab3dE6gH", "left by a killed save");
    dir.Write(prefix + "0000000Z", "another");
    // Not ours: another target's temporary, and names that only look alike.
    dir.Write(AtomicSaveTempPrefix("other.csv") + "Ab3dE6gH", "x");
    dir.Write(prefix + "short", "x");
    dir.Write("list.csv.bak", "x");

    ASSERT_TRUE(WriteFileAtomic(dir.File("list.csv"), "new"));
    EXPECT_EQ(TemporariesBeside(dir, "list.csv"), 1) << "only the short-tailed look-alike stays";
    EXPECT_TRUE(FileExists(dir.File(prefix + "short")));
    EXPECT_EQ(TemporariesBeside(dir, "other.csv"), 1);
    EXPECT_TRUE(FileExists(dir.File("list.csv.bak")));
    EXPECT_EQ(dir.Read("list.csv"), "new");
}

// A save killed at any moment leaves the old file or the complete new one, never a mix, and
// the next save clears what the killed one left behind.
TEST(AtomicSave, KillingTheSavingProcessAtRandomMomentsNeverTearsTheFile) {
    TempDir dir;
    const std::string path = dir.File("list.csv");
    const std::string oldBytes(300000, 'o');
    const std::string newBytes(200000, 'n');
    std::mt19937 random(1400);
    std::uniform_int_distribution<long> delayNs(0, 3000000);
    int killedMidway = 0;
    constexpr int kRounds = 120;
    for (int round = 0; round < kRounds; ++round) {
        ASSERT_TRUE(WriteFileAtomic(path, oldBytes));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                WriteFileAtomic(path, newBytes);
            }
        }
        // The moment of the kill is what is random here; nothing waits for the child.
        const timespec pause{0, delayNs(random)};
        ::nanosleep(&pause, nullptr);
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        const std::string found = dir.Read("list.csv");
        ASSERT_TRUE(found == oldBytes || found == newBytes)
            << "round " << round << ": " << found.size() << " bytes";
        killedMidway += TemporariesBeside(dir, "list.csv") > 0 ? 1 : 0;
    }
    ASSERT_TRUE(WriteFileAtomic(path, oldBytes));
    EXPECT_EQ(TemporariesBeside(dir, "list.csv"), 0);
    // A run where no kill landed while a temporary existed tested nothing. How many do depends
    // on the machine's load, so only none is a failure.
    EXPECT_GT(killedMidway, 0);
}

}  // namespace
}  // namespace dialvane
