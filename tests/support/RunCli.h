#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace dialvane::testing {

// Starts argv[0] without a shell, so every argument arrives exactly as given. Its environment is
// the test's, with the "NAME=value" entries of `env` in place of the test's own; `actions` set up
// its standard streams. -1 when it could not be started.
inline pid_t SpawnProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                          const posix_spawn_file_actions_t& actions) {
    std::vector<std::string> environment = env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string own(*entry);
        const std::string name = own.substr(0, own.find('=') + 1);
        if (std::none_of(env.begin(), env.end(),
                         [&](const std::string& set) { return set.starts_with(name); })) {
            environment.push_back(own);
        }
    }
    std::vector<char*> args, envp;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    for (const std::string& entry : environment) {
        envp.push_back(const_cast<char*>(entry.c_str()));
    }
    args.push_back(nullptr);
    envp.push_back(nullptr);
    pid_t pid = -1;
    return posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), envp.data()) == 0
               ? pid
               : -1;
}

// The exit status of a started program, -1 when it did not exit by itself.
inline int ExitStatus(pid_t pid) {
    int raw = 0;
    if (pid < 0 || waitpid(pid, &raw, 0) != pid) {
        return -1;
    }
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

struct CliRun {
    int status = -1;
    std::string out, err;
};

// Runs argv[0] to its end with `env` as SpawnProgram takes it, standard input from the file
// `input` (from nowhere when empty), in `folder` when one is named, and with standard output and
// error kept in `dir`.
inline CliRun RunProgram(const TempDir& dir, const std::vector<std::string>& argv,
                         const std::vector<std::string>& env, const std::string& input = {},
                         const std::string& folder = {}) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    }
    posix_spawn_file_actions_addopen(&actions, 0, input.empty() ? "/dev/null" : input.c_str(),
                                     O_RDONLY, 0);
    const std::string out = dir.File("stdout"), err = dir.File("stderr");
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const pid_t pid = SpawnProgram(argv, env, actions);
    posix_spawn_file_actions_destroy(&actions);
    const int status = ExitStatus(pid);
    return {status, dir.Read("stdout"), dir.Read("stderr")};
}

// Runs the built dialvane-cli with the arguments and its own data folder inside `dir`, so the
// user's settings and log stay untouched.
inline CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args,
                     const std::string& input = {}) {
    std::vector<std::string> argv{DIALVANE_BINARY_DIR "/apps/dialvane-cli/dialvane-cli",
                                  "--data-dir", dir.File("data")};
    argv.insert(argv.end(), args.begin(), args.end());
    // A test that sets a configuration folder keeps it; otherwise an empty one, so a settings
    // file of the user's own takes no part.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    return RunProgram(dir, argv,
                      {"XDG_CONFIG_HOME=" + (config ? std::string(config) : dir.File("config"))},
                      input);
}

}  // namespace dialvane::testing
