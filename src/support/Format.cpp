#include "support/Format.h"

#include <cstdio>

namespace dialvane {
namespace {

bool IsFlag(char c) {
    return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string Printf(const std::string& conversionSpec, const auto&... value) {
    int needed = std::snprintf(nullptr, 0, conversionSpec.c_str(), value...);
    if (needed <= 0) {
        return {};
    }
    std::string out(static_cast<size_t>(needed) + 1, '\0');
    std::snprintf(out.data(), out.size(), conversionSpec.c_str(), value...);
    out.resize(static_cast<size_t>(needed));
    return out;
}

// Prints one argument with the flags, width and precision of the conversion, choosing the
// conversion by the argument's type when the letter does not fit it.
std::string FormatOne(const std::string& flags, char conversion, const FormatArg& arg) {
    if (const auto* text = std::get_if<std::string>(&arg)) {
        return Printf("%" + flags + "s", text->c_str());
    }
    if (const auto* real = std::get_if<double>(&arg)) {
        return Printf("%" + flags + "f", *real);
    }
    long long signedValue = 0;
    unsigned long long unsignedValue = 0;
    bool isSigned = std::holds_alternative<long long>(arg);
    if (isSigned) {
        signedValue = std::get<long long>(arg);
        unsignedValue = static_cast<unsigned long long>(signedValue);
    } else {
        unsignedValue = std::get<unsigned long long>(arg);
        signedValue = static_cast<long long>(unsignedValue);
    }
    switch (conversion) {
        case 'x':
        case 'X':
        case 'o':
        case 'u':
            return Printf("%" + flags + "ll" + conversion, unsignedValue);
        case 'c':
            return Printf("%" + flags + "c", static_cast<int>(unsignedValue & 0xFF));
        case 'd':
        case 'i':
            return Printf("%" + flags + "lld", signedValue);
        default:
            return isSigned ? Printf("%" + flags + "lld", signedValue)
                            : Printf("%" + flags + "llu", unsignedValue);
    }
}

}  // namespace

std::string FormatArgs(std::string_view format, const std::vector<FormatArg>& args) {
    std::string out;
    size_t next = 0;
    size_t i = 0;
    while (i < format.size()) {
        char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        size_t start = i++;
        std::string flags;
        while (i < format.size() && IsFlag(format[i])) {
            flags += format[i++];
        }
        while (i < format.size() && IsDigit(format[i]) && flags.size() < 8) {
            flags += format[i++];
        }
        if (i < format.size() && format[i] == '.') {
            flags += format[i++];
            while (i < format.size() && IsDigit(format[i]) && flags.size() < 12) {
                flags += format[i++];
            }
        }
        while (i < format.size() && (format[i] == 'l' || format[i] == 'h')) {
            ++i;  // length modifiers carry no meaning here: the argument knows its type
        }
        if (i >= format.size()) {
            out.append(format.substr(start));
            break;
        }
        char conversion = format[i++];
        if (conversion == '%') {
            out += '%';
            continue;
        }
        static constexpr std::string_view kConversions = "diuxXocsf";
        if (kConversions.find(conversion) == std::string_view::npos || next >= args.size()) {
            out.append(format.substr(start, i - start));
            continue;
        }
        out += FormatOne(flags, conversion, args[next++]);
    }
    return out;
}

}  // namespace dialvane
