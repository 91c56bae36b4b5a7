#include "contacts/PasswordSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "support/FileUtil.h"
#include "support/Messages.h"

namespace dialvane {
namespace {

constexpr std::size_t kLongestPassword = 4096;

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// Up to the first line end; the line end itself is no part of the password.
std::string ReadLine(int fd) {
    std::string line;
    char c = 0;
    while (line.size() < kLongestPassword) {
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0 || c == '\n') {
            break;
        }
        line += c;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

}  // namespace

std::optional<std::string> ReadPasswordFile(const std::string& path, std::string* error) {
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0) {
        *error = Text(Msg::PasswordFileUnreadable, path, std::strerror(errno));
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
        *error = Text(Msg::PasswordFileUnreadable, path, std::strerror(EINVAL));
        return std::nullopt;
    }
    // Checked on the open file, so a swap of the name after the check changes nothing.
    if ((status.st_mode & (S_IRGRP | S_IROTH)) != 0) {
        *error = Text(Msg::PasswordFileOpenToOthers, path);
        return std::nullopt;
    }
    return ReadLine(file.get());
}

bool WritePasswordFile(const std::string& path, const std::string& password, std::string* error) {
    // An existing file would keep its mode through the atomic write: a new one is made 0600.
    if (!RemovePasswordFile(path)) {
        *error = Text(Msg::PasswordFileNotWritten, path, std::strerror(errno));
        return false;
    }
    if (!WriteFileAtomic(path, password + "\n", kPrivateFileMode)) {
        const std::string why = WhyNotWritable(path);
        *error = Text(Msg::PasswordFileNotWritten, path, why.empty() ? std::strerror(EIO) : why);
        return false;
    }
    return true;
}

bool RemovePasswordFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

std::optional<std::string> AskPasswordOnTerminal(const std::string& prompt, std::string* error) {
    const Descriptor tty(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
    termios saved{};
    if (tty.get() < 0 || ::tcgetattr(tty.get(), &saved) != 0) {
        *error = Text(Msg::PasswordNoTerminal);
        return std::nullopt;
    }
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    static_cast<void>(::write(tty.get(), prompt.data(), prompt.size()));
    ::tcsetattr(tty.get(), TCSAFLUSH, &quiet);
    std::string password = ReadLine(tty.get());
    ::tcsetattr(tty.get(), TCSAFLUSH, &saved);
    return password;
}

}  // namespace dialvane
