#include <gtest/gtest.h>

#include <string>

#include "data/CharConv.h"

namespace dialvane {
namespace {

using namespace std::string_literals;

TEST(CharConvTest, DeviceTextIsBigEndianWithTerminator) {
    EXPECT_EQ(ToDeviceText(""), "\0\0"s);
    EXPECT_EQ(ToDeviceText("AB"), "\0A\0B\0\0"s);
    EXPECT_EQ(ToDeviceText("é가"), "\x00\xE9\xAC\x00\x00\x00"s);
    // Outside the basic plane a character takes two units.
    EXPECT_EQ(ToDeviceText("\xF0\x9F\x98\x80"), "\xD8\x3D\xDE\x00\x00\x00"s);
}

TEST(CharConvTest, DeviceTextIsReadUpToTheFirstZeroUnit) {
    EXPECT_EQ(FromDeviceText("\0A"s + std::string(32, '\0')), "A");
    EXPECT_EQ(FromDeviceText("\0A\0B\0\0\0C"s), "AB");
    EXPECT_EQ(FromDeviceText("\0A\0"s), "A");  // odd trailing byte
    EXPECT_EQ(FromDeviceText("\0"s), "");
    EXPECT_EQ(FromDeviceText(""), "");
    // A zero high byte alone does not end the text, only a zero unit does.
    EXPECT_EQ(FromDeviceText("\x00\xE9\xAC\x00"s), "é가");
    EXPECT_EQ(FromDeviceText(ToDeviceText("Zoë 東京 \xF0\x9F\x98\x80")),
              "Zoë 東京 \xF0\x9F\x98\x80");
    // A lone surrogate from the device is replaced, not passed on as broken UTF-8.
    EXPECT_EQ(FromDeviceText("\xD8\x3D\x00\x41"s),
              "\xEF\xBF\xBD"
              "A");
}

TEST(CharConvTest, Utf8AndUtf16ReplaceMalformedInput) {
    EXPECT_EQ(Utf8ToUtf16("A\xC3"), u"A\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("\xE6\x9D"), u"\uFFFD\uFFFD");            // cut short
    EXPECT_EQ(Utf16ToUtf8(u"\xDC00x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf16ToUtf8(u"x\xD800"), "x\xEF\xBF\xBD");
}

TEST(CharConvTest, PackFieldZeroFillsAndNeverOverruns) {
    EXPECT_EQ(PackField("\0A\0\0"s, 8), "\0A"s + std::string(6, '\0'));
    EXPECT_EQ(PackField("", 4), std::string(4, '\0'));
    EXPECT_EQ(PackField("0123", 4), "0123");
    // Too long: cut to whole units and terminated inside the field.
    std::string packed = PackField(ToDeviceText(std::string(17, 'a')), 34);
    ASSERT_EQ(packed.size(), 34u);
    EXPECT_EQ(packed.substr(32), "\0\0"s);
    EXPECT_EQ(FromDeviceText(packed), std::string(16, 'a'));
    EXPECT_EQ(PackField("abc", 1), "\0"s);
    EXPECT_EQ(PackField("abc", 0), "");
}

TEST(CharConvTest, FoldToHalfWidth) {
    EXPECT_EQ(FoldToHalfWidth("０３－５５５－１２３　＃９"), "03-555-123 #9");
    EXPECT_EQ(FoldToHalfWidth("ＡＢｚ！～"), "ABz!~");
    EXPECT_EQ(FoldToHalfWidth("アカガパッー"), "ｱｶｶﾞﾊﾟｯｰ");
    EXPECT_EQ(FoldToHalfWidth("ヴ・「」。、"), "ｳﾞ･｢｣｡､");
    // Nothing to fold: unchanged, including characters without a half-width form.
    EXPECT_EQ(FoldToHalfWidth("03-5 東京 ヰ"), "03-5 東京 ヰ");
    EXPECT_EQ(FoldToHalfWidth("12\0"
                              "34"s),
              "12");
}

class NarrowCodePageTest : public ::testing::Test {
  protected:
    void TearDown() override { SetNarrowCodePage(NarrowCodePage::Windows1252); }
};

TEST_F(NarrowCodePageTest, Windows1252) {
    SetNarrowCodePage(NarrowCodePage::Windows1252);
    EXPECT_EQ(Utf8ToNarrow("Zoë €"), "Zo\xEB \x80");
    EXPECT_EQ(NarrowToUtf8("Zo\xEB \x80"), "Zoë €");
    EXPECT_EQ(Utf8ToNarrow("東"), std::nullopt);
    EXPECT_EQ(Utf8ToNarrow("a\xC3"), std::nullopt);
    EXPECT_EQ(Utf8ToNarrow(""), "");
    // 0x81 has no character in this code page.
    EXPECT_EQ(NarrowToUtf8("a\x81z"), "a\xEF\xBF\xBDz");
}

TEST_F(NarrowCodePageTest, Cp932) {
    SetNarrowCodePage(NarrowCodePage::Cp932);
    EXPECT_EQ(Utf8ToNarrow("日本ｱA"),
              "\x93\xFA\x96\x7B\xB1"
              "A");
    EXPECT_EQ(NarrowToUtf8("\x93\xFA\x96\x7B\xB1"
                           "A"),
              "日本ｱA");
    EXPECT_EQ(Utf8ToNarrow("가"), std::nullopt);
    // A lead byte at the end or before a byte that cannot follow it.
    EXPECT_EQ(NarrowToUtf8("A\x93"), "A\xEF\xBF\xBD");
    std::string mixed = NarrowToUtf8(
        "\x93\x0A"
        "B");
    EXPECT_EQ(mixed.substr(mixed.size() - 2), "\nB");
    // The explicit overload does not follow the current setting.
    EXPECT_EQ(Utf8ToNarrow("é", NarrowCodePage::Windows1252), "\xE9");
}

TEST(FileEncodingTest, NamesAndTheDefaultFollowingTheCodePage) {
    EXPECT_EQ(ParseFileEncoding("UTF-8"), FileEncoding::Utf8);
    EXPECT_EQ(ParseFileEncoding("utf8"), FileEncoding::Utf8);
    EXPECT_EQ(ParseFileEncoding("Cp932"), FileEncoding::Cp932);
    EXPECT_EQ(ParseFileEncoding("latin1"), std::nullopt);
    SetNarrowCodePage(NarrowCodePage::Cp932);
    EXPECT_EQ(DefaultFileEncoding(), FileEncoding::Cp932);
    SetNarrowCodePage(NarrowCodePage::Windows1252);
    EXPECT_EQ(DefaultFileEncoding(), FileEncoding::Windows1252);
}

TEST(FileEncodingTest, ReadingDropsTheByteOrderMarkAndReplacesBadBytes) {
    EXPECT_EQ(FileBytesToUtf8("\xEF\xBB\xBFS1,日本", FileEncoding::Utf8), "S1,日本");
    // A marked file is UTF-8 whatever the encoding asked for; a mark later on is a character.
    EXPECT_EQ(FileBytesToUtf8("\xEF\xBB\xBFS1,日本", FileEncoding::Cp932), "S1,日本");
    EXPECT_TRUE(ReadsAsUtf8("\xEF\xBB\xBFS1", FileEncoding::Windows1252));
    EXPECT_FALSE(ReadsAsUtf8("S1,\xEF\xBB\xBF", FileEncoding::Cp932));
    EXPECT_EQ(FileBytesToUtf8("a\xEF\xBB\xBF", FileEncoding::Utf8), "a\uFEFF");
    // Cut, overlong and surrogate sequences: each bad byte one U+FFFD, the rest kept.
    EXPECT_EQ(FileBytesToUtf8("A\xE6\x97", FileEncoding::Utf8), "A\uFFFD\uFFFD");
    EXPECT_EQ(FileBytesToUtf8("\xC0\xAFz", FileEncoding::Utf8), "\uFFFD\uFFFDz");
    EXPECT_EQ(FileBytesToUtf8("\xED\xA0\x80", FileEncoding::Utf8), "\uFFFD\uFFFD\uFFFD");
}

TEST(FileEncodingTest, WritingRefusesWhatTheEncodingCannotHold) {
    EXPECT_EQ(Utf8ToFileBytes("日本ｱ", FileEncoding::Cp932), "\x93\xFA\x96\x7B\xB1");
    EXPECT_EQ(Utf8ToFileBytes("日本ｱ", FileEncoding::Utf8), "日本ｱ");
    // Hangul and emoji have no code-page-932 form; kanji none in Windows-1252.
    EXPECT_EQ(Utf8ToFileBytes("가", FileEncoding::Cp932), std::nullopt);
    EXPECT_EQ(Utf8ToFileBytes("a\U0001F600", FileEncoding::Cp932), std::nullopt);
    EXPECT_EQ(Utf8ToFileBytes("東", FileEncoding::Windows1252), std::nullopt);
    // UTF-8 takes every character, but never passes on broken bytes.
    EXPECT_EQ(Utf8ToFileBytes("가\U0001F600\uFFFD", FileEncoding::Utf8), "가\U0001F600\uFFFD");
    EXPECT_EQ(Utf8ToFileBytes("a\xC3", FileEncoding::Utf8), std::nullopt);
}

TEST(FileEncodingTest, RecognisesUtf8WithNonAsciiCharacters) {
    EXPECT_TRUE(IsUtf8WithNonAscii("S1,日本,03"));
    EXPECT_FALSE(IsUtf8WithNonAscii("S1,Office,03"));
    EXPECT_FALSE(IsUtf8WithNonAscii("S1,\x93\xFA\x96\x7B,03"));  // code page 932
    EXPECT_FALSE(IsUtf8WithNonAscii("N,Zo\xEB"));                // Windows-1252
    EXPECT_FALSE(IsUtf8WithNonAscii("S1,日本,\xFF"));
}

}  // namespace
}  // namespace dialvane
