#include "DialFileTestSupport.h"
#include "data/DialFileLoader.h"
#include "support/FileUtil.h"
#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

using testing::DialFileTest;
using Lines = std::vector<std::string>;

class LoaderTest : public DialFileTest {
  protected:
    Lines Load(std::string_view text, const TProductInfo& product) {
        return LoadDialText(text, model_, product);
    }
    Lines Load(std::string_view text) { return Load(text, *quick_); }
    DialModel model_;
};

TEST_F(LoaderTest, EveryLineErrorIsWordedExactly) {
    // One error of each kind, then one duplicate of each kind, in the order the loader reports.
    const std::string expected =
        ReadFileBytes(testing::Fixture("fixtures/every-error.expected.txt")).value_or("");
    const Lines lines =
        LoadDialFile(testing::Fixture("fixtures/every-error.csv"), model_, *quick_).errorLines;
    EXPECT_EQ(lines, SplitLines(expected));
    EXPECT_EQ(lines.size(), 24u);
    // A duplicated speed dial keeps its last line; a line with bad fields still fills its entry.
    EXPECT_EQ(model_.speedDials[1].name, "Uno");
    EXPECT_EQ(model_.speedDials[2].name, "ABCDEFGHIJKLMNOPQ");
}

TEST_F(LoaderTest, UnregisteredMembersAndTargetsInBothWordings) {
    const std::string file = "G1,Grp,S1,S9\r\nS1,A,1\r\nW1,G2\r\n";
    EXPECT_EQ(Load(file), (Lines{"Line number:   1 [Group Dial] Member Not Registered. [2]:(S009)",
                                 "Line number:   3 [Quickh Dial] Setting Not Registered. (G02)"}));
    EXPECT_EQ(model_.groups[1].recordText, "A");
    EXPECT_TRUE(model_.TestMembership(1, 1));

    auto oneTouch = testing::MakeProduct(dir_, "ONE");
    EXPECT_EQ(Load(file + "W1,S1,S2\r\nW2,X1\r\nW3,S1\r\nW3,S1\r\n", *oneTouch),
              (Lines{"Line number:   4 [One Touch Dial] too many elements <2> (3)",
                     "Line number:   5 [One touch dial] binding definition abnormal<Sxx/Gxx> (X1)",
                     "Line No.: (6)(7) [One Touch Dial] Duplication Error (W03)",
                     "Line number:   1 [Group Dial] Member Not Registered. [2]:(S009)",
                     "Line number:   3 [One Touch Dial] Setting Not Registered. (G02)"}));
}

TEST_F(LoaderTest, RepeatedGroupAndBindingLinesBuildOnTheEarlierLine) {
    // The second line of group 7 adds to its members, so S150 is member 2.
    EXPECT_EQ(Load("G07,First,S100\r\nG07,Second,S150\r\nS100,A,1\r\n"),
              (Lines{"Line No.: (1)(2) [Group Dial] Duplication Error (G07)",
                     "Line number:   2 [Group Dial] Member Not Registered. [2]:(S150)"}));
    ASSERT_EQ(model_.groups[7].members.size(), 2u);
    EXPECT_EQ(model_.groups[7].name, "Second");

    // A target that does not parse leaves the binding as the earlier line set it, so the final
    // check still names that target.
    EXPECT_EQ(Load("W12,G020\r\nW12,S201\r\n"),
              (Lines{"Line number:   2 [Quick dial] binding definition abnormal<Sxx/Gxx> (S201)",
                     "Line No.: (1)(2) [Quick Dial] Duplication Error (W12)",
                     "Line number:   2 [Quickh Dial] Setting Not Registered. (G20)"}));
    EXPECT_EQ(model_.bindings[12], "G20");
    EXPECT_TRUE(Load("W12,S1\r\nW12\r\nS1,A,1\r\n").size() == 1u);
    EXPECT_EQ(model_.bindings[12], "") << "a line without target clears the binding";
}

TEST_F(LoaderTest, ControlCharactersAroundFieldsAreTrimmedInsideOnesRefused) {
    const std::string file = std::string("S1,\" Office\x04\",\"\t0123\x01\",\r\n") +
                             std::string("S2,Other,0456\0,\r\nN,\"\x1fHead\"\r\n", 28);
    EXPECT_EQ(Load(file), Lines{});
    EXPECT_EQ(model_.speedDials[1].name, "Office");
    EXPECT_EQ(model_.speedDials[1].faxNumber, "0123");
    EXPECT_EQ(model_.speedDials[2].faxNumber, "0456");
    EXPECT_EQ(model_.senderName, "Head");
    EXPECT_EQ(Load("S1,Office,\"01\x01\x32\"\r\n").size(), 1u);
}

TEST_F(LoaderTest, BadMemberSkipsTheMemberPassForTheWholeFile) {
    EXPECT_EQ(Load("G01,Sales,S001,S300\r\nG02,Other,S7\r\n"),
              Lines{"Line number:   1 [group dial] member definition abnormal<Sxx> [2]:(S300)"});
    EXPECT_EQ(model_.groups[1].members.size(), 1u);
}

TEST_F(LoaderTest, KeysCountsAndEmptyFields) {
    EXPECT_TRUE(Load("S1,Office,03-555-123\r\n").empty());
    EXPECT_EQ(model_.speedDials[1].key, "S001");
    EXPECT_TRUE(Load(" S001 ,Office,03-555-123,\r\n,,,\r\n   \r\n\r\n").empty());
    EXPECT_EQ(model_.speedDials[1].faxNumber, "03-555-123");

    // An empty name keeps its place before the later fields, in a group too.
    EXPECT_TRUE(Load("S1,,123,KW\r\nG1,,S1,S2\r\nS2,B,2\r\n").empty());
    EXPECT_EQ(model_.speedDials[1].name, "");
    EXPECT_EQ(model_.speedDials[1].faxNumber, "123");
    EXPECT_EQ(model_.speedDials[1].keyword, "KW");
    ASSERT_EQ(model_.groups[1].members.size(), 2u);
    EXPECT_EQ(model_.groups[1].name, "");
    // Without a name, later empty fields still close up: KW becomes the fax number.
    EXPECT_EQ(Load("S001,Office,,KW"),
              Lines{"Line number:   1 [Speed dial] item contents abnormal<0123456789 *#->_%ABCD> "
                    "(KW):(KW)"});
    EXPECT_EQ(model_.speedDials[1].faxNumber, "KW");

    EXPECT_EQ(Load("\r\n\r\n\r\nS1,a,b,c,d"),
              Lines{"Line number:   4 [Speed dial] too many elements<3> (5)"});
    EXPECT_EQ(Load("s1,a,1\nNX,a\rW,S1"),
              (Lines{"Line number:   1 Form abnormal<Sxx/Gxx/Wx/N> (s1)",
                     "Line number:   2 Form abnormal<Sxx/Gxx/Wx/N> (NX)",
                     "Line number:   3 Form abnormal<Sxx/Gxx/Wx/N> (W)"}));
}

TEST_F(LoaderTest, LimitsFollowTheProduct) {
    auto oneTouch = testing::MakeProduct(dir_, "ONE");
    EXPECT_TRUE(Load("S60,a,1\r\nW3,S60\r\n", *oneTouch).empty());
    EXPECT_EQ(Load("S61,a,1\r\nW4,S1\r\n", *oneTouch),
              (Lines{"Line number:   1 [Speed dial] definition number abnormal<1-60> (61)",
                     "Line number:   2 [One touch dial] definition number abnormal<1-3> (4)"}));
    // Without keywords a fourth field is neither checked nor kept.
    EXPECT_TRUE(Load("S1,a,1,\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9", *oneTouch).empty());
    EXPECT_EQ(model_.speedDials[1].keyword, "");

    // The quick-dial model's limits are worded in the every-error file; a list that fills them
    // all loads without an error in the writer's round trip.
    std::string group = "S1,a,1\r\nG1,g";
    for (int m = 0; m < kMaxGroupMembers; ++m) {
        group += ",S1";
    }
    EXPECT_EQ(Load(group + ",S1"),
              Lines{"Line number:   2 [Group Dial] too many elements <3-22> (23)"});
}

TEST_F(LoaderTest, UnreadableFileAndEmptyPath) {
    model_.senderName = "kept?";
    LoadResult result = LoadDialFile(dir_.File("missing.csv"), model_, *quick_);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.readError, "Cannot read file.Confirm whether or not the file is open.(" +
                                    dir_.File("missing.csv") + ") No such file or directory");
    EXPECT_EQ(model_.senderName, "");
    EXPECT_TRUE(LoadDialFile("", model_, *quick_).ok());

    // A file above the limit is refused before a byte of it is held (sparse: no disk used).
    const std::string huge = dir_.Write("huge.csv", "S1,A,1,\r\n");
    std::filesystem::resize_file(huge, kUserFileLimit + 1);
    result = LoadDialFile(huge, model_, *quick_);
    EXPECT_FALSE(result.readable);
    EXPECT_EQ(result.readError, Text(Msg::FileTooLarge) + "(" + huge + ")");
}

// The command-line tests show a UTF-8 file read in code page 932 (errors and the hint), read
// as UTF-8, and garbled names that pass (the warning).
TEST_F(LoaderTest, Utf8FilesAndTheSuspicionOfOne) {
    EXPECT_TRUE(LoadDialBytes("\xEF\xBB\xBFS1,東京,03\r\nN,ｱｲ\r\n", model_, *japanese_).ok());
    EXPECT_EQ(model_.speedDials[1].name, "東京");
    LoadResult result = LoadDialBytes("S1,\xE6\x97,03\r\nS1,B,03\r\n", model_, *quick_);
    EXPECT_EQ(result.errorLines.size(), 2u);
    EXPECT_FALSE(result.looksLikeUtf8);  // not valid UTF-8

    // A character with no code-page-932 form is an error in a UTF-8 file under the Japanese
    // rule, and shown as it is; broken UTF-8 becomes U+FFFD and is an error under both rules.
    result = LoadDialBytes("S1,가,03\r\nN,\xE6\x97\r\n", model_, *japanese_, FileEncoding::Utf8);
    EXPECT_FALSE(result.looksLikeUtf8);
    EXPECT_EQ(result.errorLines,
              (Lines{"Line number:   1 [Speed dial] item contents abnormal (가)",
                     "Line number:   2 [Sender name] item contents abnormal (\uFFFD\uFFFD)"}));
    EXPECT_EQ(
        LoadDialBytes("N,\xE6\x97\r\n", model_, *quick_, FileEncoding::Utf8).errorLines.size(), 1u);
}

TEST_F(LoaderTest, AVeryLongLineAndVeryManyShortOnes) {
    const Lines longLine = Load("S1,a," + std::string(1 << 20, '1'));
    ASSERT_EQ(longLine.size(), 1u);
    std::string many;
    for (int i = 0; i < 100000; ++i) {
        many += "W1,G1\n";
    }
    EXPECT_EQ(Load(many).size(), 2u);  // one duplicate line, one unregistered target
}

}  // namespace
}  // namespace dialvane
