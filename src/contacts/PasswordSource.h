#pragma once

#include <optional>
#include <string>

namespace dialvane {

// The first line of a password file. Refused, with *error saying so, when the file can be read
// by its group or by others: a password everyone can read protects nothing.
std::optional<std::string> ReadPasswordFile(const std::string& path, std::string* error);

// Keeps `password` as the only line of `path`, a file readable by its owner alone. Whatever
// stood at `path` is removed first, so a file that had been opened to others, or a link to
// somewhere else, is never written through. False with *error set on failure.
bool WritePasswordFile(const std::string& path, const std::string& password, std::string* error);

// Removes the kept password; true when none is left (also when there was none).
bool RemovePasswordFile(const std::string& path);

// Asks on the controlling terminal with echo off. nullopt with *error set when there is no
// terminal to ask on.
std::optional<std::string> AskPasswordOnTerminal(const std::string& prompt, std::string* error);

}  // namespace dialvane
