#include "support/Version.h"

#include "BuildInfo.h"

namespace dialvane {

std::string ProductName() {
    return build::kProductName;
}

std::string ProductVersion() {
    return build::kProductVersion;
}

std::string Comments() {
    return build::kComments;
}

void ReadVersionStrings(std::vector<std::string>& list) {
    list.clear();
    const std::pair<const char*, std::string> known[] = {
        {"ProductName", ProductName()},
        {"ProductVersion", ProductVersion()},
        {"Comments", Comments()},
    };
    for (const auto& [name, value] : known) {
        list.push_back(std::string(name) + "=" + value);
    }
}

}  // namespace dialvane
