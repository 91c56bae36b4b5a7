#include <iostream>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "CliOptions.h"
#include "TransferCommands.h"
#include "support/Messages.h"

int main(int argc, char** argv) {
    using namespace dialvane;
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string error;
    const std::optional<CliOptions> options = ParseCliOptions(args, &error);
    if (!options) {
        std::cerr << "dialvane-cli: " << error << '\n'
                  << Text(Msg::CliUsage) << '\n'
                  << Text(Msg::CliTransferUsage) << '\n';
        return kExitFailure;
    }
    if (options->help) {
        std::cout << Text(Msg::CliUsage) << '\n'
                  << Text(Msg::CliTransferUsage) << "\n\n"
                  << Text(Msg::CliHelp) << "\n\n"
                  << Text(Msg::CliTransferHelp) << '\n';
        return kExitOk;
    }
    if (IsTransferCommand(options->command)) {
        return RunTransferCommand(*options, std::cout, std::cerr);
    }
    return RunCliCommand(*options, std::cout, std::cerr);
}
