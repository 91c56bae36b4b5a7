#include "transport/HostLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <memory>
#include <mutex>
#include <thread>

namespace dialvane {
namespace {

constexpr std::size_t kMaxNameLength = 253;
constexpr std::size_t kMaxLabelLength = 63;

std::optional<std::uint32_t> FirstIPv4(const char* host, int flags, int* error) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    addrinfo* found = nullptr;
    *error = getaddrinfo(host, nullptr, &hints, &found);
    if (*error != 0 || found == nullptr) {
        return std::nullopt;
    }
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const std::uint32_t result = address->sin_addr.s_addr;
    freeaddrinfo(found);
    return result;
}

bool IsLabelCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

// What the lookup thread and the waiter share; whoever finishes last frees it.
struct PendingLookup {
    PendingLookup() : doneFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~PendingLookup() {
        if (doneFd >= 0) {
            close(doneFd);
        }
    }
    PendingLookup(const PendingLookup&) = delete;
    PendingLookup& operator=(const PendingLookup&) = delete;

    std::mutex mutex;
    std::optional<HostLookup> result;
    int doneFd;
};

}  // namespace

HostLookup ResolveWithSystem(const std::string& name) {
    HostLookup lookup;
    lookup.address = FirstIPv4(name.c_str(), 0, &lookup.error);
    return lookup;
}

std::optional<std::uint32_t> NumericIPv4(const std::string& text) {
    int error = 0;
    return FirstIPv4(text.c_str(), AI_NUMERICHOST, &error);
}

bool IsIPv6Literal(std::string_view text) {
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        text = text.substr(1, text.size() - 2);
    }
    in6_addr address{};
    return inet_pton(AF_INET6, std::string(text).c_str(), &address) == 1;
}

bool IsHostNameSyntax(std::string_view name) {
    if (!name.empty() && name.back() == '.') {
        name.remove_suffix(1);  // the root: an absolute name
    }
    if (name.empty() || name.size() > kMaxNameLength) {
        return false;
    }
    // A name whose last label is all digits is a mistyped address ("127.0.0.999"), never a
    // name any resolver should be asked about.
    const std::string_view last =
        name.substr(name.rfind('.') == std::string_view::npos ? 0 : name.rfind('.') + 1);
    if (!last.empty() && last.find_first_not_of("0123456789") == std::string_view::npos) {
        return false;
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('.', start), name.size());
        const std::string_view label = name.substr(start, end - start);
        if (label.empty() || label.size() > kMaxLabelLength || label.front() == '-' ||
            label.back() == '-') {
            return false;
        }
        for (const char c : label) {
            if (!IsLabelCharacter(c)) {
                return false;
            }
        }
        start = end + 1;
    }
    return true;
}

std::optional<HostLookup> LookUpUnlessStopped(const HostResolver& resolver, const std::string& name,
                                              int stopFd) {
    auto pending = std::make_shared<PendingLookup>();
    if (pending->doneFd < 0) {
        return resolver(name);
    }
    std::thread([pending, resolver, name] {
        HostLookup lookup = resolver(name);
        std::lock_guard lock(pending->mutex);
        pending->result = std::move(lookup);
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t ignored = write(pending->doneFd, &one, sizeof(one));
    }).detach();

    std::array<pollfd, 2> fds{pollfd{pending->doneFd, POLLIN, 0}, pollfd{stopFd, POLLIN, 0}};
    const nfds_t count = stopFd >= 0 ? 2 : 1;
    while (true) {
        const int rc = poll(fds.data(), count, -1);
        if (rc < 0 && errno != EINTR) {
            return std::nullopt;
        }
        {
            std::lock_guard lock(pending->mutex);
            if (pending->result) {
                return pending->result;
            }
        }
        if (count == 2 && fds[1].revents != 0) {
            return std::nullopt;
        }
    }
}

}  // namespace dialvane
