#include <iostream>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "CliOptions.h"
#include "support/Messages.h"

int main(int argc, char** argv) {
    using namespace dialvane;
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string error;
    std::string command;
    const std::optional<CliRequest> request = ParseCliOptions(args, &error, &command);
    if (!request) {
        std::cerr << "dialvane-cli: " << error << '\n'
                  << Text(Msg::CliTryHelp,
                          command.empty() ? "dialvane-cli" : "dialvane-cli " + command)
                  << '\n';
        return kExitUsage;
    }
    switch (request->action) {
        case CliAction::ShowHelp:
            std::cout << request->helpText;
            return kExitOk;
        case CliAction::ShowVersion:
            std::cout << CliVersionText();
            return kExitOk;
        case CliAction::Run:
            break;
    }
    return RunCli(request->options, std::cout, std::cerr);
}
