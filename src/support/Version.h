#pragma once

#include <string>
#include <vector>

namespace dialvane {

// The program's version strings, fixed by the build. The log header and the version dialog
// both show them.
std::string ProductName();
std::string ProductVersion();
std::string Comments();

// Clears the list and fills it with "Name=value" entries in the order of the standard
// version-string names; names this build does not carry are left out.
void ReadVersionStrings(std::vector<std::string>& list);

}  // namespace dialvane
