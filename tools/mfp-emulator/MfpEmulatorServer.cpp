// The emulator as a server: the TCP listener or the pseudo-terminal, and one client at a time.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "MfpEmulatorImpl.h"
#include "support/Format.h"

namespace dialvane {

namespace {

// After this long without new bytes a partial envelope is judged as it stands.
constexpr int kIdleMs = 150;

}  // namespace

void MfpEmulator::Impl::Serve() {
    if (!options.usbPtyLink.empty()) {
        // One cable, one connection: it ends when the cable is pulled or the emulator stops.
        ServeClient(listenFd, false);
        ClosePty();
        return;
    }
    for (;;) {
        pollfd fds[2] = {{listenFd, POLLIN, 0}, {wake[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            const int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                ServeClient(fd, true);
            }
        }
    }
}

bool MfpEmulator::Impl::OpenPty(std::string* error) {
    auto fail = [&](const std::string& what) {
        if (error) {
            *error = what + ": " + std::strerror(errno);
        }
        ClosePty();
        return false;
    };
    listenFd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (listenFd < 0 || grantpt(listenFd) != 0 || unlockpt(listenFd) != 0) {
        return fail("pseudo-terminal");
    }
    const char* slaveName = ptsname(listenFd);
    if (slaveName == nullptr) {
        return fail("pseudo-terminal name");
    }
    ptySlave = open(slaveName, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (ptySlave < 0 || tcgetattr(ptySlave, &raw) != 0) {
        return fail(slaveName);
    }
    // Bytes pass unchanged both ways: no echo, no line editing, no CR/LF translation.
    cfmakeraw(&raw);
    if (tcsetattr(ptySlave, TCSANOW, &raw) != 0) {
        return fail("raw mode");
    }
    struct stat existing {};
    if (lstat(options.usbPtyLink.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode)) {
        unlink(options.usbPtyLink.c_str());
    }
    if (symlink(slaveName, options.usbPtyLink.c_str()) != 0) {
        return fail("link " + options.usbPtyLink);
    }
    return true;
}

void MfpEmulator::Impl::ClosePty() {
    if (listenFd >= 0) {
        ::close(listenFd);
        listenFd = -1;
    }
    if (ptySlave >= 0) {
        ::close(ptySlave);
        ptySlave = -1;
        unlink(options.usbPtyLink.c_str());
    }
}

void MfpEmulator::Impl::ServeClient(int fd, bool socket) {
    if (socket) {
        // Every answer is one write that the program waits for: Nagle would hold it back.
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    {
        std::lock_guard lock(mutex);
        connection = ++counters.connections;
        occupied = false;
        assembler.Reset();
        pendingAnswer.clear();
    }
    changed.notify_all();

    std::string buffer;
    char chunk[4096];
    bool close = false;
    while (!close) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wake[0], POLLIN, 0}};
        const int ready = poll(fds, 2, buffer.empty() ? -1 : kIdleMs);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (fds[1].revents != 0) {
            break;
        }
        const bool idle = ready == 0;
        if (!idle) {
            const ssize_t n =
                socket ? recv(fd, chunk, sizeof chunk, 0) : read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            buffer.append(chunk, static_cast<std::size_t>(n));
        }
        while (!buffer.empty() && !close) {
            const emu::ScanResult scan = emu::ScanIncoming(buffer, idle);
            if (scan.state == emu::ScanState::Incomplete) {
                break;
            }
            std::string raw = buffer.substr(0, scan.consumed);
            buffer.erase(0, scan.consumed);
            Reply reply;
            {
                std::lock_guard lock(mutex);
                reply = Handle(scan, std::move(raw));
            }
            changed.notify_all();
            close = reply.close;
            for (const std::string& block : reply.writes) {
                if (close || !WaitAnswerDelay()) {
                    close = true;
                    break;
                }
                std::size_t sent = 0;
                while (sent < block.size()) {
                    const ssize_t n =
                        socket ? send(fd, block.data() + sent, block.size() - sent, MSG_NOSIGNAL)
                               : write(fd, block.data() + sent, block.size() - sent);
                    if (n < 0 && errno == EINTR) {
                        continue;
                    }
                    if (n <= 0) {
                        close = true;
                        break;
                    }
                    sent += static_cast<std::size_t>(n);
                }
            }
        }
    }
    if (socket) {
        shutdown(fd, SHUT_RDWR);
        ::close(fd);
    }
    {
        std::lock_guard lock(mutex);
        ++counters.disconnects;
        occupied = false;
        assembler.Reset();
        pendingAnswer.clear();
    }
    changed.notify_all();
}

bool MfpEmulator::Impl::WaitAnswerDelay() {
    std::unique_lock lock(mutex);
    if (faults.answerDelayMs > 0) {
        changed.wait_for(lock, std::chrono::milliseconds(faults.answerDelayMs),
                         [this] { return stopping; });
    }
    return !stopping;
}

MfpEmulator::MfpEmulator(MfpEmulatorOptions options)
    : options_(std::move(options)), impl_(std::make_unique<Impl>(options_)) {}

MfpEmulator::~MfpEmulator() {
    Stop();
}

bool MfpEmulator::Start(std::string* error) {
    auto fail = [&](const std::string& what) {
        if (error) {
            *error = what + ": " + std::strerror(errno);
        }
        if (impl_->listenFd >= 0) {
            ::close(impl_->listenFd);
            impl_->listenFd = -1;
        }
        return false;
    };
    if (Running()) {
        return true;
    }
    if (!options_.usbPtyLink.empty()) {
        if (!impl_->OpenPty(error) || pipe2(impl_->wake, O_CLOEXEC) != 0) {
            impl_->ClosePty();
            return false;
        }
        {
            std::lock_guard lock(impl_->mutex);
            impl_->stopping = false;
            impl_->running = true;
        }
        impl_->thread = std::thread([this] { impl_->Serve(); });
        return true;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(options_.port);
    if (inet_pton(AF_INET, options_.address.c_str(), &address.sin_addr) != 1) {
        errno = EINVAL;
        return fail("not an IPv4 address \"" + options_.address + "\"");
    }
    impl_->listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (impl_->listenFd < 0) {
        return fail("socket");
    }
    const int one = 1;
    setsockopt(impl_->listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (bind(impl_->listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return fail(Format("bind %s:%u", options_.address, options_.port));
    }
    if (listen(impl_->listenFd, 8) != 0) {
        return fail("listen");
    }
    socklen_t length = sizeof address;
    getsockname(impl_->listenFd, reinterpret_cast<sockaddr*>(&address), &length);
    impl_->port = ntohs(address.sin_port);
    if (pipe2(impl_->wake, O_CLOEXEC) != 0) {
        return fail("pipe");
    }
    {
        std::lock_guard lock(impl_->mutex);
        impl_->stopping = false;
        impl_->running = true;
    }
    impl_->thread = std::thread([this] { impl_->Serve(); });
    return true;
}

void MfpEmulator::Stop() {
    {
        std::lock_guard lock(impl_->mutex);
        if (!impl_->running) {
            return;
        }
        impl_->stopping = true;
    }
    impl_->changed.notify_all();
    const char byte = 1;
    while (write(impl_->wake[1], &byte, 1) < 0 && errno == EINTR) {
    }
    impl_->thread.join();
    if (impl_->listenFd >= 0) {
        ::close(impl_->listenFd);
    }
    ::close(impl_->wake[0]);
    ::close(impl_->wake[1]);
    impl_->listenFd = impl_->wake[0] = impl_->wake[1] = -1;
    std::lock_guard lock(impl_->mutex);
    impl_->running = false;
}

std::string MfpEmulator::DeviceId() const {
    if (!options_.deviceId.empty()) {
        return options_.deviceId;
    }
    return "MFG:ORVEX;CMD:QNL;MDL:" + options_.model + ";CLS:PRINTER;DES:ORVEX " + options_.model +
           ";SN:EMU1;";
}

bool MfpEmulator::Running() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->running;
}

std::uint16_t MfpEmulator::Port() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->running ? impl_->port : options_.port;
}

void MfpEmulator::SetFaults(const EmulatorFaults& faults) {
    std::lock_guard lock(impl_->mutex);
    impl_->faults = faults;
    impl_->hits = {};
}

EmulatorFaults MfpEmulator::Faults() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->faults;
}

}  // namespace dialvane
