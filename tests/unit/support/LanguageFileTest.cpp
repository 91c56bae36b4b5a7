#include <gtest/gtest.h>

#include "support/LanguageFile.h"
#include "support/Messages.h"
#include "support/TempDir.h"

namespace dialvane {
namespace {

using testing::TempDir;

class LanguageFileTest : public ::testing::Test {
  protected:
    void TearDown() override { ResetMessageTexts(); }
};

TEST_F(LanguageFileTest, ReplacesTextsByIdentifierAndKeepsTheRestEnglish) {
    LanguageLoadResult r = ApplyLanguageText(
        "\xEF\xBB\xBF# comment\r\n"
        "\r\n"
        "  LogFileErrorCaption = Fehler\\tDatei\\\\\\n \r\n"
        "InstanceAlreadyRunning=%s läuft bereits.\n"
        "no equals sign here\n"
        "NoSuchMessage=whatever\n");
    EXPECT_TRUE(r.loaded);
    EXPECT_EQ(r.replaced, 2);
    EXPECT_EQ(r.unknown, std::vector<std::string>{"NoSuchMessage"});
    EXPECT_TRUE(r.rejected.empty());
    // The text keeps its blanks; escapes are decoded.
    EXPECT_EQ(Text(Msg::LogFileErrorCaption), " Fehler\tDatei\\\n ");
    EXPECT_EQ(Text(Msg::InstanceAlreadyRunning, "dialvane"), "dialvane läuft bereits.");
    EXPECT_EQ(Text(Msg::LogFileWriteError), EnglishText(Msg::LogFileWriteError));
}

TEST_F(LanguageFileTest, RefusesTextsThatWouldFormatDifferently) {
    LanguageLoadResult r = ApplyLanguageText(
        "InstanceAlreadyRunning=%d is running\n"  // other conversion
        "LogFileErrorCaption=100%s\n"             // a conversion where English has none
        "LogFileWriteError=bad \xC3 byte\n"       // not UTF-8
        "TerminalHintOk=100%% sure %z\n");        // %% and unknown letters take no argument
    EXPECT_EQ(r.rejected, (std::vector<std::string>{"InstanceAlreadyRunning", "LogFileErrorCaption",
                                                    "LogFileWriteError"}));
    EXPECT_EQ(r.replaced, 1);
    EXPECT_EQ(Text(Msg::InstanceAlreadyRunning), EnglishText(Msg::InstanceAlreadyRunning));
    EXPECT_EQ(Text(Msg::TerminalHintOk, 1), "100% sure %z");
}

TEST(ConversionSignature, SeesConversionsAsTheFormatterDoes) {
    EXPECT_EQ(ConversionSignature("Line number: %3u "), "u");
    EXPECT_EQ(ConversionSignature("<%u-%u> (%s) 100%% %-08.3lx %"), "uusx");
    EXPECT_EQ(ConversionSignature("no conversions"), "");
}

TEST_F(LanguageFileTest, AMissingFileLeavesTheTextsAsTheyWere) {
    TempDir dir;
    ApplyLanguageText("LogFileErrorCaption=first\n");
    LanguageLoadResult r = LoadLanguageFile(dir.File("dialvane.DEU"));
    EXPECT_FALSE(r.loaded);
    EXPECT_EQ(Text(Msg::LogFileErrorCaption), "first");

    // Loading another file starts again from English.
    std::string path = dir.Write("dialvane.deu", "LogFileWriteError=zweite\n");
    EXPECT_EQ(LanguageFilePath(dir.Path(), "DEU"), path);
    EXPECT_TRUE(LoadLanguageFile(path).loaded);
    EXPECT_EQ(Text(Msg::LogFileErrorCaption), "File Error");
    EXPECT_EQ(Text(Msg::LogFileWriteError), "zweite");
}

TEST_F(LanguageFileTest, TheShippedJapaneseFileIsAcceptedWhole) {
    LanguageLoadResult r = LoadLanguageFile(DIALVANE_SOURCE_DIR "/config/dialvane.JPN");
    ASSERT_TRUE(r.loaded);
    EXPECT_TRUE(r.rejected.empty()) << r.rejected.front();
    EXPECT_GT(r.replaced, 0);
    EXPECT_EQ(Text(Msg::InstanceAlreadyRunning, "dialvane"),
              "dialvane は既に起動しています。二重に起動することはできません。");
}

}  // namespace
}  // namespace dialvane
