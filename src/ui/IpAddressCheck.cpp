#include "ui/IpAddressCheck.h"

#include <algorithm>
#include <vector>

namespace dialvane {

IpAddressCheck CheckIpAddress(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == '.') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    if (parts.size() > 1 && parts.back().empty()) {
        parts.pop_back();  // one trailing stop adds no part
    }
    if (parts.size() != 4) {
        return {std::nullopt, Msg::SetupIpPartCount};
    }
    std::string address;
    for (const std::string& part : parts) {
        // Digits only; leading zeros are decimal zeros, never an octal prefix.
        if (part.empty() || part.find_first_not_of("0123456789") != std::string::npos) {
            return {std::nullopt, Msg::SetupIpPartValue};
        }
        const size_t first = std::min(part.find_first_not_of('0'), part.size() - 1);
        const std::string digits = part.substr(first);
        const int value = digits.size() <= 3 ? std::stoi(digits) : 256;
        if (value > 255) {
            return {std::nullopt, Msg::SetupIpPartValue};
        }
        address += (address.empty() ? "" : ".") + std::to_string(value);
    }
    return {address, Msg::SetupIpPartValue};
}

}  // namespace dialvane
