#include "data/TextChecks.h"

#include <algorithm>
#include <vector>

#include "data/CharConv.h"
#include "data/HangulTable.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

struct Range {
    char16_t first, last;
};

constexpr Range kUnicodeNameRanges[] = {
    {0x0020, 0x007E}, {0x00A0, 0x00FF}, {0x2190, 0x2193}, {0x25A0, 0x25A1}, {0x3000, 0x3003},
    {0x3005, 0x3015}, {0x3041, 0x3093}, {0x309B, 0x309E}, {0x30A1, 0x30F6}, {0x30FB, 0x30FE},
    {0x4E00, 0x9FA5}, {0xFF01, 0xFF01}, {0xFF03, 0xFF06}, {0xFF08, 0xFF5E}, {0xFF61, 0xFF9F},
    {0xFFE0, 0xFFE3}, {0xFFE5, 0xFFE5},
};

bool InRanges(char16_t unit, const Range* begin, const Range* end) {
    for (const Range* range = begin; range != end; ++range) {
        if (unit >= range->first && unit <= range->last) {
            return true;
        }
    }
    return false;
}

bool IsLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0x98;
}

bool IsValidPair(unsigned char lead, unsigned char trail) {
    if (lead == 0x98) {
        return trail >= 0x40 && trail <= 0x72;
    }
    return (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC);
}

size_t Utf8CodePoints(std::string_view utf8) {
    size_t count = 0;
    for (char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

// The characters of a UTF-8 text, each as its own byte sequence; stray continuation bytes stay
// with the character before them.
std::vector<std::string_view> SplitCharacters(std::string_view utf8) {
    std::vector<std::string_view> characters;
    size_t start = 0;
    for (size_t i = 1; i <= utf8.size(); ++i) {
        if (i == utf8.size() || (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            characters.push_back(utf8.substr(start, i - start));
            start = i;
        }
    }
    return characters;
}

bool FollowsNameRule(std::string_view trimmed, const TextRules& rules) {
    if (rules.japaneseNames) {
        const std::optional<std::string> narrow = Utf8ToNarrow(trimmed, NarrowCodePage::Cp932);
        return narrow && IsJapaneseNameBytes(*narrow);
    }
    for (char16_t unit : Utf8ToUtf16(trimmed)) {
        if (!IsUnicodeNameUnit(unit)) {
            return false;
        }
    }
    return true;
}

}  // namespace

size_t TrimmedUtf16Units(std::string_view utf8) {
    return Utf8ToUtf16(Trim(utf8)).size();
}

size_t FaxNumberChars(std::string_view utf8) {
    return Utf8CodePoints(Trim(utf8));
}

bool IsUnicodeNameUnit(char16_t unit) {
    return InRanges(unit, std::begin(kUnicodeNameRanges), std::end(kUnicodeNameRanges)) ||
           IsKsHangulSyllable(unit);
}

bool IsKeywordUnit(char16_t unit) {
    return (unit >= 0x20 && unit <= 0x7F) || (unit >= 0xFF61 && unit <= 0xFF9F);
}

bool IsJapaneseNameBytes(std::string_view cp932) {
    for (size_t i = 0; i < cp932.size(); ++i) {
        const auto byte = static_cast<unsigned char>(cp932[i]);
        if ((byte >= 0x20 && byte <= 0x7F) || (byte >= 0xA0 && byte <= 0xDF)) {
            continue;
        }
        if (!IsLeadByte(byte) || i + 1 >= cp932.size() ||
            !IsValidPair(byte, static_cast<unsigned char>(cp932[i + 1]))) {
            return false;
        }
        ++i;
    }
    return true;
}

TextCheckResult CheckNameText(std::string_view utf8, int maxBytes, const TextRules& rules) {
    TextCheckResult result{kCheckOk, Trim(utf8)};
    if (result.trimmed.empty()) {
        result.code = kCheckEmpty;
    } else if (!FollowsNameRule(result.trimmed, rules)) {
        result.code = kCheckIllegal;
    } else if (TrimmedUtf16Units(result.trimmed) * 2 > static_cast<size_t>(std::max(maxBytes, 0))) {
        result.code = kCheckTooLong;
    }
    return result;
}

TextCheckResult CheckKeywordText(std::string_view utf8, int maxBytes) {
    TextCheckResult result{kCheckOk, Trim(utf8)};
    if (result.trimmed.empty()) {
        result.code = kCheckEmpty;
        return result;
    }
    const std::u16string units = Utf8ToUtf16(result.trimmed);
    for (char16_t unit : units) {
        if (!IsKeywordUnit(unit)) {
            result.code = kCheckIllegal;
            return result;
        }
    }
    if (units.size() * 2 > static_cast<size_t>(std::max(maxBytes, 0))) {
        result.code = kCheckTooLong;
    }
    return result;
}

int CheckFaxNumber(std::string_view utf8, std::string* invalidFaxCharacters) {
    if (invalidFaxCharacters != nullptr) {
        invalidFaxCharacters->clear();
    }
    const std::string trimmed = Trim(utf8);
    if (trimmed.empty()) {
        return kCheckEmpty;
    }
    bool illegal = false;
    for (std::string_view character : SplitCharacters(trimmed)) {
        if (character.size() == 1 && kFaxCharacters.find(character[0]) != std::string_view::npos) {
            continue;
        }
        illegal = true;
        if (invalidFaxCharacters != nullptr) {
            invalidFaxCharacters->append(character);
        }
    }
    if (FaxNumberChars(trimmed) > static_cast<size_t>(kFaxNumberMaxChars)) {
        return kCheckTooLong;
    }
    return illegal ? kCheckIllegal : kCheckOk;
}

}  // namespace dialvane
