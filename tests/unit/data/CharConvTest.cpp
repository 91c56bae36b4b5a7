#include <gtest/gtest.h>

#include <string>

#include "data/CharConv.h"

namespace dialvane {
namespace {

using namespace std::string_literals;

// The device records' layouts and their round trip through generated dial lists show the basic
// plane; what they cannot show is here.
TEST(CharConvTest, DeviceTextOutsideTheBasicPlaneAndCutShort) {
    // Outside the basic plane a character takes two units.
    EXPECT_EQ(ToDeviceText("\xF0\x9F\x98\x80"), "\xD8\x3D\xDE\x00\x00\x00"s);
    EXPECT_EQ(FromDeviceText(ToDeviceText("Zoë \xF0\x9F\x98\x80")), "Zoë \xF0\x9F\x98\x80");
    EXPECT_EQ(FromDeviceText("\0A\0B\0\0\0C"s), "AB");
    EXPECT_EQ(FromDeviceText("\0A\0"s), "A");  // odd trailing byte
    EXPECT_EQ(FromDeviceText("\0"s), "");
    EXPECT_EQ(FromDeviceText(""), "");
    // A lone surrogate from the device is replaced, not passed on as broken UTF-8.
    EXPECT_EQ(FromDeviceText("\xD8\x3D\x00\x41"s),
              "\xEF\xBF\xBD"
              "A");
}

TEST(CharConvTest, Utf8AndUtf16ReplaceMalformedInput) {
    // Overlong, surrogate and cut sequences are decoded as for a file, tested below.
    EXPECT_EQ(Utf8ToUtf16("A\xC3"), u"A\uFFFD");
    EXPECT_EQ(Utf16ToUtf8(u"\xDC00x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf16ToUtf8(u"x\xD800"), "x\xEF\xBF\xBD");
}

TEST(CharConvTest, PackFieldZeroFillsAndNeverOverruns) {
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

TEST(NarrowCodePageTest, Windows1252) {
    constexpr NarrowCodePage page = NarrowCodePage::Windows1252;
    EXPECT_EQ(Utf8ToNarrow("Zoë €", page), "Zo\xEB \x80");
    EXPECT_EQ(NarrowToUtf8("Zo\xEB \x80", page), "Zoë €");
    EXPECT_EQ(Utf8ToNarrow("東", page), std::nullopt);
    EXPECT_EQ(Utf8ToNarrow("a\xC3", page), std::nullopt);
    EXPECT_EQ(Utf8ToNarrow("", page), "");
    // 0x81 has no character in this code page.
    EXPECT_EQ(NarrowToUtf8("a\x81z", page), "a\xEF\xBF\xBDz");
}

TEST(NarrowCodePageTest, Cp932) {
    constexpr NarrowCodePage page = NarrowCodePage::Cp932;
    EXPECT_EQ(Utf8ToNarrow("日本ｱA", page),
              "\x93\xFA\x96\x7B\xB1"
              "A");
    EXPECT_EQ(NarrowToUtf8("\x93\xFA\x96\x7B\xB1"
                           "A",
                           page),
              "日本ｱA");
    EXPECT_EQ(Utf8ToNarrow("가", page), std::nullopt);
    // A lead byte at the end or before a byte that cannot follow it.
    EXPECT_EQ(NarrowToUtf8("A\x93", page), "A\xEF\xBF\xBD");
    std::string mixed = NarrowToUtf8(
        "\x93\x0A"
        "B",
        page);
    EXPECT_EQ(mixed.substr(mixed.size() - 2), "\nB");
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

// Names of the encodings, the default per language, and what each code page cannot hold are
// shown by the command-line and file save tests.
TEST(FileEncodingTest, WritingNeverPassesOnBrokenBytesOrHalfACharacter) {
    EXPECT_EQ(ParseFileEncoding("utf8"), FileEncoding::Utf8);
    EXPECT_EQ(Utf8ToFileBytes("a\U0001F600", FileEncoding::Cp932), std::nullopt);
    EXPECT_EQ(Utf8ToFileBytes("가\U0001F600\uFFFD", FileEncoding::Utf8), "가\U0001F600\uFFFD");
    EXPECT_EQ(Utf8ToFileBytes("a\xC3", FileEncoding::Utf8), std::nullopt);
}

}  // namespace
}  // namespace dialvane
