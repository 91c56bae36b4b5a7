#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace dialvane::testing {

inline sockaddr_in Port9100Of(const std::string& address) {
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(9100);
    inet_pton(AF_INET, address.c_str(), &where.sin_addr);
    return where;
}

// A socket listening on port 9100 of `address` with room for `backlog` waiting connections;
// -1 when the address cannot be bound.
inline int ListenOn9100(const std::string& address, int backlog) {
    const sockaddr_in where = Port9100Of(address);
    const int one = 1;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    if (bind(fd, reinterpret_cast<const sockaddr*>(&where), sizeof(where)) != 0 ||
        listen(fd, backlog) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// A listener on port 9100 of `address` that never accepts and whose one queue place is taken:
// Linux drops every further connection attempt, so a connect to it gets no answer at all.
class SilentListener {
  public:
    explicit SilentListener(const std::string& address) : listener_(ListenOn9100(address, 0)) {
        const sockaddr_in where = Port9100Of(address);
        queued_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ready_ = listener_ >= 0 &&
                 connect(queued_, reinterpret_cast<const sockaddr*>(&where), sizeof(where)) == 0;
    }
    ~SilentListener() {
        close(queued_);
        close(listener_);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    bool Ready() const { return ready_; }

  private:
    int listener_ = -1;
    int queued_ = -1;
    bool ready_ = false;
};

}  // namespace dialvane::testing
