#pragma once

#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "support/LoopbackListeners.h"

namespace dialvane::testing {

// A listener on port 9100 of a loopback address that accepts one connection at a time.
class AcceptingListener {
  public:
    explicit AcceptingListener(const std::string& host) : fd_(ListenOn9100(host, 4)) {}
    AcceptingListener(const AcceptingListener&) = delete;
    AcceptingListener& operator=(const AcceptingListener&) = delete;
    ~AcceptingListener() {
        CloseClient();
        close(fd_);
    }
    bool Ready() const { return fd_ >= 0; }
    int Accept() { return client_ = accept(fd_, nullptr, nullptr); }
    void CloseClient() {
        if (client_ >= 0) {
            close(client_);
        }
        client_ = -1;
    }

  private:
    int fd_ = -1;
    int client_ = -1;
};

}  // namespace dialvane::testing
