// Language files replace the program's English texts by identifier.
//
// Format: UTF-8 text, one entry per line:
//     Identifier=text
// The identifier is a name of the message table (surrounding blanks ignored); the text is
// everything after the first "=", kept exactly, blanks included. In the text, \n, \r, \t and
// \\ stand for a line feed, a carriage return, a tab and a backslash; any other backslash is
// kept as it is. Lines that are empty or begin with "#" are comments; a UTF-8 byte order mark
// at the start is skipped; lines may end in LF or CR LF.
// A text is refused, and the English one kept, when its printf conversions (%s, %d, %u ...)
// differ from the English text's or when it is not valid UTF-8. Unknown identifiers are ignored.
#include "support/LanguageFile.h"

#include <cstdlib>

#include "support/FileUtil.h"
#include "support/Messages.h"
#include "support/ProgramSettings.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

// Far above any real language file; a larger file is not one.
constexpr size_t kMaxLanguageFileSize = 4 * 1024 * 1024;

std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            char next = text[i + 1];
            const char* replacement = nullptr;
            switch (next) {
                case 'n':
                    replacement = "\n";
                    break;
                case 'r':
                    replacement = "\r";
                    break;
                case 't':
                    replacement = "\t";
                    break;
                case '\\':
                    replacement = "\\";
                    break;
                default:
                    break;
            }
            if (replacement != nullptr) {
                out += replacement;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        size_t extra;
        uint32_t code;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (text.size() - i <= extra) {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            auto follow = static_cast<unsigned char>(text[i + k]);
            if ((follow & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (follow & 0x3F);
        }
        static constexpr uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (code < kMinimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

bool IsFlag(char c) {
    return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string ConversionSignature(std::string_view format) {
    // Reads conversions exactly as Format does, so both agree on what takes an argument.
    std::string letters;
    size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '%') {
            ++i;
            continue;
        }
        ++i;
        size_t specLength = 0;
        while (i < format.size() && IsFlag(format[i])) {
            ++i;
            ++specLength;
        }
        while (i < format.size() && IsDigit(format[i]) && specLength < 8) {
            ++i;
            ++specLength;
        }
        if (i < format.size() && format[i] == '.') {
            ++i;
            ++specLength;
            while (i < format.size() && IsDigit(format[i]) && specLength < 12) {
                ++i;
                ++specLength;
            }
        }
        while (i < format.size() && (format[i] == 'l' || format[i] == 'h')) {
            ++i;
        }
        if (i >= format.size()) {
            break;
        }
        char conversion = format[i++];
        static constexpr std::string_view kConversions = "diuxXocsf";
        if (kConversions.find(conversion) != std::string_view::npos) {
            letters += conversion;
        }
    }
    return letters;
}

LanguageLoadResult ApplyLanguageText(std::string_view contents) {
    LanguageLoadResult result;
    result.loaded = true;
    ResetMessageTexts();
    if (StartsWith(contents, "\xEF\xBB\xBF")) {
        contents.remove_prefix(3);
    }
    size_t pos = 0;
    while (pos < contents.size()) {
        size_t end = contents.find('\n', pos);
        std::string_view line = contents.substr(
            pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        pos = end == std::string_view::npos ? contents.size() : end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') {
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        std::string name = Trim(line.substr(0, equals));
        std::optional<Msg> id = FindMsg(name);
        if (!id) {
            result.unknown.push_back(name);
            continue;
        }
        std::string text = Unescape(line.substr(equals + 1));
        if (!IsValidUtf8(text) ||
            ConversionSignature(text) != ConversionSignature(EnglishText(*id))) {
            result.rejected.push_back(name);
            continue;
        }
        SetMessageText(*id, std::move(text));
        ++result.replaced;
    }
    return result;
}

LanguageLoadResult LoadLanguageFile(const std::string& path) {
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes || bytes->size() > kMaxLanguageFileSize) {
        return {};
    }
    return ApplyLanguageText(*bytes);
}

std::string LanguageFilePath(const std::string& programFolder, const std::string& lang) {
    return FindFileIgnoringCase(programFolder, "dialvane." + lang);
}

namespace {

std::string LocaleLanguage() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') {
            std::string_view locale = value;
            size_t end = locale.find_first_of("_.@");
            return ToUpperAscii(locale.substr(0, end));
        }
    }
    return {};
}

}  // namespace

std::string LocaleLanguageAbbreviation() {
    struct Abbreviation {
        const char* iso;
        const char* code;
    };
    static constexpr Abbreviation kCodes[] = {
        {"JA", "JPN"}, {"EN", "ENU"}, {"DE", "DEU"}, {"FR", "FRA"}, {"IT", "ITA"},
        {"ES", "ESP"}, {"NL", "NLD"}, {"PT", "PTB"}, {"SV", "SVE"}, {"DA", "DAN"},
        {"FI", "FIN"}, {"NO", "NOR"}, {"NB", "NOR"}, {"ZH", "CHS"}, {"KO", "KOR"},
    };
    std::string language = LocaleLanguage();
    for (const Abbreviation& entry : kCodes) {
        if (language == entry.iso) {
            return entry.code;
        }
    }
    return {};
}

bool LocaleIsJapanese() {
    return LocaleLanguage() == "JA";
}

}  // namespace dialvane
