#include "contacts/DiallingRules.h"

#include <phonenumbers/phonenumberutil.h>

#include <cerrno>
#include <cstring>
#include <set>

#include "support/FileUtil.h"
#include "support/IniFile.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

constexpr const char* kSection = "Dialling";

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '.' || c == '-' || c == '/' || c == '(' || c == ')';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The calling codes the phone-number library knows, which are the ITU's assigned codes.
const std::set<int>& AssignedCountryCodes() {
    static const std::set<int> codes = [] {
        std::set<int> known;
        i18n::phonenumbers::PhoneNumberUtil::GetInstance()->GetSupportedCallingCodes(&known);
        return known;
    }();
    return codes;
}

// When `text` starts with the digits of `prefix` (separators between them allowed), the
// position after the last of them.
std::optional<size_t> AfterDigits(std::string_view text, std::string_view prefix) {
    size_t at = 0;
    for (char wanted : prefix) {
        while (at < text.size() && IsSeparator(text[at])) {
            ++at;
        }
        if (at >= text.size() || text[at] != wanted) {
            return std::nullopt;
        }
        ++at;
    }
    return at;
}

std::string DigitsOf(std::string_view text, size_t limit) {
    std::string digits;
    for (char c : text) {
        if (IsDigit(c)) {
            digits += c;
            if (digits.size() == limit) {
                break;
            }
        } else if (!IsSeparator(c)) {
            break;
        }
    }
    return digits;
}

}  // namespace

DiallingSettings ReadDiallingSettings(const std::string& settingsPath) {
    CSimpleIniA ini;
    LoadIniFile(ini, settingsPath);
    DiallingSettings settings;
    settings.countryCode = Trim(IniText(ini, kSection, "COUNTRY_CODE", ""));
    settings.nationalPrefix = Trim(IniText(ini, kSection, "NATIONAL_PREFIX", "0"));
    settings.internationalPrefix = Trim(IniText(ini, kSection, "INTERNATIONAL_PREFIX", "00"));
    settings.outsideLine = IniText(ini, kSection, "OUTSIDE_LINE", "");
    if (settings.countryCode.starts_with('+')) {
        settings.countryCode.erase(0, 1);
    }
    return settings;
}

bool WriteDiallingSettings(const std::string& settingsPath, const DiallingSettings& settings,
                           std::string* error) {
    CSimpleIniA ini;
    if (!LoadIniFile(ini, settingsPath) && FileExists(settingsPath)) {
        const int cause = errno;
        *error = WhyNotReadable(settingsPath);
        if (error->empty()) {
            *error = std::strerror(cause);
        }
        return false;
    }
    ini.SetValue(kSection, "COUNTRY_CODE", Trim(settings.countryCode).c_str());
    ini.SetValue(kSection, "NATIONAL_PREFIX", Trim(settings.nationalPrefix).c_str());
    ini.SetValue(kSection, "INTERNATIONAL_PREFIX", Trim(settings.internationalPrefix).c_str());
    ini.SetValue(kSection, "OUTSIDE_LINE", settings.outsideLine.c_str());
    std::string bytes;
    if (ini.Save(bytes) < 0 || !WriteFileAtomic(settingsPath, bytes)) {
        const int cause = errno;
        *error = WhyNotWritable(settingsPath);
        if (error->empty()) {
            *error = std::strerror(cause);
        }
        return false;
    }
    return true;
}

size_t CountryCodeLength(std::string_view digits) {
    int code = 0;
    for (size_t length = 1; length <= 3 && length <= digits.size(); ++length) {
        if (!IsDigit(digits[length - 1])) {
            return 0;
        }
        code = code * 10 + (digits[length - 1] - '0');
        // The codes are prefix-free, so the first match is the only (and longest) one.
        if (AssignedCountryCodes().contains(code)) {
            return length;
        }
    }
    return 0;
}

DialledNumber DialableNumber(std::string_view found, const DiallingSettings& settings) {
    const std::string text = Trim(found);
    std::string_view rest = text;
    bool international = false;
    if (rest.starts_with('+')) {
        international = true;
        rest.remove_prefix(1);
    } else if (!settings.internationalPrefix.empty()) {
        if (std::optional<size_t> after = AfterDigits(rest, settings.internationalPrefix)) {
            international = true;
            rest.remove_prefix(*after);
        }
    }
    std::string head;  // what goes before the national number
    if (international) {
        if (settings.countryCode.empty()) {
            return {DialStatus::NeedsCountryCode, {}, {}};
        }
        const std::string country =
            DigitsOf(rest, 3).substr(0, CountryCodeLength(DigitsOf(rest, 3)));
        if (country.empty()) {
            return {DialStatus::UnknownCountryCode, {}, {}};
        }
        rest.remove_prefix(*AfterDigits(rest, country));
        const size_t start = rest.find_first_not_of(" \t");
        if (start != std::string_view::npos && rest.substr(start).starts_with("(0)")) {
            rest.remove_prefix(start + 3);
        }
        head = country == settings.countryCode ? settings.nationalPrefix
                                               : settings.internationalPrefix + country;
    }
    DialledNumber result;
    std::string number;
    for (char c : rest) {
        if (IsDigit(c) || c == '*' || c == '#') {
            number += c;
        } else if (!IsSeparator(c)) {
            result.leftovers += c;
        }
    }
    if (!result.leftovers.empty()) {
        result.status = DialStatus::NotDialable;
        return result;
    }
    if (number.empty()) {
        return result;  // Empty
    }
    result.status = DialStatus::Ok;
    result.number = settings.outsideLine + head + number;
    return result;
}

}  // namespace dialvane
