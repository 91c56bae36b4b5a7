#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dialvane {

inline constexpr int kExitOk = 0;
inline constexpr int kExitErrors = 1;  // the command failed or the file has errors
inline constexpr int kExitUsage = 2;   // bad command line, or a file cannot be read or written
inline constexpr int kExitInterrupted = 130;  // stopped by Ctrl-C (128 + SIGINT)

// What the command line asks for. Each option of the table in CliTable.cpp writes one member.
struct CliOptions {
    std::string settingsPath;  // empty: the settings file lookup decides
    std::string dataDir;
    std::string command;  // a name from the command table
    std::string model;    // empty: the offline target of the settings file
    std::string file;
    std::string output;
    std::string host;                   // test, download, upload: the MFP's IP address or host name
    bool usb = false;                   // test, download, upload: over USB instead of --host
    std::string printer;                // with usb: the printer to use; empty: the first found
    std::vector<std::string> hosts;     // download, upload: every --host, in order
    std::string hostsFile;              // download, upload: more hosts, one a line
    int jobs = 8;                       // download, upload: MFPs handled at once
    bool verify = false;                // upload: read the list back and compare
    bool noBackup = false;              // upload: no backup of the MFP's list this time
    bool dryRun = false;                // upload: print what would change, send nothing
    bool yes = false;                   // upload: send without asking
    bool list = false;                  // restore: print the backups instead
    std::vector<std::string> operands;  // after the command name; `file` is the first
    std::string encoding;               // "cp932", "cp1252", "utf-8"; empty: the code page of LANG
    std::string merge;                  // import: the current list whose keys stay
    std::vector<std::string> maps;      // import: FIELD=HEADER for CSV columns
    std::string fromEncoding;           // import: the address book's encoding (iconv name)
    bool verbose = false;               // import: name every speed dial and skipped contact
    std::string user;                   // import from CardDAV: the Basic authentication user
    std::string passwordFile;           // import from CardDAV: the password's file
    std::string caFile;                 // import from CardDAV: a private certificate authority
};

enum class CliAction { Run, ShowHelp, ShowVersion };

struct CliRequest {
    CliAction action = CliAction::Run;
    CliOptions options;
    std::string helpText;  // ShowHelp: the general help or the command's help
};

// The arguments after the program name. nullopt with *error set (and *command set to the
// command name when one was recognised) when they do not form a command line dialvane-cli
// understands.
std::optional<CliRequest> ParseCliOptions(const std::vector<std::string>& args, std::string* error,
                                          std::string* command = nullptr);

// The help of the whole program, or of one command when `command` names one.
std::string CliHelpText(const std::string& command = {});
std::string CliVersionText();

}  // namespace dialvane
