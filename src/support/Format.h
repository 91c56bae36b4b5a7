#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace dialvane {

// One argument of a printf-style message. Message texts may come from a language file, so the
// formatter never trusts the conversion letters: each argument is printed by its own type.
using FormatArg = std::variant<long long, unsigned long long, double, std::string>;

std::string FormatArgs(std::string_view format, const std::vector<FormatArg>& args);

template <typename T>
FormatArg MakeFormatArg(const T& value) {
    if constexpr (std::is_same_v<T, bool>) {
        return static_cast<unsigned long long>(value);
    } else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>) {
        return static_cast<long long>(value);
    } else if constexpr (std::is_integral_v<T>) {
        return static_cast<unsigned long long>(value);
    } else if constexpr (std::is_enum_v<T>) {
        return static_cast<long long>(value);
    } else if constexpr (std::is_floating_point_v<T>) {
        return static_cast<double>(value);
    } else {
        return std::string(std::string_view(value));
    }
}

// Format("Line number: %3u ", 7) -> "Line number:   7 ". Supports flags, width, precision and the
// conversions d i u x X o c s f %; a missing argument leaves its conversion as written.
template <typename... Args>
std::string Format(std::string_view format, const Args&... args) {
    return FormatArgs(format, std::vector<FormatArg>{MakeFormatArg(args)...});
}

}  // namespace dialvane
