#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "protocol/Frame.h"

namespace dialvane {

// The connection number and the two timeouts as the envelope carries them: four upper-case
// hexadecimal digits each.
struct ToolIds {
    std::string connectNo = "0001";
    std::string openTimeout = "003C";
    std::string readTimeout = "003C";

    // Each value is written with the low 16 bits, so the field is always 4 digits.
    static ToolIds FromNumbers(int connectNo, int openTimeout, int readTimeout);
};

// Four upper-case hexadecimal digits of the low 16 bits: 20 -> "0014".
std::string Hex4(int value);

inline constexpr std::string_view kInquireName = "@QNL INQUIRE NAME\r\n";
inline constexpr std::string_view kLanguageSwitch = "@QNL ENTER LANGUAGE=RCC\r\n";

// Envelope templates: ESC GS, then the header text with its codes.
inline constexpr std::string_view kTemplateNop = "\x1B\x1DU16;0;8;%S}%N0000";
inline constexpr std::string_view kTemplateOccupyStart = "\x1B\x1DU16;0;12;%S}%N0001%T";
inline constexpr std::string_view kTemplateOccupyEnd = "\x1B\x1DU16;0;8;%S}%N0002";
inline constexpr std::string_view kTemplateFrameWrite = "\x1B\x1DU16;0;%B;%S}%N0003%D";
inline constexpr std::string_view kTemplateFrameRead = "\x1B\x1DU16;0;12;%S}%N0004%T";

// Fills a template: %N connection number, %T timeout (the open timeout after the code "0001",
// the read timeout otherwise), %D data bytes (padded to even length), %S checksum, %B byte
// count. Everything but the plain name query is wrapped in the language switch and ESC SOH.
Bytes BuildCommand(std::string_view templ, std::span<const std::uint8_t> data, const ToolIds& ids);

Bytes BuildInquireName();
Bytes BuildNop(const ToolIds& ids);
Bytes BuildOccupyStart(const ToolIds& ids);
Bytes BuildOccupyEnd(const ToolIds& ids);
Bytes BuildFrameWrite(const FrameRecord& frame, const ToolIds& ids);
Bytes BuildFrameRead(const ToolIds& ids);

}  // namespace dialvane
