#pragma once

#include <string>
#include <string_view>

namespace dialvane {

// The key that puts names in "name order": Unicode case folding, then code-point order, which
// the folded UTF-8 bytes compare in. Ties keep their source order (sort stably).
std::string NameOrderKey(std::string_view utf8);

// The longest start of the trimmed name that fits into `maxUnits` UTF-16 code units, cut at a
// character boundary, trailing blanks removed.
std::string CutToUnits(std::string_view utf8, size_t maxUnits);

}  // namespace dialvane
