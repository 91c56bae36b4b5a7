#include "CliOptions.h"

#include <getopt.h>

#include <algorithm>
#include <sstream>

#include "CliTable.h"
#include "support/Messages.h"
#include "support/Version.h"

namespace dialvane {
namespace {

// getopt_long takes any unambiguous abbreviation, so "--password SECRET" would be read as
// --password-file with the secret as a file name, and echoed in the error about that file.
// These options are only taken as written.
constexpr const char* kWrittenInFull[] = {"user", "password-file", "ca-file"};

constexpr int kFirstOptionCode = 256;  // getopt codes of table rows start after every char
constexpr size_t kHelpColumn = 26;
constexpr size_t kLineWidth = 79;

std::vector<std::string> Words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

// `text` as lines of at most kLineWidth characters, each starting with `indent` spaces; the
// first line continues `out`, which already holds `used` characters of it.
void AppendWrapped(std::string& out, const std::string& text, size_t indent, size_t used) {
    size_t column = used;
    bool lineEmpty = true;
    for (const std::string& word : Words(text)) {
        if (!lineEmpty && column + 1 + word.size() > kLineWidth) {
            out += '\n' + std::string(indent, ' ');
            column = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineEmpty = false;
    }
    out += '\n';
}

std::string OptionName(const CliOption& option) {
    return std::string("--") + option.longName;
}

std::string OptionSynopsis(const CliOption& option) {
    std::string text = option.shortName != 0 ? std::string("  -") + option.shortName + ", "
                                             : std::string("      ");
    text += OptionName(option);
    if (option.valueName != nullptr) {
        text += std::string("=") + option.valueName;
    }
    return text;
}

// `text`: the option's help, in the program's help followed by the commands it applies to.
void AppendOption(std::string& out, const CliOption& option, const std::string& text) {
    std::string synopsis = OptionSynopsis(option);
    if (synopsis.size() + 2 > kHelpColumn) {
        out += synopsis + '\n';
        synopsis.clear();
    }
    out += synopsis + std::string(kHelpColumn - synopsis.size(), ' ');
    AppendWrapped(out, text, kHelpColumn, kHelpColumn);
}

// Each line of a "0  text" list indented by two spaces.
void AppendExitStatus(std::string& out, const std::string& lines) {
    out += "\nExit status:\n";
    std::istringstream stream(lines);
    for (std::string line; std::getline(stream, line);) {
        out += "  " + line + '\n';
    }
}

// "a|b": one of the options a and b.
std::vector<std::string> Alternatives(const std::string& required) {
    std::vector<std::string> names;
    std::istringstream stream(required);
    for (std::string name; std::getline(stream, name, '|');) {
        names.push_back(name);
    }
    return names;
}

std::string RequiredSynopsis(const CliCommand& command) {
    std::string text;
    for (const std::string& required : Words(command.required)) {
        std::string choice;
        for (const std::string& alternative : Alternatives(required)) {
            const std::string name = alternative.substr(0, alternative.find('+'));
            for (const CliOption& option : CliOptionTable()) {
                if (name == option.longName) {
                    choice += (choice.empty() ? "--" : " | --") + name +
                              (option.valueName ? std::string(" ") + option.valueName : "");
                }
            }
        }
        text += required.find('|') == std::string::npos ? " " + choice : " {" + choice + "}";
    }
    return text;
}

std::string CommandHelp(const CliCommand& command) {
    std::string out = std::string("Usage: dialvane-cli ") + command.name + " [OPTION]..." +
                      RequiredSynopsis(command) +
                      (*command.operands ? std::string(" ") + command.operands : "") + '\n';
    AppendWrapped(out, command.description, 0, 0);
    out += "\nOptions:\n";
    // The command's own options first, then those every command has.
    for (bool own : {true, false}) {
        for (const CliOption& option : CliOptionTable()) {
            if ((*option.commands != '\0') == own && OptionAppliesTo(option, command.name)) {
                AppendOption(out, option, option.help);
            }
        }
    }
    AppendExitStatus(out, command.exitStatus);
    return out;
}

std::string ProgramHelp() {
    std::string out = "Usage: dialvane-cli [OPTION]... COMMAND [ARGUMENT]...\n";
    AppendWrapped(out,
                  "Checks and converts the fax dial list files of ORVEX colour MFPs, and reads "
                  "and writes the dial list of an MFP over the network.",
                  0, 0);
    out += "\nCommands:\n";
    for (const CliCommand& command : CliCommands()) {
        std::string synopsis = std::string("  ") + command.name +
                               (*command.operands ? std::string(" ") + command.operands : "");
        out += synopsis + std::string(kHelpColumn - synopsis.size(), ' ');
        AppendWrapped(out, command.summary, kHelpColumn, kHelpColumn);
    }
    out += "\nOptions:\n";
    for (const CliOption& option : CliOptionTable()) {
        const std::string commands =
            *option.commands ? std::string(" (") + option.commands + ")" : "";
        AppendOption(out, option, option.help + commands);
    }
    AppendExitStatus(out,
                     "0    done\n"
                     "1    failed, or errors found\n"
                     "2    usage error, or a file cannot be read or written\n"
                     "130  stopped by Ctrl-C");
    out += "\nRun 'dialvane-cli COMMAND --help' for the help of one command.\n";
    return out;
}

// argv for getopt_long: it permutes and keeps pointers, so the strings live here.
struct ArgvCopy {
    explicit ArgvCopy(const std::vector<std::string>& args) : strings(args) {
        strings.insert(strings.begin(), "dialvane-cli");
        for (std::string& s : strings) {
            pointers.push_back(s.data());
        }
        pointers.push_back(nullptr);
    }
    int Count() const { return static_cast<int>(strings.size()); }
    std::vector<std::string> strings;
    std::vector<char*> pointers;
};

}  // namespace

std::string CliHelpText(const std::string& command) {
    const CliCommand* found = FindCliCommand(command);
    return found ? CommandHelp(*found) : ProgramHelp();
}

std::string CliVersionText() {
    return "dialvane-cli (" + ProductName() + ") " + ProductVersion() + '\n';
}

std::optional<CliRequest> ParseCliOptions(const std::vector<std::string>& args, std::string* error,
                                          std::string* commandName) {
    const std::span<const CliOption> table = CliOptionTable();
    std::vector<option> longOptions;
    std::string shortOptions = "-:";  // operands in order as code 1; ':' for a missing value
    for (size_t i = 0; i < table.size(); ++i) {
        const int hasArg = table[i].valueName ? required_argument : no_argument;
        longOptions.push_back(
            {table[i].longName, hasArg, nullptr, kFirstOptionCode + static_cast<int>(i)});
        if (table[i].shortName != 0) {
            shortOptions += table[i].shortName;
            shortOptions += table[i].valueName ? ":" : "";
        }
    }
    longOptions.push_back({nullptr, 0, nullptr, 0});

    auto fail = [&](const std::string& message) -> std::optional<CliRequest> {
        *error = message;
        return std::nullopt;
    };
    auto rowOf = [&](int code) -> const CliOption* {
        if (code >= kFirstOptionCode && code < kFirstOptionCode + static_cast<int>(table.size())) {
            return &table[static_cast<size_t>(code - kFirstOptionCode)];
        }
        for (const CliOption& row : table) {
            if (row.shortName != 0 && row.shortName == code) {
                return &row;
            }
        }
        return nullptr;
    };

    CliRequest request;
    std::vector<std::string> operands;
    std::vector<const CliOption*> given;
    ArgvCopy argv(args);
    opterr = 0;
    optind = 0;  // glibc: start afresh, also after an earlier parse
    int code = 0;
    while ((code = getopt_long(argv.Count(), argv.pointers.data(), shortOptions.c_str(),
                               longOptions.data(), nullptr)) != -1) {
        if (code == 1) {
            operands.emplace_back(optarg);
            continue;
        }
        const CliOption* row = rowOf(code == ':' || code == '?' ? optopt : code);
        if (code == ':') {
            return fail(Text(Msg::CliMissingValue, row ? OptionName(*row) : std::string("?")));
        }
        if (code == '?' || row == nullptr) {
            const std::string text =
                optopt > 0 && optopt < kFirstOptionCode
                    ? std::string("-") + static_cast<char>(optopt)
                    : std::string(argv.strings[static_cast<size_t>(optind - 1)]);
            return fail(Text(Msg::CliUnknownOption, text));
        }
        if (row->apply == nullptr) {
            request.action = row->shortName == 'h' ? CliAction::ShowHelp : CliAction::ShowVersion;
            continue;
        }
        // The option as typed: before its value when that was a separate argument.
        const bool separateValue =
            optarg != nullptr && optind >= 2 && optarg == argv.pointers[optind - 1];
        const std::string typed = argv.pointers[optind - (separateValue ? 2 : 1)];
        const std::string typedName = typed.substr(0, typed.find('='));
        if (std::ranges::any_of(
                kWrittenInFull,
                [&](const char* name) { return row->longName == std::string(name); }) &&
            typedName != OptionName(*row)) {
            return fail(Text(Msg::CliOptionNotInFull, typedName, OptionName(*row)));
        }
        const std::string value = optarg ? optarg : "";
        if (!row->apply(request.options, value)) {
            return fail(Text(Msg::CliBadValue, OptionName(*row), value));
        }
        given.push_back(row);
    }
    // The rest after "--" are operands too.
    for (int i = optind; i < argv.Count(); ++i) {
        operands.push_back(argv.strings[static_cast<size_t>(i)]);
    }

    if (request.action == CliAction::ShowHelp) {
        request.helpText = CliHelpText(operands.empty() ? std::string() : operands.front());
        return request;
    }
    if (request.action == CliAction::ShowVersion) {
        return request;
    }
    if (operands.empty()) {
        std::string names;
        for (const CliCommand& command : CliCommands()) {
            names += (names.empty() ? "" : ", ") + std::string(command.name);
        }
        return fail(Text(Msg::CliNoCommand, names));
    }
    const CliCommand* command = FindCliCommand(operands.front());
    if (command == nullptr) {
        return fail(Text(Msg::CliUnknownCommand, operands.front()));
    }
    request.options.command = command->name;
    if (commandName != nullptr) {
        *commandName = command->name;
    }
    for (const CliOption* row : given) {
        if (!OptionAppliesTo(*row, command->name)) {
            return fail(Text(Msg::CliNotForCommand, OptionName(*row), command->name));
        }
    }
    for (const std::string& required : Words(command->required)) {
        const std::vector<std::string> names = Alternatives(required);
        // "a+b": a, b or both count as that one alternative.
        const auto present = std::count_if(names.begin(), names.end(), [&](const std::string& n) {
            return std::any_of(given.begin(), given.end(), [&](const CliOption* row) {
                return ("+" + n + "+").find("+" + std::string(row->longName) + "+") !=
                       std::string::npos;
            });
        });
        std::string wanted;
        for (const std::string& name : names) {
            wanted += (wanted.empty() ? "--" : " or --") + name.substr(0, name.find('+'));
        }
        if (present == 0) {
            return fail(Text(Msg::CliNeeds, command->name, wanted));
        }
        if (present > 1) {
            return fail(Text(Msg::CliEitherOption, command->name, wanted));
        }
    }
    if (!request.options.printer.empty() && !request.options.usb) {
        return fail(Text(Msg::CliNeeds, "--printer", "--usb"));
    }
    // The commands that run on several MFPs are the ones that take a hosts file; the others
    // would silently use the first --host and drop the rest.
    const auto hostsFile = std::find_if(table.begin(), table.end(), [](const CliOption& row) {
        return std::string(row.longName) == "hosts-file";
    });
    if (request.options.hosts.size() > 1 &&
        (hostsFile == table.end() || !OptionAppliesTo(*hostsFile, command->name))) {
        return fail(Text(Msg::CliOneHost, command->name));
    }
    const std::vector<std::string> operandNames = Words(command->operands);
    // "[NAME]" may be left out.
    const std::size_t required = static_cast<std::size_t>(
        std::count_if(operandNames.begin(), operandNames.end(),
                      [](const std::string& name) { return !name.starts_with('['); }));
    if (operands.size() - 1 < required) {
        return fail(Text(Msg::CliNeeds, command->name, operandNames[operands.size() - 1]));
    }
    if (operands.size() - 1 > operandNames.size()) {
        return fail(Text(Msg::CliUnexpectedArgument, operands[operandNames.size() + 1]));
    }
    request.options.operands.assign(operands.begin() + 1, operands.end());
    if (operands.size() > 1) {
        request.options.file = operands[1];
    }
    return request;
}

}  // namespace dialvane
