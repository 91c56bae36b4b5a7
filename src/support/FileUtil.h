#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dialvane {

// The largest user file the programs read: a dial list is a few hundred lines, and a huge file
// would only be held in memory whole.
inline constexpr std::uintmax_t kUserFileLimit = 16u << 20;

// True when the file exists and is larger than kUserFileLimit.
bool ExceedsUserFileLimit(const std::string& path);

// The whole file as bytes; nullopt when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Mode of a file WriteFileAtomic creates (before the umask) unless the caller asks for another.
inline constexpr unsigned kNewFileMode = 0644;
// Mode of the files in the data folder: they hold the office's address book.
inline constexpr unsigned kPrivateFileMode = 0600;

// Writes the bytes to a temporary file beside `path`, flushes it to disk and renames it into
// place, then flushes the folder, so neither a failed or killed write nor a power cut leaves a
// truncated file. A link is followed to the file it names. An existing file keeps its mode; a
// new one gets `newFileMode`. An existing file whose mode does not let this user write it is
// refused, not replaced. Temporaries left beside `path` by a killed earlier save are removed.
// False on any failure, with the old file untouched.
bool WriteFileAtomic(const std::string& path, std::string_view bytes,
                     unsigned newFileMode = kNewFileMode);

// The name a save of `path` gives its temporary file before the random tail
// ("list.csv" -> "list.csv.dialvane-save-").
std::string AtomicSaveTempPrefix(const std::string& path);

// Why WriteFileAtomic could not write `path` (the folder is missing or closed to this user, the
// file is read-only or not a regular file); empty when nothing stands in the way.
std::string WhyNotWritable(const std::string& path);
// Why `path` cannot be read ("No such file or directory", "Permission denied", "Is a
// directory"); empty when nothing stands in the way.
std::string WhyNotReadable(const std::string& path);

// Appends the bytes to the file, creating it when missing. False on failure.
bool AppendToFile(const std::string& path, std::string_view bytes);

// Writes every byte to the open descriptor, resuming after interruptions. False on failure.
bool WriteAllBytes(int fd, std::string_view bytes);

// Creates the folder and its parents. True when it exists afterwards.
bool MakeDirectories(const std::string& path);

bool FileExists(const std::string& path);

}  // namespace dialvane
