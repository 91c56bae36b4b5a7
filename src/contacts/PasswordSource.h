#pragma once

#include <optional>
#include <string>

namespace dialvane {

// The first line of a password file. Refused, with *error saying so, when the file can be read
// by its group or by others: a password everyone can read protects nothing.
std::optional<std::string> ReadPasswordFile(const std::string& path, std::string* error);

// Asks on the controlling terminal with echo off. nullopt with *error set when there is no
// terminal to ask on.
std::optional<std::string> AskPasswordOnTerminal(const std::string& prompt, std::string* error);

}  // namespace dialvane
