#include "EmulatorWire.h"

#include <algorithm>
#include <cctype>

#include "support/Format.h"

namespace dialvane::emu {

namespace {

constexpr std::string_view kEnvelopeEnd = "\x1b\x01";
constexpr std::string_view kHeaderPrefix = "U16;0;";
// The header "U16;0;<count>;<checksum>" never comes near this; anything longer is not one.
constexpr std::size_t kMaxHeaderLength = 32;
// An envelope never carries more than one frame; a larger count is not believed.
constexpr std::size_t kMaxBodyLength = 65536 + 16;
constexpr std::size_t kMaxJobLanguageLine = 256;
constexpr std::size_t kMaxWrittenFrameLength = 223;

unsigned Byte(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

bool IsUpperHex(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

// Decimal digits only, at most 9 of them so the value fits.
bool ParseDecimal(std::string_view text, unsigned long& value) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    return true;
}

ScanResult Garbage(std::size_t consumed, std::string problem) {
    ScanResult result;
    result.state = ScanState::Garbage;
    result.consumed = consumed;
    result.command.problem = std::move(problem);
    return result;
}

// Drops bytes up to the next "@QNL", keeping a tail that may be the start of one.
ScanResult DropStray(std::string_view buffered, bool idle) {
    std::size_t next = buffered.find("@QNL", 1);
    if (next == std::string_view::npos) {
        next = buffered.size();
        if (!idle) {
            constexpr std::string_view kStart = "@QNL";
            for (std::size_t tail = std::min<std::size_t>(3, buffered.size() - 1); tail > 0;
                 --tail) {
                if (kStart.starts_with(buffered.substr(buffered.size() - tail))) {
                    next = buffered.size() - tail;
                    break;
                }
            }
        }
    }
    return Garbage(next, Format("%u bytes outside any command", next));
}

// Fills command, connection and frame from the body of an envelope whose framing was right.
void ReadBody(std::string_view body, IncomingCommand& command) {
    if (body.size() >= 4) {
        command.connection = std::string(body.substr(0, 4));
    }
    if (body.size() < 8) {
        command.problem = Format("envelope body of %u bytes has no command code", body.size());
        return;
    }
    const std::string_view code = body.substr(4, 4);
    if (code.substr(0, 3) != "000" || code[3] < '0' || code[3] > '4') {
        command.problem = "unknown tool command code \"" + std::string(code) + "\"";
        return;
    }
    command.command = code[3] - '0';
    if (!IsUpperHex(command.connection)) {
        command.problem = "connection number \"" + command.connection + "\" is not hexadecimal";
        return;
    }
    switch (command.command) {
        case 0:
        case 2:
            if (body.size() != 8) {
                command.problem = Format("command %s carries %u bytes instead of 8",
                                         std::string(code), body.size());
            }
            break;
        case 1:
        case 4:
            if (body.size() != 12) {
                command.problem = Format("command %s carries %u bytes instead of 12",
                                         std::string(code), body.size());
            } else if (!IsUpperHex(body.substr(8, 4))) {
                command.problem =
                    "timeout \"" + std::string(body.substr(8, 4)) + "\" is not hexadecimal";
            }
            break;
        default:
            command.frame = std::string(body.substr(8));
            if (command.frame.empty()) {
                command.problem = "frame write without a frame";
            }
            break;
    }
}

ScanResult ScanEnvelope(std::string_view buffered, bool idle) {
    std::size_t at = kLanguageSwitch.size();
    if (buffered.size() < at + 2) {
        if (!idle) {
            return {};
        }
        return Garbage(buffered.size(), "envelope cut short after the language switch");
    }
    if (Byte(buffered, at) != 0x1B || Byte(buffered, at + 1) != 0x1D) {
        return Garbage(at, "no ESC GS after the language switch");
    }
    at += 2;
    const std::size_t close = buffered.find('}', at);
    if (close == std::string_view::npos || close - at > kMaxHeaderLength) {
        if (close == std::string_view::npos && buffered.size() - at <= kMaxHeaderLength && !idle) {
            return {};
        }
        return Garbage(at, "envelope header without \"}\"");
    }
    const std::string_view header = buffered.substr(at, close - at);
    unsigned long count = 0;
    unsigned long checksum = 0;
    const std::size_t semicolon = header.find(';', kHeaderPrefix.size());
    if (!header.starts_with(kHeaderPrefix) || semicolon == std::string_view::npos ||
        !ParseDecimal(header.substr(kHeaderPrefix.size(), semicolon - kHeaderPrefix.size()),
                      count) ||
        !ParseDecimal(header.substr(semicolon + 1), checksum)) {
        return Garbage(close + 1, "malformed envelope header \"" + std::string(header) + "\"");
    }
    if (count > kMaxBodyLength) {
        return Garbage(close + 1, Format("envelope byte count %u is not believable", count));
    }

    ScanResult result;
    result.state = ScanState::Command;
    const std::size_t body = close + 1;
    const std::size_t end = body + count;
    if (buffered.size() < end + kEnvelopeEnd.size() || buffered.substr(end, 2) != kEnvelopeEnd) {
        // The count does not lead to ESC SOH. The program sends one envelope and waits, so the
        // envelope's real end is the first ESC SOH after the count, or, when the count is too
        // large, the ESC SOH that ends what arrived.
        std::size_t realEnd =
            buffered.size() >= end ? buffered.find(kEnvelopeEnd, end) : std::string_view::npos;
        if (realEnd == std::string_view::npos) {
            if (!idle) {
                return {};
            }
            realEnd = buffered.size() >= body + 2 && buffered.ends_with(kEnvelopeEnd)
                          ? buffered.size() - 2
                          : buffered.size();
        }
        result.consumed = std::min(buffered.size(), realEnd + kEnvelopeEnd.size());
        const std::string_view sent = buffered.substr(body, realEnd - body);
        ReadBody(sent, result.command);
        result.command.problem =
            Format("byte count %u does not match the %u bytes sent", count, sent.size());
        return result;
    }
    result.consumed = end + kEnvelopeEnd.size();
    const std::string_view bytes = buffered.substr(body, count);
    unsigned long sum = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        sum += Byte(bytes, i);
    }
    ReadBody(bytes, result.command);
    if (sum != checksum) {
        result.command.problem =
            Format("checksum %u does not match the byte sum %u", checksum, sum);
    }
    return result;
}

}  // namespace

ScanResult ScanIncoming(std::string_view buffered, bool idle) {
    if (buffered.empty()) {
        return {};
    }
    if (buffered.starts_with(kNameQuery)) {
        ScanResult result;
        result.state = ScanState::Command;
        result.consumed = kNameQuery.size();
        result.command.command = kCommandChannelQuery;
        return result;
    }
    if (buffered.starts_with(kLanguageSwitch)) {
        return ScanEnvelope(buffered, idle);
    }
    if (!idle && buffered.size() < kLanguageSwitch.size() &&
        (kNameQuery.starts_with(buffered) || kLanguageSwitch.starts_with(buffered))) {
        return {};
    }
    if (buffered.starts_with("@QNL")) {
        const std::size_t lf = buffered.find('\n');
        if (lf == std::string_view::npos) {
            if (!idle && buffered.size() < kMaxJobLanguageLine) {
                return {};
            }
            return DropStray(buffered, idle);
        }
        std::string line(buffered.substr(0, lf + 1));
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.pop_back();
        }
        return Garbage(lf + 1, "unknown job-language line \"" + line + "\"");
    }
    return DropStray(buffered, idle);
}

std::string CheckWrittenFrame(std::string_view frame) {
    if (frame.size() < 4) {
        return Format("frame of %u bytes is shorter than its header", frame.size());
    }
    if (frame.size() % 2 != 0) {
        return Format("frame of odd length %u was not padded", frame.size());
    }
    const unsigned jtype = Byte(frame, 0);
    const std::size_t fLen = Byte(frame, 2) << 8 | Byte(frame, 3);
    const std::size_t length = fLen + 4;
    const bool padded = length % 2 == 1 && frame.size() == length + 1;
    if (frame.size() != length && !padded) {
        return Format("F_LEN %u does not match the %u frame bytes", fLen, frame.size());
    }
    if (padded && frame.back() != '\0') {
        return "pad byte is not zero";
    }
    if ((jtype & 0x3F) != 0) {
        return Format("JTYPE %02X has bits set that the dial list exchange never uses", jtype);
    }
    if (fLen > kMaxWrittenFrameLength) {
        return Format("F_LEN %u is above %u", fLen, kMaxWrittenFrameLength);
    }
    if (fLen == 0) {
        return "";
    }
    const unsigned position = jtype & 0xF0;
    std::size_t at = 4;
    if (position == 0xC0 || position == 0x80) {
        if (fLen < 2) {
            return Format("F_LEN %u cannot hold the LEN field", fLen);
        }
        at = 6;
    }
    while (at < length) {
        if (at + 2 > length) {
            return Format("parameter header at offset %u runs past F_LEN", at);
        }
        const std::size_t size = Byte(frame, at + 1);
        if (at + 2 + size > length) {
            return Format("parameter PID %02X at offset %u runs past F_LEN", Byte(frame, at), at);
        }
        at += 2 + size;
    }
    return "";
}

std::string Base64Encode(std::string_view bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        const unsigned group = Byte(bytes, i) << 16 | (left > 1 ? Byte(bytes, i + 1) << 8 : 0) |
                               (left > 2 ? Byte(bytes, i + 2) : 0);
        text += kAlphabet[group >> 18 & 0x3F];
        text += kAlphabet[group >> 12 & 0x3F];
        text += left > 1 ? kAlphabet[group >> 6 & 0x3F] : '=';
        text += left > 2 ? kAlphabet[group & 0x3F] : '=';
    }
    return text;
}

std::string Hex4(unsigned value) {
    return Format("%04X", value & 0xFFFF);
}

std::string AckBlock(std::string_view connection, std::uint16_t result) {
    return "@QNL SDC FAXTOOL=8\r\n" + std::string(connection) + Hex4(result) + "\x0c";
}

std::string DataBlock(std::string_view connection, std::string_view frame) {
    const std::string text = Base64Encode(frame);
    return Format("@QNL SDC FAXTOOL=%u\r\n", text.size() + 8) + std::string(connection) + "0000" +
           text + "\x0c";
}

std::string NameAnswer(std::string_view model) {
    return "@QNL ANSWER NAME=\"" + std::string(model) + "\"\r\n";
}

std::string OtherConnection(std::string_view connection) {
    unsigned value = 0;
    if (connection.size() != 4 || !IsUpperHex(connection)) {
        return "FFFF";
    }
    for (char c : connection) {
        value = value * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : c - 'A' + 10);
    }
    return Hex4(value + 1);
}

}  // namespace dialvane::emu
