#pragma once

#include <cstddef>
#include <span>

namespace dialvane {

// The 2,350 precomposed Hangul syllables of KS X 1001, ascending.
std::span<const char16_t> HangulSyllables();
bool IsKsHangulSyllable(char16_t unit);

}  // namespace dialvane
