#include "SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

#include "support/Messages.h"
#include "support/Prompt.h"

namespace dialvane {

InstanceGuard::~InstanceGuard() {
    // The file stays: removing it would let a third process lock a new file while a second
    // still waits on the old one.
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::string RuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return runtime;
    }
    const char* temp = std::getenv("TMPDIR");
    if (temp != nullptr && temp[0] == '/') {
        return temp;
    }
    return "/tmp";
}

std::unique_ptr<InstanceGuard> InstanceGuard::Acquire(const std::string& name,
                                                      const std::string& folder) {
    std::string base = folder;
    bool shared = false;
    if (base.empty()) {
        base = RuntimeFolder();
        // The temporary folder is shared by every user; one user's copy must not lock out another.
        shared = std::getenv("XDG_RUNTIME_DIR") == nullptr;
    }
    if (base.back() != '/') {
        base += '/';
    }
    std::string file = shared ? name + "." + std::to_string(::getuid()) + ".lock" : name + ".lock";
    std::string path = base + file;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        // No folder to lock in: the program still runs, only without the guard.
        return std::unique_ptr<InstanceGuard>(new InstanceGuard(-1, path));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<InstanceGuard>(new InstanceGuard(fd, path));
}

std::string ProgramFileName(const std::string& programPath) {
    size_t slash = programPath.find_last_of('/');
    return slash == std::string::npos ? programPath : programPath.substr(slash + 1);
}

std::unique_ptr<InstanceGuard> CheckSingleInstance(IPrompt& prompt, const std::string& programPath,
                                                   const std::string& folder) {
    std::string name = ProgramFileName(programPath);
    std::unique_ptr<InstanceGuard> guard = InstanceGuard::Acquire(name, folder);
    if (!guard) {
        PromptRequest request;
        request.text = Text(Msg::InstanceAlreadyRunning, name);
        request.title = Text(Msg::AppTitle);
        request.buttons = PromptButtons::Ok;
        request.icon = PromptIcon::Stop;
        prompt.Ask(request);
    }
    return guard;
}

}  // namespace dialvane
