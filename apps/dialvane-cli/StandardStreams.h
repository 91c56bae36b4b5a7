#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace dialvane {

// The file name that stands for standard input or standard output.
inline constexpr const char* kStandardStream = "-";

// Everything on standard input, read once per process: several MFPs loading the same "-" get
// the same bytes. nullopt when it cannot be read or is larger than a user file may be.
std::optional<std::string> StandardInputBytes();

// Copies a finished file to `out`. False when the file cannot be read or `out` fails.
bool CopyFileTo(const std::string& path, std::ostream& out);

}  // namespace dialvane
