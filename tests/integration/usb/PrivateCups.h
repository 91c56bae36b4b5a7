#pragma once

// A CUPS scheduler of the test's own: configuration, spool and state in a temporary folder, a
// Unix socket there as its only listener, and stub backends so queues on usb://, socket:// and
// lpd:// can be created. Nothing is ever printed.

#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "support/FileUtil.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

namespace dialvane::testing {

class PrivateCups {
  public:
    static constexpr const char* kDaemon = "/usr/sbin/cupsd";
    static constexpr const char* kAdmin = "/usr/sbin/lpadmin";

    // Why no scheduler can run here; empty when one can.
    static std::string Unavailable() {
        if (access(kDaemon, X_OK) != 0 || access(kAdmin, X_OK) != 0) {
            return "cupsd and lpadmin are not installed (packages cups-daemon, cups-client)";
        }
        return "";
    }

    PrivateCups() {
        for (const char* folder :
             {"root", "bin/backend", "spool", "tmp", "cache", "state", "log"}) {
            MakeDirectories(dir_.File(folder));
        }
        for (const char* scheme : {"usb", "socket", "lpd"}) {
            const std::string backend =
                dir_.Write(std::string("bin/backend/") + scheme, "#!/bin/sh\nexit 0\n");
            chmod(backend.c_str(), 0755);
        }
        dir_.Write("cupsd.conf",
                   "Listen " + Socket() +
                       "\nLogLevel warn\nBrowsing No\nWebInterface No\n"
                       "DefaultAuthType None\n<Location />\nOrder allow,deny\nAllow all\n"
                       "</Location>\n<Policy default>\n<Limit All>\nOrder deny,allow\n"
                       "</Limit>\n</Policy>\n");
        // The scheduler refuses to run its helpers as root.
        dir_.Write("cups-files.conf",
                   "User lp\nGroup lp\nSystemGroup root\nFileDevice No\n"
                   "ServerRoot " +
                       dir_.File("root") + "\nServerBin " + dir_.File("bin") + "\nRequestRoot " +
                       dir_.File("spool") + "\nTempDir " + dir_.File("tmp") + "\nCacheDir " +
                       dir_.File("cache") + "\nStateDir " + dir_.File("state") + "\nAccessLog " +
                       dir_.File("log/access_log") + "\nErrorLog " + dir_.File("log/error_log") +
                       "\nPageLog " + dir_.File("log/page_log") + "\n");
        pid_ = fork();
        if (pid_ == 0) {
            execl(kDaemon, kDaemon, "-f", "-c", dir_.File("cupsd.conf").c_str(), "-s",
                  dir_.File("cups-files.conf").c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        setenv("CUPS_SERVER", Socket().c_str(), 1);
        ready_ = WaitUntilListening();
    }

    ~PrivateCups() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        unsetenv("CUPS_SERVER");
    }
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    bool Ready() const { return ready_; }
    std::string Socket() const { return dir_.File("cups.sock"); }
    std::string ErrorLog() const { return dir_.Read("log/error_log"); }

    // A queue whose PPD names `makeAndModel`; true when lpadmin accepted it.
    bool AddQueue(const std::string& name, const std::string& uri,
                  const std::string& makeAndModel) {
        const std::string ppd = dir_.Write(name + ".ppd", Ppd(makeAndModel));
        return Admin({"-p", name, "-E", "-v", uri, "-P", ppd});
    }
    bool RemoveQueue(const std::string& name) { return Admin({"-x", name}); }

  private:
    // As little as the scheduler needs to name the queue's make and model.
    static std::string Ppd(const std::string& model) {
        return "*PPD-Adobe: \"4.3\"\n*ModelName: \"" + model + "\"\n*NickName: \"" + model + "\"\n";
    }

    bool Admin(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), kAdmin);
        const std::string log = dir_.File("log/lpadmin");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0600);
        const pid_t pid = SpawnProgram(arguments, {"CUPS_SERVER=" + Socket()}, actions);
        posix_spawn_file_actions_destroy(&actions);
        return ExitStatus(pid) == 0;
    }

    // The scheduler takes a moment to start; it is ready when its socket accepts.
    bool WaitUntilListening() const {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = Socket();
        if (path.size() >= sizeof(address.sun_path)) {
            return false;
        }
        path.copy(address.sun_path, path.size());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const bool accepted =
                connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
            close(fd);
            if (accepted) {
                return true;
            }
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                return false;  // it gave up
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    TempDir dir_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

}  // namespace dialvane::testing
