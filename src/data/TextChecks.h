#pragma once

#include <string>
#include <string_view>

#include "data/TextRules.h"

namespace dialvane {

inline constexpr int kCheckOk = 0, kCheckEmpty = -1, kCheckTooLong = -2, kCheckIllegal = -3;
inline constexpr std::string_view kFaxCharacters = "0123456789 *#->_%ABCD";
inline constexpr int kFaxNumberMaxChars = 50;

struct TextCheckResult {
    int code;
    std::string trimmed;  // returned whatever the code
};

// Names are measured in UTF-16 bytes of the trimmed text: 32 for address and group names, 40
// for the sender name. Codes in order of precedence: empty, illegal character, too long. The
// characters allowed follow the language's rules.
TextCheckResult CheckNameText(std::string_view utf8, int maxBytes, const TextRules& rules);
// Keywords take ASCII and half-width katakana only, in every language; the maximum is 16.
TextCheckResult CheckKeywordText(std::string_view utf8, int maxBytes);
// Fills *invalidFaxCharacters (when given) with every rejected character in order.
int CheckFaxNumber(std::string_view utf8, std::string* invalidFaxCharacters = nullptr);

// What the checks above measure, so a field can stop input where its check would refuse it: the
// UTF-16 units of the trimmed name or keyword (two bytes each), the characters of the trimmed
// fax number.
size_t TrimmedUtf16Units(std::string_view utf8);
size_t FaxNumberChars(std::string_view utf8);

// The single-character tests behind the name rules, for callers that check as the user types.
bool IsUnicodeNameUnit(char16_t unit);
bool IsKeywordUnit(char16_t unit);
// The Japanese rule over code-page-932 bytes.
bool IsJapaneseNameBytes(std::string_view cp932);

}  // namespace dialvane
