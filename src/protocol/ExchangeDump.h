#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/Frame.h"
#include "support/DiagnosticLog.h"

namespace dialvane {

// Progress-view level of the byte dumps of what is sent and received.
inline constexpr int kDumpLevel = 4;

// A frame's fields and parameters as the log shows them.
std::string FrameDumpText(const FrameRecord& frame);
// Logs the frame's dump under `process` when that process logs its details.
void LogFrameDump(const FrameRecord& frame, LogCategory process);
// The bytes after `prefix`, control characters named (<ESC>, <FF> ...).
std::string DumpAscii(std::string_view prefix, const std::uint8_t* bytes, std::size_t count);
// The bytes after `prefix` as dot-separated hexadecimal pairs.
std::string DumpBinary(std::string_view prefix, const std::uint8_t* bytes, std::size_t count);

}  // namespace dialvane
