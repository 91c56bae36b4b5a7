#include "protocol/Base64.h"

#include <array>

#include "support/DiagnosticLog.h"
#include "support/Format.h"

namespace dialvane {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::uint8_t kInvalid = 0xFF;
constexpr std::uint8_t kPad = 0xFE;

constexpr std::array<std::uint8_t, 256> MakeTable() {
    std::array<std::uint8_t, 256> table{};
    for (auto& entry : table) {
        entry = kInvalid;
    }
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::uint8_t>(i);
    }
    table[static_cast<unsigned char>('=')] = kPad;
    return table;
}

constexpr std::array<std::uint8_t, 256> kTable = MakeTable();

constexpr int kDumpIndent = 4;

void LogStage(const char* format, const std::uint8_t* bytes, std::size_t count) {
    if (!LogEnabled(LogCategory::LogProc_BASE64) || !LogEnabled(LogCategory::LogFunc_Info)) {
        return;
    }
    LogWrite(Format(format, count), LogCategory::LogProc_BASE64, LogCategory::LogFunc_Info, 'L');
    LogDump(bytes, count, LogCategory::LogProc_BASE64, kDumpIndent, LogCategory::LogFunc_Info);
}

}  // namespace

std::optional<Bytes> Base64Decode(std::string_view text) {
    LogStage("Base64_Decode... 変換前 [%d]Bytes",
             reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (text.empty() || text.size() % 4 != 0) {
        return std::nullopt;
    }
    Bytes out;
    out.reserve(Base64DecodedSize(text.size()));
    for (std::size_t i = 0; i < text.size(); i += 4) {
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const std::size_t at = i + k;
            std::uint8_t value = kTable[static_cast<unsigned char>(text[at])];
            if (value == kInvalid) {
                return std::nullopt;
            }
            if (value == kPad) {
                // Padding only closes the text, and once begun it runs to the end.
                if (at + 2 < text.size() || (at + 1 < text.size() && text[at + 1] != '=')) {
                    return std::nullopt;
                }
                value = 0;
            }
            group = (group << 6) | value;
        }
        out.push_back(static_cast<std::uint8_t>(group >> 16));
        out.push_back(static_cast<std::uint8_t>(group >> 8));
        out.push_back(static_cast<std::uint8_t>(group));
    }
    LogStage("Base64_Decode... 変換後 [%d]Bytes", out.data(), out.size());
    return out;
}

}  // namespace dialvane
