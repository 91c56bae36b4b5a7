#include "data/RecordKey.h"

#include <charconv>
#include <string>

#include "support/TextUtil.h"

namespace dialvane {

bool ParseRecordKey(std::string_view text, char& letter, int& number) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty()) {
        return false;
    }
    letter = trimmed[0];
    number = -1;
    if (trimmed.size() == 1) {
        return false;
    }
    std::string_view rest(trimmed);
    rest.remove_prefix(1);
    // Signed decimal as a whole; "+5" is an integer too.
    if (!rest.empty() && rest[0] == '+') {
        rest.remove_prefix(1);
        if (!rest.empty() && (rest[0] == '-' || rest[0] == '+')) {
            return false;
        }
    }
    int value = 0;
    const char* end = rest.data() + rest.size();
    auto [ptr, ec] = std::from_chars(rest.data(), end, value);
    if (rest.empty() || ec != std::errc() || ptr != end) {
        return false;
    }
    number = value;
    return number != -1;
}

std::string FormatRecordKey(char letter, int number) {
    size_t width = 2;
    bool keepLetter = true;
    switch (letter) {
        case 'S':
            width = 3;
            break;
        case 's':
            width = 3;
            keepLetter = false;
            break;
        case 'g':
            keepLetter = false;
            break;
        default:
            break;
    }
    const std::string digits = "000" + std::to_string(number);
    std::string result = keepLetter ? std::string(1, letter) : std::string();
    result += digits.substr(digits.size() - width);
    return result;
}

std::string ShortRecordKey(char letter, int number) {
    return std::string(1, letter) + std::to_string(number);
}

}  // namespace dialvane
