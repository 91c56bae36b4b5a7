#include <gtest/gtest.h>

#include <filesystem>

#include "support/FileUtil.h"
#include "support/Format.h"
#include "support/TempDir.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

// Widths, padding and %% show in every message text the loader, log and language file tests pin.
TEST(Format, MismatchedOrMissingArgumentsNeverReadPastTheList) {
    // A translated text may carry the wrong conversions; the argument's own type wins.
    EXPECT_EQ(Format("%d and %s", "text", 5), "text and 5");
    EXPECT_EQ(Format("%s %s", "one"), "one %s");
    EXPECT_EQ(Format("tail %"), "tail %");
    EXPECT_EQ(Format("%q", 1), "%q");
}

TEST(TextUtil, IntegerSettingsAcceptDecimalAndBothHexForms) {
    // Both hexadecimal forms are read in the settings and product tests.
    EXPECT_EQ(ParseIntegerText(" -1 "), -1);
    EXPECT_EQ(ParseIntegerText("$FFFFFFFF"), -1);
    EXPECT_EQ(ParseIntegerText("12a"), std::nullopt);
    EXPECT_EQ(ParseIntegerText("0x"), std::nullopt);
    EXPECT_EQ(ParseIntegerText(""), std::nullopt);
    EXPECT_EQ(ParseIntegerText("99999999999"), std::nullopt);
}

TEST(FileUtil, AtomicWriteReplacesTheFileALinkNamesAndKeepsTheLink) {
    testing::TempDir dir;
    std::filesystem::create_directory(dir.File("shared"));
    const std::string target = dir.File("shared/list.csv");
    const std::string link = dir.File("list.csv");
    ASSERT_TRUE(WriteFileAtomic(target, "old"));
    std::filesystem::create_symlink(target, link);

    ASSERT_TRUE(WriteFileAtomic(link, "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(target), "new");
    EXPECT_FALSE(WriteFileAtomic(dir.File("missing/x.csv"), "x"));
}

}  // namespace
}  // namespace dialvane
