#pragma once

#include <functional>
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

// Writes a result file with `write` to `output`. For "-" it is written to a run folder in
// `dataFolder` first and copied to `out` only once it is whole, as a file appears only whole.
// nullopt when written; otherwise the exit status, with the reason on `err`.
using ResultWriter = std::function<bool(const std::string& path, std::string* error)>;
std::optional<int> WriteWholeResult(const std::string& output, const std::string& dataFolder,
                                    std::ostream& out, std::ostream& err,
                                    const ResultWriter& write);

}  // namespace dialvane
