#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "protocol/Frame.h"

namespace dialvane::testing {

// "C0 7C 00 05" -> the bytes; blanks between bytes are optional.
inline Bytes Hex(std::string_view text) {
    Bytes out;
    std::string digits;
    for (const char c : text) {
        if (c == ' ') {
            continue;
        }
        digits += c;
        if (digits.size() == 2) {
            out.push_back(static_cast<std::uint8_t>(std::strtoul(digits.c_str(), nullptr, 16)));
            digits.clear();
        }
    }
    return out;
}

inline Bytes Ascii(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

}  // namespace dialvane::testing
