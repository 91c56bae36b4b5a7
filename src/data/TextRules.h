#pragma once

#include <string_view>

#include "data/CharConv.h"

namespace dialvane {

// How the texts of a dial list are read and checked in the language the program settings name.
// Whoever reads, checks or encodes a list holds these (the product description carries them),
// so runs in different languages side by side each keep their own.
struct TextRules {
    NarrowCodePage codePage = NarrowCodePage::Windows1252;  // files and fax numbers
    bool japaneseNames = false;  // names must fit code page 932 rather than the Unicode ranges

    // What a file is in unless the user names another encoding.
    FileEncoding FileDefault() const { return CodePageEncoding(codePage); }
};

// "JPN" (exactly): code page 932 and the Japanese name rule; anything else: Windows-1252 and the
// Unicode name rule.
TextRules TextRulesForLanguage(std::string_view lang);

}  // namespace dialvane
