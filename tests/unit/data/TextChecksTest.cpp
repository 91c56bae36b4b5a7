#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "data/CharConv.h"
#include "data/HangulTable.h"
#include "data/TextChecks.h"

namespace dialvane {
namespace {

using namespace std::string_view_literals;

std::string Repeat(std::string_view piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

class TextChecksTest : public ::testing::Test {
  protected:
    void UseJapanese() { rules_ = TextRulesForLanguage("JPN"); }
    TextRules rules_ = TextRulesForLanguage("ENU");
};

// The ASCII limits of names and sender names are shown with their messages by the record table.
TEST_F(TextChecksTest, NameLengthIsCountedInUtf16Units) {
    // Three UTF-8 bytes but one unit each.
    EXPECT_EQ(CheckNameText(Repeat("漢", 16), 32, rules_).code, kCheckOk);
    EXPECT_EQ(CheckNameText(Repeat("漢", 17), 32, rules_).code, kCheckTooLong);
    // Blanks at the ends do not count.
    EXPECT_EQ(CheckNameText("  " + Repeat("a", 16) + "\t ", 32, rules_).code, kCheckOk);
}

TEST_F(TextChecksTest, EmptyIllegalAndTrimmedResult) {
    TextCheckResult blank = CheckNameText(" \t\r\n", 32, rules_);
    EXPECT_EQ(blank.code, kCheckEmpty);
    EXPECT_EQ(blank.trimmed, "");

    // An illegal character outranks the length.
    TextCheckResult both = CheckNameText(Repeat("\x7F", 17), 32, rules_);
    EXPECT_EQ(both.code, kCheckIllegal);
    EXPECT_EQ(both.trimmed.size(), 17u);
}

TEST_F(TextChecksTest, UnicodeNameRule) {
    for (const char* good :
         {"Zoë Müller", "ＡＢＣ", "ｶﾀｶﾅ", "ひらがな", "東京", "→■", "가힝", "々〇", "￥￠"}) {
        EXPECT_EQ(CheckNameText(good, 32, rules_).code, kCheckOk) << good;
    }
    for (const char* bad : {"a\x7F", "€", "é\xC3", "\xF0\x9F\x98\x80", "갂", "\xEF\xBC\x82", "〄",
                            "ヷ", "\xEF\xBF\xA4"}) {
        EXPECT_EQ(CheckNameText(bad, 32, rules_).code, kCheckIllegal) << bad;
    }
}

TEST_F(TextChecksTest, HangulTableIsSortedForTheLookup) {
    auto table = HangulSyllables();
    EXPECT_EQ(table.size(), 2350u);
    EXPECT_TRUE(std::adjacent_find(table.begin(), table.end(),
                                   [](char16_t a, char16_t b) { return a >= b; }) == table.end());
    EXPECT_TRUE(IsKsHangulSyllable(table.front()) && IsKsHangulSyllable(table.back()));
    EXPECT_FALSE(IsKsHangulSyllable(u'\uD79E'));
}

TEST_F(TextChecksTest, JapaneseNameRule) {
    UseJapanese();
    // Level-1 kanji (亜 88 9F, 腕 98 72), kana, full-width forms, half-width katakana, ASCII.
    for (const char* good : {"亜腕", "カナ", "ＡＢＣ", "ｱｲｳ", "Tokyo-1", "～"}) {
        EXPECT_EQ(CheckNameText(good, 32, rules_).code, kCheckOk) << good;
    }
    // Level-2 kanji (弌 98 9F is the first of them) and characters without a code-page-932 form.
    for (const char* bad : {"弌", "黑", "가", "é", "€"}) {
        EXPECT_EQ(CheckNameText(bad, 32, rules_).code, kCheckIllegal) << bad;
    }
    // Lead byte 0x87 lies inside the allowed rows, so the NEC specials pass.
    EXPECT_EQ(CheckNameText("①", 32, rules_).code, kCheckOk);
    // The length still counts UTF-16 units, not code-page bytes.
    EXPECT_EQ(CheckNameText(Repeat("ｱ", 16), 32, rules_).code, kCheckOk);
    EXPECT_EQ(CheckNameText(Repeat("亜", 17), 32, rules_).code, kCheckTooLong);
}

TEST_F(TextChecksTest, JapaneseByteRule) {
    EXPECT_TRUE(IsJapaneseNameBytes("\x20\x7F\xA0\xDF"));
    EXPECT_TRUE(IsJapaneseNameBytes("\x81\x40\x97\xFC\x98\x72"));
    // Lead byte last or alone, trail bytes out of range, level-2 rows, NUL and control bytes.
    for (const std::string_view bad :
         {"\x80"sv, "A\x88"sv, "\x98\x73"sv, "\x88\x7F"sv, "\x88\xFD"sv, "\x99\x40"sv, "\xE0\x40"sv,
          "a\0b"sv, "\x1F"sv}) {
        EXPECT_FALSE(IsJapaneseNameBytes(bad)) << bad;
    }
}

TEST_F(TextChecksTest, KeywordRule) {
    EXPECT_EQ(CheckKeywordText("ｱｲｳｴｵｶｷｸ", 16).code, kCheckOk);
    EXPECT_EQ(CheckKeywordText("ｱｲｳｴｵｶｷｸｹ", 16).code, kCheckTooLong);
    EXPECT_EQ(CheckKeywordText("abcdefgh", 16).code, kCheckOk);
    EXPECT_EQ(CheckKeywordText("abc\x7F", 16).code, kCheckOk);
    EXPECT_EQ(CheckKeywordText("abcdefghi", 16).code, kCheckTooLong);
    EXPECT_EQ(CheckKeywordText("abＡ", 16).code, kCheckIllegal);
    EXPECT_EQ(CheckKeywordText("カナ", 16).code, kCheckIllegal);
    EXPECT_EQ(CheckKeywordText("  ", 16).code, kCheckEmpty);
    // The keyword rule does not follow the language.
    UseJapanese();
    EXPECT_EQ(CheckKeywordText("亜", 16).code, kCheckIllegal);
}

TEST_F(TextChecksTest, FaxNumber) {
    std::string invalid = "stale";
    EXPECT_EQ(CheckFaxNumber("03-555-123 #9", &invalid), kCheckOk);
    EXPECT_EQ(invalid, "");
    EXPECT_EQ(CheckFaxNumber(" *#->_%ABCD0123456789 ", &invalid), kCheckOk);

    EXPECT_EQ(CheckFaxNumber("03(555)123", &invalid), kCheckIllegal);
    EXPECT_EQ(invalid, "()");
    EXPECT_EQ(CheckFaxNumber("０3a", &invalid), kCheckIllegal);
    EXPECT_EQ(invalid, "０a");

    invalid = "stale";
    EXPECT_EQ(CheckFaxNumber(" \t", &invalid), kCheckEmpty);
    EXPECT_EQ(invalid, "");

    EXPECT_EQ(CheckFaxNumber(Repeat("1", 50)), kCheckOk);
    EXPECT_EQ(CheckFaxNumber(Repeat("1", 51)), kCheckTooLong);
    EXPECT_EQ(CheckFaxNumber(" " + Repeat("1", 50) + " "), kCheckOk);
}

}  // namespace
}  // namespace dialvane
