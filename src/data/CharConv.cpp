#include "data/CharConv.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "support/TextUtil.h"

namespace dialvane {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

const char* IconvName(NarrowCodePage page) {
    return page == NarrowCodePage::Cp932 ? "CP932" : "WINDOWS-1252";
}

// One descriptor per conversion keeps iconv's shift state private to the calling thread.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    enum class Stop { Done, Invalid, Incomplete };

    // Converts as much as possible, appending to out; `in` advances past what was consumed.
    Stop Run(std::string_view& in, std::string& out) {
        char buffer[256];
        while (true) {
            char* src = const_cast<char*>(in.data());
            size_t srcLeft = in.size();
            char* dst = buffer;
            size_t dstLeft = sizeof(buffer);
            size_t rc = iconv(cd_, in.empty() ? nullptr : &src, &srcLeft, &dst, &dstLeft);
            const int error = errno;
            out.append(buffer, dst - buffer);
            in.remove_prefix(in.size() - srcLeft);
            if (rc != static_cast<size_t>(-1)) {
                if (in.empty()) {
                    return Stop::Done;
                }
                continue;
            }
            if (error == E2BIG) {
                continue;
            }
            return error == EINVAL ? Stop::Incomplete : Stop::Invalid;
        }
    }

  private:
    iconv_t cd_;
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

// Decodes one code point at `pos`, advancing it; malformed, overlong and surrogate sequences
// give U+FFFD and consume one byte, so decoding always makes progress.
char32_t DecodeUtf8(std::string_view text, size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (text.size() - pos < length) {
        ++pos;
        return kReplacement;
    }
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += length;
    return cp;
}

bool IsValidUtf8(std::string_view text, bool& nonAscii) {
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t start = pos;
        const char32_t cp = DecodeUtf8(text, pos);
        // A U+FFFD in the text takes three bytes; one that stands for a bad byte took one.
        if (cp == kReplacement && pos - start == 1) {
            return false;
        }
        nonAscii = nonAscii || cp >= 0x80;
    }
    return true;
}

// Decodes one code point at `pos` of UTF-16; a lone surrogate gives U+FFFD.
char32_t DecodeUtf16(std::u16string_view text, size_t& pos) {
    const char16_t unit = text[pos++];
    if (unit < 0xD800 || unit > 0xDFFF) {
        return unit;
    }
    if (unit <= 0xDBFF && pos < text.size() && text[pos] >= 0xDC00 && text[pos] <= 0xDFFF) {
        const char16_t low = text[pos++];
        return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
    }
    return kReplacement;
}

// Full-width katakana U+30A1..U+30F6 in half-width form; voiced kana take a trailing sound mark.
constexpr std::u16string_view kHalfKatakana[] = {
    u"\uFF67",       u"\uFF71",       u"\uFF68",       u"\uFF72",       u"\uFF69",
    u"\uFF73",       u"\uFF6A",       u"\uFF74",       u"\uFF6B",       u"\uFF75",  // ァ..オ
    u"\uFF76",       u"\uFF76\uFF9E", u"\uFF77",       u"\uFF77\uFF9E", u"\uFF78",
    u"\uFF78\uFF9E", u"\uFF79",       u"\uFF79\uFF9E", u"\uFF7A",       u"\uFF7A\uFF9E",  // カ..ゴ
    u"\uFF7B",       u"\uFF7B\uFF9E", u"\uFF7C",       u"\uFF7C\uFF9E", u"\uFF7D",
    u"\uFF7D\uFF9E", u"\uFF7E",       u"\uFF7E\uFF9E", u"\uFF7F",       u"\uFF7F\uFF9E",  // サ..ゾ
    u"\uFF80",       u"\uFF80\uFF9E", u"\uFF81",       u"\uFF81\uFF9E", u"\uFF6F",
    u"\uFF82",       u"\uFF82\uFF9E", u"\uFF83",       u"\uFF83\uFF9E", u"\uFF84",
    u"\uFF84\uFF9E",                                                                // タ..ド
    u"\uFF85",       u"\uFF86",       u"\uFF87",       u"\uFF88",       u"\uFF89",  // ナ..ノ
    u"\uFF8A",       u"\uFF8A\uFF9E", u"\uFF8A\uFF9F", u"\uFF8B",       u"\uFF8B\uFF9E",
    u"\uFF8B\uFF9F", u"\uFF8C",       u"\uFF8C\uFF9E", u"\uFF8C\uFF9F", u"\uFF8D",
    u"\uFF8D\uFF9E", u"\uFF8D\uFF9F", u"\uFF8E",       u"\uFF8E\uFF9E", u"\uFF8E\uFF9F",  // ハ..ポ
    u"\uFF8F",       u"\uFF90",       u"\uFF91",       u"\uFF92",       u"\uFF93",  // マ..モ
    u"\uFF6C",       u"\uFF94",       u"\uFF6D",       u"\uFF95",       u"\uFF6E",
    u"\uFF96",                                                                      // ャ..ヨ
    u"\uFF97",       u"\uFF98",       u"\uFF99",       u"\uFF9A",       u"\uFF9B",  // ラ..ロ
    u"\u30EE",       u"\uFF9C",       u"\u30F0",       u"\u30F1",       u"\uFF66",
    u"\uFF9D",       u"\uFF73\uFF9E", u"\u30F5",       u"\u30F6",  // ヮ..ヶ
};
static_assert(std::size(kHalfKatakana) == 0x30F6 - 0x30A1 + 1);

void AppendHalfWidth(std::u16string& out, char16_t unit) {
    if (unit >= 0xFF01 && unit <= 0xFF5E) {
        out += static_cast<char16_t>(unit - 0xFF01 + 0x21);
        return;
    }
    if (unit >= 0x30A1 && unit <= 0x30F6) {
        out += kHalfKatakana[unit - 0x30A1];
        return;
    }
    switch (unit) {
        case 0x3000:  // ideographic space
            out += u' ';
            return;
        case 0x3001:
            out += u'\uFF64';
            return;
        case 0x3002:
            out += u'\uFF61';
            return;
        case 0x300C:
            out += u'\uFF62';
            return;
        case 0x300D:
            out += u'\uFF63';
            return;
        case 0x309B:
            out += u'\uFF9E';
            return;
        case 0x309C:
            out += u'\uFF9F';
            return;
        case 0x30FB:
            out += u'\uFF65';
            return;
        case 0x30FC:
            out += u'\uFF70';
            return;
        default:
            out += unit;
    }
}

}  // namespace

std::optional<std::string> Utf8ToNarrow(std::string_view utf8, NarrowCodePage page) {
    Converter converter(IconvName(page), "UTF-8");
    if (!converter.ok()) {
        return std::nullopt;
    }
    std::string out;
    if (converter.Run(utf8, out) != Converter::Stop::Done) {
        return std::nullopt;
    }
    return out;
}

std::string NarrowToUtf8(std::string_view bytes, NarrowCodePage page) {
    Converter converter("UTF-8", IconvName(page));
    std::string out;
    if (!converter.ok()) {
        // Without a converter the bytes are still shown: ASCII as is, the rest replaced.
        for (char c : bytes) {
            AppendUtf8(out, static_cast<unsigned char>(c) < 0x80 ? c : kReplacement);
        }
        return out;
    }
    while (!bytes.empty()) {
        if (converter.Run(bytes, out) == Converter::Stop::Done) {
            break;
        }
        AppendUtf8(out, kReplacement);
        bytes.remove_prefix(1);
    }
    return out;
}

FileEncoding CodePageEncoding(NarrowCodePage page) {
    return page == NarrowCodePage::Cp932 ? FileEncoding::Cp932 : FileEncoding::Windows1252;
}

std::optional<FileEncoding> ParseFileEncoding(std::string_view name) {
    for (FileEncoding encoding :
         {FileEncoding::Cp932, FileEncoding::Windows1252, FileEncoding::Utf8}) {
        if (EqualsIgnoreCase(name, FileEncodingName(encoding))) {
            return encoding;
        }
    }
    if (EqualsIgnoreCase(name, "utf8")) {
        return FileEncoding::Utf8;
    }
    return std::nullopt;
}

std::string_view FileEncodingName(FileEncoding encoding) {
    switch (encoding) {
        case FileEncoding::Cp932:
            return "cp932";
        case FileEncoding::Windows1252:
            return "cp1252";
        case FileEncoding::Utf8:
        case FileEncoding::Utf8Marked:
            break;
    }
    return "utf-8";
}

bool ReadsAsUtf8(std::string_view bytes, FileEncoding encoding) {
    return encoding == FileEncoding::Utf8 || encoding == FileEncoding::Utf8Marked ||
           bytes.starts_with(kUtf8ByteOrderMark);
}

std::string FileBytesToUtf8(std::string_view bytes, FileEncoding encoding) {
    if (!ReadsAsUtf8(bytes, encoding)) {
        return NarrowToUtf8(bytes, encoding == FileEncoding::Cp932 ? NarrowCodePage::Cp932
                                                                   : NarrowCodePage::Windows1252);
    }
    if (bytes.starts_with(kUtf8ByteOrderMark)) {
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
    }
    std::string out;
    out.reserve(bytes.size());
    size_t pos = 0;
    while (pos < bytes.size()) {
        AppendUtf8(out, DecodeUtf8(bytes, pos));
    }
    return out;
}

std::optional<std::string> Utf8ToFileBytes(std::string_view utf8, FileEncoding encoding) {
    switch (encoding) {
        case FileEncoding::Cp932:
            return Utf8ToNarrow(utf8, NarrowCodePage::Cp932);
        case FileEncoding::Windows1252:
            return Utf8ToNarrow(utf8, NarrowCodePage::Windows1252);
        case FileEncoding::Utf8:
        case FileEncoding::Utf8Marked:
            break;
    }
    bool nonAscii = false;
    if (!IsValidUtf8(utf8, nonAscii)) {
        return std::nullopt;
    }
    return std::string(utf8);
}

bool IsUtf8WithNonAscii(std::string_view bytes) {
    bool nonAscii = false;
    return IsValidUtf8(bytes, nonAscii) && nonAscii;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        AppendUtf16(out, DecodeUtf8(utf8, pos));
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    size_t pos = 0;
    while (pos < utf16.size()) {
        AppendUtf8(out, DecodeUtf16(utf16, pos));
    }
    return out;
}

std::string ToDeviceText(std::string_view utf8) {
    const std::u16string units = Utf8ToUtf16(utf8);
    std::string out;
    out.reserve((units.size() + 1) * 2);
    for (char16_t unit : units) {
        out += static_cast<char>(unit >> 8);
        out += static_cast<char>(unit & 0xFF);
    }
    out.append(2, '\0');
    return out;
}

std::string FromDeviceText(std::string_view bytes) {
    std::u16string units;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>((static_cast<unsigned char>(bytes[i]) << 8) |
                                                static_cast<unsigned char>(bytes[i + 1]));
        if (unit == 0) {
            break;
        }
        units += unit;
    }
    return Utf16ToUtf8(units);
}

std::string PackField(std::string_view bytes, size_t fieldSize) {
    std::string field(fieldSize, '\0');
    size_t length = bytes.size();
    if (length > fieldSize) {
        // Oversized input is cut to whole code units and keeps a two-byte terminator, so the
        // device never reads a name that runs into the next field.
        length = fieldSize >= 2 ? ((fieldSize - 2) & ~static_cast<size_t>(1)) : 0;
    }
    std::copy_n(bytes.data(), length, field.data());
    return field;
}

std::string FoldToHalfWidth(std::string_view utf8) {
    const std::u16string units = Utf8ToUtf16(utf8.substr(0, utf8.find('\0')));
    std::u16string folded;
    folded.reserve(units.size());
    for (char16_t unit : units) {
        AppendHalfWidth(folded, unit);
    }
    return Utf16ToUtf8(folded);
}

}  // namespace dialvane
