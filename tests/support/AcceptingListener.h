#pragma once

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

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
    void Write(const std::vector<std::uint8_t>& bytes) {
        ASSERT_EQ(write(client_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::vector<std::uint8_t> Read(std::size_t count) {
        std::vector<std::uint8_t> bytes(count);
        bytes.resize(static_cast<std::size_t>(
            std::max<ssize_t>(recv(client_, bytes.data(), count, MSG_WAITALL), 0)));
        return bytes;
    }
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
