#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "protocol/Frame.h"

namespace dialvane {

// Decodes the data part of an answer: every group of four characters gives three bytes and a
// pad character counts as zero, so the result is always length / 4 * 3 bytes. Text whose length
// is not a multiple of four, that is empty, holds characters outside the alphabet or has a pad
// character anywhere but in the last two places is rejected.
std::optional<Bytes> Base64Decode(std::string_view text);

// Size of the decoded bytes of a text of `chars` characters (a multiple of four).
constexpr std::size_t Base64DecodedSize(std::size_t chars) {
    return chars / 4 * 3;
}

}  // namespace dialvane
