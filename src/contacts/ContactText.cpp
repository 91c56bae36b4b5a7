#include "contacts/ContactText.h"

#include <iconv.h>

#include <cerrno>

#include "support/TextUtil.h"

namespace dialvane {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Length of the valid UTF-8 sequence at the start of `text`, 0 when it is not one.
size_t ValidSequenceLength(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

class Iconv {
  public:
    Iconv(const char* to, const std::string& from) : cd_(iconv_open(to, from.c_str())) {}
    ~Iconv() {
        if (ok()) {
            iconv_close(cd_);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> Convert(std::string_view in) {
        std::string out;
        char buffer[4096];
        char* src = const_cast<char*>(in.data());
        size_t left = in.size();
        while (true) {
            char* dst = buffer;
            size_t room = sizeof(buffer);
            const size_t rc = iconv(cd_, left > 0 ? &src : nullptr, &left, &dst, &room);
            const int error = errno;
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (rc != static_cast<size_t>(-1)) {
                if (left == 0) {
                    return out;
                }
                continue;
            }
            if (error != E2BIG) {
                return std::nullopt;
            }
        }
    }

  private:
    iconv_t cd_;
};

}  // namespace

std::string ValidUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const size_t length = ValidSequenceLength(bytes);
        if (length == 0) {
            out += kReplacement;
            bytes.remove_prefix(1);
        } else {
            out.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }
    return out;
}

std::optional<std::string> CharsetToUtf8(std::string_view bytes, std::string_view charset) {
    Iconv converter("UTF-8", std::string(charset));
    if (!converter.ok()) {
        return std::nullopt;
    }
    std::optional<std::string> text = converter.Convert(bytes);
    if (text) {
        *text = ValidUtf8(*text);
    }
    return text;
}

bool IsKnownEncoding(std::string_view name) {
    return !name.empty() && Iconv("UTF-8", std::string(name)).ok();
}

std::optional<std::string> SourceBytesToUtf8(std::string_view bytes,
                                             std::string_view fromEncoding) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return ValidUtf8(bytes.substr(3));
    }
    if (bytes.starts_with("\xFF\xFE")) {
        return CharsetToUtf8(bytes.substr(2), "UTF-16LE");
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return CharsetToUtf8(bytes.substr(2), "UTF-16BE");
    }
    if (!fromEncoding.empty()) {
        return CharsetToUtf8(bytes, fromEncoding);
    }
    return ValidUtf8(bytes);
}

std::optional<std::string> DecodeBase64Text(std::string_view text) {
    std::string out;
    unsigned buffer = 0;
    int bits = 0, padding = 0, symbols = 0;
    for (char c : text) {
        int value = -1;
        if (c >= 'A' && c <= 'Z') {
            value = c - 'A';
        } else if (c >= 'a' && c <= 'z') {
            value = c - 'a' + 26;
        } else if (c >= '0' && c <= '9') {
            value = c - '0' + 52;
        } else if (c == '+') {
            value = 62;
        } else if (c == '/') {
            value = 63;
        } else if (c == '=') {
            ++padding;
            ++symbols;
            continue;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            continue;
        } else {
            return std::nullopt;
        }
        if (padding > 0) {
            return std::nullopt;  // data after the padding
        }
        ++symbols;
        buffer = (buffer << 6) | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    if (symbols % 4 != 0 || padding > 2) {
        return std::nullopt;
    }
    return out;
}

std::string DecodeQuotedPrintable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            out += text[i];
            continue;
        }
        if (i + 2 < text.size() && text[i + 1] == '\r' && text[i + 2] == '\n') {
            i += 2;  // soft line break
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\n') {
            i += 1;
            continue;
        }
        const int high = i + 1 < text.size() ? HexDigitValue(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? HexDigitValue(text[i + 2]) : -1;
        if (high < 0 || low < 0) {
            out += '=';  // not an escape: kept as written
            continue;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::vector<std::string> SplitTrimmed(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    while (true) {
        const size_t at = text.find(separator);
        std::string piece = Trim(text.substr(0, at));
        if (!piece.empty()) {
            pieces.push_back(std::move(piece));
        }
        if (at == std::string_view::npos) {
            return pieces;
        }
        text.remove_prefix(at + separator.size());
    }
}

}  // namespace dialvane
