#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace dialvane::testing {

struct CliRun {
    int status = -1;
    std::string out, err;
};

// Runs the built dialvane-cli with the arguments (each single-quoted for the shell) and its own
// data folder inside `dir`, so the user's settings and log stay untouched. Standard input comes
// from `input` when given, else from nowhere.
inline CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args,
                     const std::string& input = {}) {
    // A test that sets a configuration folder keeps it; otherwise an empty one, so a settings
    // file of the user's own takes no part.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string command =
        "XDG_CONFIG_HOME='" + (config ? std::string(config) : dir.File("config")) +
        "' '" DIALVANE_BINARY_DIR "/apps/dialvane-cli/dialvane-cli' --data-dir '" +
        dir.File("data") + "'";
    for (const std::string& arg : args) {
        command += " '" + arg + "'";
    }
    command += " <'" + (input.empty() ? std::string("/dev/null") : input) + "' >'" +
               dir.File("stdout") + "' 2>'" + dir.File("stderr") + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, dir.Read("stdout"), dir.Read("stderr")};
}

}  // namespace dialvane::testing
