#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dialvane {

// The whole file as bytes; nullopt when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Writes the bytes to a temporary file beside `path`, flushes it to disk and renames it into
// place, so a failed or interrupted write never leaves a truncated file. False on any failure,
// with the old file untouched.
bool WriteFileAtomic(const std::string& path, std::string_view bytes);

// Appends the bytes to the file, creating it when missing. False on failure.
bool AppendToFile(const std::string& path, std::string_view bytes);

// Writes every byte to the open descriptor, resuming after interruptions. False on failure.
bool WriteAllBytes(int fd, std::string_view bytes);

// Creates the folder and its parents. True when it exists afterwards.
bool MakeDirectories(const std::string& path);

bool FileExists(const std::string& path);

}  // namespace dialvane
