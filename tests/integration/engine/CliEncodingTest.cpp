// The built dialvane-cli with --encoding against the emulated MFP: the file's encoding changes
// the file's bytes only, never what the MFP is sent.
#include <gtest/gtest.h>

#include "data/TextRules.h"
#include "support/ServedMfp.h"

namespace dialvane {
namespace {

// The same list in code page 932 and in UTF-8: Tokyo, Osaka and a half-width katakana sender.
constexpr const char* kCp932List =
    "S1,\x93\x8c\x8b\x9e,03-555-1,\xc4\xb3\xb7\xae\r\nS2,\x91\xe5\x8d\xe3,06\r\nG1,\x8a\x43,S1,S2"
    "\r\nN,\xb1\xb2\r\n";
constexpr const char* kUtf8List = "S1,東京,03-555-1,ﾄｳｷｮ\r\nS2,大阪,06\r\nG1,海,S1,S2\r\nN,ｱｲ\r\n";

class CliEncoding : public testing::CliAgainstMfp {
  protected:
    // The emulator dumps its list in code page 932, whatever the program's language.
    void Serve(int hostNumber, const std::string& language) {
        WriteSettings("[MAINFORM]\nLANG=" + language + "\n");
        MfpEmulatorOptions options;
        options.listRules = TextRulesForLanguage("JPN");
        address_ = CliAgainstMfp::Serve(hostNumber, {}, options).Address();
    }

    std::string address_;
};

TEST_F(CliEncoding, Utf8FileGoesToTheMfpAsItsCp932TwinAndComesBackAsUtf8) {
    Serve(130, "JPN");
    dir_.Write("cp932.csv", kCp932List);
    dir_.Write("utf8.csv", kUtf8List);
    ASSERT_EQ(Cli({"upload", "--host", address_, Path("cp932.csv")}).status, 0);
    const std::string fromCp932 = Mfp().Dump();
    EXPECT_NE(fromCp932.find("S1,\x93\x8c\x8b\x9e,03-555-1,\xc4\xb3\xb7\xae"), std::string::npos)
        << fromCp932;

    // Without the option the names are refused.
    Mfp()->ClearDialList();
    const auto plain = Cli({"upload", "--host", address_, Path("utf8.csv")});
    EXPECT_EQ(plain.status, 1);
    EXPECT_NE(plain.err.find("--encoding utf-8"), std::string::npos) << plain.err;

    const auto utf8 =
        Cli({"upload", "--host", address_, "--encoding", "utf-8", "--verify", Path("utf8.csv")});
    EXPECT_EQ(utf8.status, 0) << utf8.out;
    EXPECT_EQ(Mfp().Dump(), fromCp932);
    EXPECT_EQ(Cli({"diff", "--host", address_, "--encoding", "utf-8", Path("utf8.csv")}).status, 0);

    const auto download =
        Cli({"download", "--host", address_, "--encoding", "utf-8", "-o", Path("down.csv")});
    EXPECT_EQ(download.status, 0) << download.out;
    EXPECT_EQ(dir_.Read("down.csv"),
              "S1,東京,03-555-1,ﾄｳｷｮ\r\nS2,大阪,06,\r\nG1,海,S1,S2\r\nN,ｱｲ\r\n");
}

// Outside Japanese the Unicode rule lets Hangul into a name; with UTF-8 files the whole upload,
// its temporary files and the verify included, holds it.
TEST_F(CliEncoding, Utf8UploadCarriesNamesTheCodePageCannotHold) {
    Serve(131, "ENU");
    dir_.Write("hangul.csv", "S1,가나 Office,0123\r\nN,Zoë\r\n");
    const auto upload =
        Cli({"upload", "--host", address_, "--encoding", "utf-8", "--verify", Path("hangul.csv")});
    EXPECT_EQ(upload.status, 0) << upload.out;
    const auto download =
        Cli({"download", "--host", address_, "--encoding", "utf-8", "-o", Path("down.csv")});
    EXPECT_EQ(download.status, 0) << download.out;
    EXPECT_EQ(dir_.Read("down.csv"), "S1,가나 Office,0123,\r\nN,Zoë\r\n");
    // The backup of that list before the next upload is kept in marked UTF-8.
    const auto again = Cli({"upload", "--host", address_, Path("down.csv"), "--encoding=utf-8"});
    EXPECT_EQ(again.status, 0) << again.err;
}

}  // namespace
}  // namespace dialvane
