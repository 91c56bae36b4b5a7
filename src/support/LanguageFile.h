#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dialvane {

// Result of loading a language file into the message table.
struct LanguageLoadResult {
    bool loaded = false;  // false: the file is missing or unreadable, texts left as they were
    int replaced = 0;
    std::vector<std::string> rejected;  // identifiers whose text was refused (kept English)
    std::vector<std::string> unknown;   // identifiers this program does not have (ignored)
};

// Loads `path` into the message table: every text goes back to English first, then the file's
// texts replace theirs. A missing file changes nothing. The format is described in
// LanguageFile.cpp.
LanguageLoadResult LoadLanguageFile(const std::string& path);

// The same for the contents of a file already in memory.
LanguageLoadResult ApplyLanguageText(std::string_view contents);

// The conversion letters of a printf-style text in order, as the formatter sees them ("%s and
// %3u%%" -> "su"). A replacement must have the same letters as the English text.
std::string ConversionSignature(std::string_view format);

// The language file for a language code beside the program: "dialvane." + lang, found without
// regard to case.
std::string LanguageFilePath(const std::string& programFolder, const std::string& lang);

// The user's locale from LC_ALL, LC_MESSAGES or LANG: its three-letter language abbreviation
// ("JPN", "ENU", "DEU" ...; empty when unknown), and whether it is Japanese.
std::string LocaleLanguageAbbreviation();
bool LocaleIsJapanese();

}  // namespace dialvane
