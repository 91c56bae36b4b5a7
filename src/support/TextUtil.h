#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dialvane {

// Removes the characters 0x00..0x20 from both ends, the trimming every dial list check uses.
std::string Trim(std::string_view text);

// ASCII-only case folding; names of settings sections and keys compare this way.
std::string ToUpperAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

bool StartsWith(std::string_view text, std::string_view prefix);

// Replaces every occurrence of `from` by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

std::vector<std::string> SplitLines(std::string_view text);

}  // namespace dialvane

namespace dialvane {

// An integer setting: optional sign, then decimal digits, or hexadecimal after "0x", "0X" or
// "$". Surrounding blanks are ignored. nullopt when the text is not such a number or does not
// fit in 32 bits.
std::optional<int> ParseIntegerText(std::string_view text);

// The value of one hexadecimal digit of either case; -1 for any other character.
int HexDigitValue(char c);

}  // namespace dialvane
