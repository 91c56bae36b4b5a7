#pragma once

#include <span>
#include <string>

#include "CliOptions.h"

namespace dialvane {

// One command of dialvane-cli. Its help page is made from these texts.
struct CliCommand {
    const char* name;
    const char* operands;  // after the name in the synopsis, each word one operand ("FILE")
    const char* summary;   // one line for the command list
    const char* description;
    const char* required;  // long names of the options the command cannot do without
    const char* exitStatus;
};

// One option. `commands` lists the commands it applies to, separated by spaces; an empty list
// means every command. `apply` stores the value (the empty string for a flag) and returns false
// when the value is not acceptable.
struct CliOption {
    const char* longName;
    char shortName;         // 0: none
    const char* valueName;  // nullptr: a flag without a value
    const char* commands;
    const char* help;
    bool (*apply)(CliOptions& options, const std::string& value);
};

std::span<const CliCommand> CliCommands();
std::span<const CliOption> CliOptionTable();

const CliCommand* FindCliCommand(const std::string& name);
bool OptionAppliesTo(const CliOption& option, const std::string& command);

}  // namespace dialvane
