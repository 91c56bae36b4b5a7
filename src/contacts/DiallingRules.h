#pragma once

#include <string>
#include <string_view>

namespace dialvane {

// [Dialling] of the program settings file: how a number from an address book is dialled from
// this office. All plain text.
struct DiallingSettings {
    std::string countryCode;  // no default: an international number needs it
    std::string nationalPrefix = "0";
    std::string internationalPrefix = "00";
    std::string outsideLine;  // put in front as written ("0-" carries the MFP's pause)
};

DiallingSettings ReadDiallingSettings(const std::string& settingsPath);

// Stores the four values in [Dialling] of the settings file, the rest of the file as it was,
// replaced whole (WriteFileAtomic). An existing file that cannot be read is left alone rather
// than replaced by the four values. False with `error` saying why.
bool WriteDiallingSettings(const std::string& settingsPath, const DiallingSettings& settings,
                           std::string* error);

// Length of the ITU country code at the start of the digits (1 to 3), 0 when none is assigned.
size_t CountryCodeLength(std::string_view digits);

enum class DialStatus {
    Ok,
    NeedsCountryCode,    // an international number, and COUNTRY_CODE is not set
    UnknownCountryCode,  // "+" followed by digits no country has
    NotDialable,         // letters, an extension or other characters remain
    Empty,               // nothing but separators
};

struct DialledNumber {
    DialStatus status = DialStatus::Empty;
    std::string number;     // Ok: the number to dial
    std::string leftovers;  // NotDialable: the characters that are neither digits nor separators
};

// The number as found in an address book -> the number the MFP dials. "+" or the international
// prefix start an international number; a "(0)" after its country code is dropped; the home
// country's numbers get the national prefix, the others the international prefix and their
// country code. Separators (blank, . - / ( )) go; digits, * and # stay; the outside line goes
// in front.
DialledNumber DialableNumber(std::string_view found, const DiallingSettings& settings);

}  // namespace dialvane
