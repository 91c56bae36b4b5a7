#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/FileUtil.h"
#include "support/RunCli.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

const std::string kSamples = std::string(DIALVANE_SOURCE_DIR) + "/samples/";

class CliTest : public ::testing::Test {
  protected:
    std::string File(const std::string& name) const { return dir_.File(name); }
    testing::CliRun Cli(const std::vector<std::string>& args) const {
        return testing::RunCli(dir_, args);
    }
    testing::TempDir dir_;
};

TEST_F(CliTest, ExportWritesTheDownloadForm) {
    const std::string out = File("out.csv");
    auto run = Cli({"export", kSamples + "sample-dial-list.csv", "-o", out});
    ASSERT_EQ(run.status, 0) << run.err;
    // The file is in the form the program itself reads back without a complaint.
    EXPECT_TRUE(ReadFileBytes(out).value_or("").starts_with("S1,Head Office,03-5550-1000,HQ\r\n"));
    EXPECT_EQ(Cli({"check", out}).status, 0);

    // Errors in the file: the lines are printed and nothing is written.
    std::filesystem::remove(out);
    auto bad = Cli({"export", kSamples + "fixtures/not-registered.csv", "-o", out});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(SplitLines(bad.out).size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(out));
}

// Japanese settings read code page 932; --encoding reads and writes another encoding.
TEST_F(CliTest, TheLanguageAndTheEncodingOptionChooseTheFilesEncoding) {
    const std::string jpn = dir_.Write("jpn.ini", "[MAINFORM]\nLANG=JPN\n");
    const std::string sjis = dir_.Write("jpn.csv", "S1,\x93\x8c\x8b\x9e,03\r\nN,\x80\r\n");
    auto japanese = Cli({"--settings", jpn, "check", sjis});
    EXPECT_EQ(japanese.status, 1);
    // LANG=JPN also loads the Japanese texts shipped beside the program.
    EXPECT_EQ(japanese.out, "行番号:   2 [発信元名] 項目内容異常 (\xef\xbf\xbd)\n");
    // The same bytes read as Windows-1252 are other characters, none of them allowed in names.
    EXPECT_EQ(Cli({"check", sjis}).out,
              "Line number:   1 [Speed dial] item contents abnormal (\u201c\u0152\u2039\u017e)\n"
              "Line number:   2 [Sender name] item contents abnormal (\u20ac)\n");

    const std::string list = dir_.Write("utf8.csv", "S1,東京,03\r\nS2,大阪,06\r\nN,ｱｲ\r\n");
    // Read as code page 932 every name is an error; one hint follows the first error line.
    auto plain = Cli({"--settings", jpn, "check", list});
    EXPECT_EQ(plain.status, 1);
    const std::vector<std::string> lines = SplitLines(plain.out);
    ASSERT_EQ(lines.size(), 4u) << plain.out;
    EXPECT_EQ(lines[1],
              "このファイルは UTF-8 のようです。--encoding utf-8 を付けて読み込んでください。");
    EXPECT_EQ(plain.out.find("--encoding", plain.out.find(lines[1]) + lines[1].size()),
              std::string::npos);

    // With the option the names are read as written: export refuses a file with errors.
    const std::string out = File("out.csv");
    ASSERT_EQ(Cli({"--settings", jpn, "export", "--encoding=UTF-8", list, "-o", out}).status, 0);
    EXPECT_EQ(ReadFileBytes(out), "S1,東京,03,\r\nS2,大阪,06,\r\nN,ｱｲ\r\n");

    // Outside Japanese the hint is English, and the file's encoding does not decide which names
    // are allowed: code page 932 bytes of kanji pass the Unicode rule.
    auto english = Cli({"check", list});
    EXPECT_EQ(SplitLines(english.out).at(1),
              "The file looks like UTF-8: read it with --encoding utf-8.");
    const std::string cp932 = dir_.Write("cp932.csv", "S1,\x93\x8c\x8b\x9e,03\r\n");
    ASSERT_EQ(Cli({"export", "--encoding", "cp932", cp932, "-o", out}).status, 0);
    EXPECT_EQ(ReadFileBytes(out), "S1,\x93\x8c\x8b\x9e,03,\r\nN,\r\n");

    // A UTF-8 file whose garbled names pass the checks: a warning on standard error only.
    const std::string latin = dir_.Write("latin.csv", "S1,Zoë,03\r\n");
    auto garbled = Cli({"check", latin});
    EXPECT_EQ(garbled.status, 0);
    EXPECT_EQ(garbled.out, "");
    EXPECT_EQ(
        garbled.err,
        "dialvane-cli: warning: the file looks like UTF-8 but is read as cp1252, so its names "
        "may be garbled: read it with --encoding utf-8.\n");
    EXPECT_EQ(Cli({"check", "--encoding", "utf-8", latin}).err, "");

    auto bad = Cli({"check", "--encoding", "latin1", list});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("invalid value for --encoding: latin1"), std::string::npos) << bad.err;
}

TEST_F(CliTest, TheModelChoosesTheRulesAndTheSettingsFileAndModelMustExist) {
    // The one-touch model of the delivered settings changes limits and wording.
    auto oneTouch = Cli({"check", "--model", "DX-C3500", kSamples + "fixtures/not-registered.csv"});
    EXPECT_EQ(oneTouch.status, 1);
    EXPECT_EQ(SplitLines(oneTouch.out).back(),
              "Line number:   3 [One Touch Dial] Setting Not Registered. (G02)");

    const std::string sample = kSamples + "sample-dial-list.csv";
    auto missing = Cli({"--settings", File("none.ini"), "check", sample});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err,
              "dialvane-cli: cannot read the program settings file " + File("none.ini") + "\n");

    auto model = Cli({"check", "--model", "DX-NOPE", sample});
    EXPECT_EQ(model.status, 2);
    EXPECT_EQ(model.out, "");
    EXPECT_NE(model.err.find("unknown model DX-NOPE; "), std::string::npos) << model.err;
    EXPECT_NE(model.err.find(": DX-R7700, DX-R6500, DX-C3500, DX-M100\n"), std::string::npos)
        << model.err;
    // Section names compare without regard to case, as everywhere in the settings file.
    EXPECT_EQ(Cli({"check", "--model", "dx-r7700", sample}).status, 0);
}

}  // namespace
}  // namespace dialvane
