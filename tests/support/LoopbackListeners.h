#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace dialvane::testing {

// A listener on port 9100 of `address` that never accepts and whose one queue place is taken:
// Linux drops every further connection attempt, so a connect to it gets no answer at all.
class SilentListener {
  public:
    explicit SilentListener(const std::string& address) {
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_port = htons(9100);
        inet_pton(AF_INET, address.c_str(), &where.sin_addr);
        const int one = 1;
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
        ready_ = bind(listener_, reinterpret_cast<sockaddr*>(&where), sizeof(where)) == 0 &&
                 listen(listener_, 0) == 0;
        queued_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ready_ =
            ready_ && connect(queued_, reinterpret_cast<sockaddr*>(&where), sizeof(where)) == 0;
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
