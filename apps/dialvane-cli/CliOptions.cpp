#include "CliOptions.h"

#include "TransferCommands.h"
#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args,
                                          std::string* error) {
    CliOptions options;
    std::vector<std::string> positional;
    auto fail = [&](const std::string& message) -> std::optional<CliOptions> {
        *error = message;
        return std::nullopt;
    };
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--verify") {
            options.verify = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        const size_t equals = arg.find('=');
        if (StartsWith(arg, "--") && equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        std::string* target = nullptr;
        if (name == "--settings") {
            target = &options.settingsPath;
        } else if (name == "--data-dir") {
            target = &options.dataDir;
        } else if (name == "--model") {
            target = &options.model;
        } else if (name == "-o" || name == "--output") {
            target = &options.output;
        } else if (name == "--host") {
            target = &options.host;
        } else {
            return fail(Text(Msg::CliUnknownOption, arg));
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                return fail(Text(Msg::CliMissingValue, name));
            }
            value = args[++i];
        }
        *target = *value;
    }
    if (options.help) {
        return options;
    }
    if (positional.empty()) {
        return fail(Text(Msg::CliUsage));
    }
    options.command = positional[0];
    if (IsTransferCommand(options.command)) {
        if (!CheckTransferOptions(options, positional, error)) {
            return std::nullopt;
        }
        return options;
    }
    if (options.command != "check" && options.command != "export") {
        return fail(Text(Msg::CliUnknownCommand, options.command));
    }
    if (positional.size() != 2) {
        return fail(Text(Msg::CliMissingFile, options.command));
    }
    options.file = positional[1];
    if (options.command == "export" && options.output.empty()) {
        return fail(Text(Msg::CliMissingOutput));
    }
    return options;
}

}  // namespace dialvane
