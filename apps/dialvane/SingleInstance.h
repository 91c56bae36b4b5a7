#pragma once

#include <memory>
#include <string>

namespace dialvane {

class IPrompt;

// Keeps a second copy of a program from running for the same user: an exclusive lock on a
// file named after the program, held until the guard is destroyed (or the process ends, which
// releases it even after a crash).
class InstanceGuard {
  public:
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // The guard for `name`, or nullptr when another process (or guard) holds it. The lock file
    // lives in `folder`, by default the user's runtime folder; when it cannot be made there the
    // guard is returned without holding anything rather than keep the program from starting.
    static std::unique_ptr<InstanceGuard> Acquire(const std::string& name,
                                                  const std::string& folder = {});

    const std::string& LockFile() const { return path_; }
    // False when the lock file could not be made; such a guard keeps nobody out.
    bool Held() const { return fd_ >= 0; }

  private:
    InstanceGuard(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    int fd_;
    std::string path_;
};

// $XDG_RUNTIME_DIR, else the temporary folder ($TMPDIR or /tmp).
std::string RuntimeFolder();

// The program file's name without its folder.
std::string ProgramFileName(const std::string& programPath);

// Takes the guard for the program; when another instance runs, tells the user "%s is already
// running.A second session cannot be started." through `prompt` and returns nullptr.
std::unique_ptr<InstanceGuard> CheckSingleInstance(IPrompt& prompt, const std::string& programPath,
                                                   const std::string& folder = {});

}  // namespace dialvane
