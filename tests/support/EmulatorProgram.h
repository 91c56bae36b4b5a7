#pragma once

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>

#include <string>
#include <vector>

#include "support/RunCli.h"
#include "support/TempDir.h"

namespace dialvane::testing {

// The built emulator program with the given options, its standard error kept in `dir`. It is
// serving once the constructor returns: that is when the program announced it on standard output.
class EmulatorProgram {
  public:
    EmulatorProgram(const TempDir& dir, std::vector<std::string> options) : dir_(dir) {
        options.insert(options.begin(), DIALVANE_BINARY_DIR "/tools/mfp-emulator/mfp-emulator");
        int announced[2] = {-1, -1};
        EXPECT_EQ(pipe2(announced, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, announced[1], 1);
        const std::string err = dir.File("emulator-stderr");
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_ = SpawnProgram(options, {}, actions);
        posix_spawn_file_actions_destroy(&actions);
        ::close(announced[1]);
        char byte = 0;
        pollfd ready{announced[0], POLLIN, 0};
        while (poll(&ready, 1, 20000) == 1 && ::read(announced[0], &byte, 1) == 1 && byte != '\n') {
            announcement += byte;
        }
        ::close(announced[0]);
        EXPECT_NE(announcement, "") << "the emulator did not say within 20 s that it serves: "
                                    << dir.Read("emulator-stderr");
    }
    ~EmulatorProgram() { Stop(); }
    EmulatorProgram(const EmulatorProgram&) = delete;
    EmulatorProgram& operator=(const EmulatorProgram&) = delete;

    // Ends it as a user does (SIGTERM); its exit status.
    int Stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            status_ = ExitStatus(pid_);
            pid_ = -1;
        }
        return status_;
    }
    std::string Errors() const { return dir_.Read("emulator-stderr"); }

    std::string announcement;

  private:
    const TempDir& dir_;
    pid_t pid_ = -1;
    int status_ = -1;
};

}  // namespace dialvane::testing
