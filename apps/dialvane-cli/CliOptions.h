#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dialvane {

struct CliOptions {
    std::string settingsPath;  // empty: dialvane.ini beside the program
    std::string dataDir;
    std::string command;  // "check", "export", "test", "download" or "upload"; empty with help
    std::string model;    // empty: the offline target of the settings file
    std::string file;
    std::string output;
    bool help = false;
    std::string host;     // test, download, upload: the MFP's IP address
    bool verify = false;  // upload: read the list back and compare
};

// The arguments after the program name. nullopt with *error set when they do not form a
// command line dialvane-cli understands.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args, std::string* error);

}  // namespace dialvane
