#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

namespace dialvane::testing {

// Answers every request on an ephemeral port of a loopback address with the same bytes and
// closes the connection. An endless server repeats its body until the client hangs up.
class CannedHttpServer {
  public:
    CannedHttpServer(const std::string& address, std::string answer, bool endless = false)
        : answer_(std::move(answer)), endless_(endless) {
        sockaddr_in where{};
        where.sin_family = AF_INET;
        inet_pton(AF_INET, address.c_str(), &where.sin_addr);
        socklen_t length = sizeof(where);
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&where), sizeof(where));
        ::listen(listener_, 4);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&where), &length);
        url_ = "http://" + address + ":" + std::to_string(ntohs(where.sin_port)) + "/book/";
        thread_ = std::thread([this] { Serve(); });
    }
    ~CannedHttpServer() {
        ::shutdown(listener_, SHUT_RDWR);  // wakes the accept
        thread_.join();
        ::close(listener_);
    }
    CannedHttpServer(const CannedHttpServer&) = delete;
    CannedHttpServer& operator=(const CannedHttpServer&) = delete;

    const std::string& Url() const { return url_; }
    int Connections() const { return connections_; }

  private:
    void Serve() {
        for (int client; (client = ::accept(listener_, nullptr, nullptr)) >= 0; ::close(client)) {
            ++connections_;
            ReadRequest(client);
            bool open = ::send(client, answer_.data(), answer_.size(), MSG_NOSIGNAL) > 0;
            const std::string filler(64 * 1024, 'x');
            while (endless_ && open) {
                open = ::send(client, filler.data(), filler.size(), MSG_NOSIGNAL) > 0;
            }
        }
    }
    // The whole request, body included: closing with unread bytes would reset the connection
    // before the client reads the answer.
    static void ReadRequest(int client) {
        std::string request;
        char buffer[4096];
        std::size_t headEnd = std::string::npos;
        std::size_t wanted = 0;
        for (ssize_t got; (got = ::recv(client, buffer, sizeof(buffer), 0)) > 0;) {
            request.append(buffer, static_cast<std::size_t>(got));
            if (headEnd == std::string::npos &&
                (headEnd = request.find("\r\n\r\n")) != std::string::npos) {
                const std::size_t field = request.find("Content-Length: ");
                wanted = headEnd + 4 +
                         (field < headEnd ? std::strtoul(&request[field + 16], nullptr, 10) : 0);
            }
            if (headEnd != std::string::npos && request.size() >= wanted) {
                return;
            }
        }
    }

    std::string answer_;
    bool endless_;
    int listener_ = -1;
    std::string url_;
    std::atomic<int> connections_{0};
    std::thread thread_;
};

}  // namespace dialvane::testing
