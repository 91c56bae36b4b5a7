#pragma once

// A scripted program side for driving the emulator over real TCP: it builds envelopes on its
// own (so a fault in the program's builders cannot hide one in the emulator) and splits the
// answer stream into blocks.

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/LoopbackListeners.h"

namespace dialvane::testing {

inline std::string Envelope(std::string_view body) {
    unsigned long sum = 0;
    for (unsigned char c : body) {
        sum += c;
    }
    return "@QNL ENTER LANGUAGE=RCC\r\n\x1b\x1d" + std::string("U16;0;") +
           std::to_string(body.size()) + ";" + std::to_string(sum) + "}" + std::string(body) +
           "\x1b\x01";
}

inline std::string Tool(std::string_view code, std::string_view connection = "0001") {
    std::string body = std::string(connection) + std::string(code);
    if (code == "0001" || code == "0004") {
        body += "000A";
    }
    return Envelope(body);
}

inline std::string FrameWrite(std::string frame, std::string_view connection = "0001") {
    if (frame.size() % 2 != 0) {
        frame.push_back('\0');
    }
    return Envelope(std::string(connection) + "0003" + frame);
}

inline std::string Raw(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

inline std::string AckText(std::string_view result, std::string_view connection = "0001") {
    return "@QNL SDC FAXTOOL=8\r\n" + std::string(connection) + std::string(result) + "\x0c";
}

class TestClient {
  public:
    TestClient() = default;
    ~TestClient() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    bool Connect(const std::string& address) {
        const sockaddr_in to = Port9100Of(address);
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        return fd_ >= 0 && connect(fd_, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
    }

    void Send(std::string_view bytes) const { send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }

    // One answer block: a name line, or a tool answer up to the byte after its declared data.
    // Empty when the connection closed or nothing came within the guard time.
    std::string ReadBlock() {
        for (;;) {
            if (const std::size_t length = BlockLength(); length > 0) {
                std::string block = buffer_.substr(0, length);
                buffer_.erase(0, length);
                return block;
            }
            if (!Fill()) {
                return "";
            }
        }
    }

    // True when the peer closed the connection (after any bytes still buffered).
    bool PeerClosed() {
        while (Fill()) {
        }
        return eof_;
    }

    // How many bytes arrived together in the last receive.
    std::size_t LastChunk() const { return lastChunk_; }

  private:
    std::size_t BlockLength() const {
        const std::size_t lineEnd = buffer_.find("\r\n");
        if (lineEnd == std::string::npos) {
            return 0;
        }
        constexpr std::string_view kTool = "@QNL SDC FAXTOOL=";
        if (!std::string_view(buffer_).starts_with(kTool)) {
            return lineEnd + 2;
        }
        const std::size_t n = std::stoul(buffer_.substr(kTool.size(), lineEnd - kTool.size()));
        const std::size_t length = lineEnd + 2 + n + 1;
        return buffer_.size() >= length ? length : 0;
    }

    bool Fill() {
        if (fd_ < 0 || eof_) {
            return false;
        }
        // A guard against a hang, not a synchronisation: answers come in microseconds.
        pollfd ready{fd_, POLLIN, 0};
        if (poll(&ready, 1, 5000) <= 0) {
            return false;
        }
        char chunk[4096];
        const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0) {
            eof_ = true;
            return false;
        }
        lastChunk_ = static_cast<std::size_t>(n);
        buffer_.append(chunk, static_cast<std::size_t>(n));
        return true;
    }

    int fd_ = -1;
    bool eof_ = false;
    std::string buffer_;
    std::size_t lastChunk_ = 0;
};

}  // namespace dialvane::testing
