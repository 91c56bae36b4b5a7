#include "ReferenceClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "protocol/Answer.h"
#include "support/QnlEnv.h"
#include "transport/TcpTransport.h"

namespace dialvane::bench {
namespace {

constexpr int kLearnTimeoutMs = 5000;

int Connect(const std::string& address) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(TcpTransport::kDefaultPort);
    if (fd < 0 || inet_pton(AF_INET, address.c_str(), &target.sin_addr) != 1 ||
        connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

bool SendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// Walks the commands connection by connection; `exchange` sends one and reads its answer.
template <typename Commands, typename Exchange>
bool Walk(const std::string& address, Commands& commands, Exchange exchange) {
    int fd = -1;
    int connection = -1;
    bool ok = true;
    for (auto& command : commands) {
        if (command.connection != connection) {
            if (fd >= 0) {
                close(fd);
            }
            fd = Connect(address);
            connection = command.connection;
        }
        if (fd < 0 || !SendAll(fd, command.bytes) || !exchange(fd, command)) {
            ok = false;
            break;
        }
    }
    if (fd >= 0) {
        close(fd);
    }
    return ok;
}

}  // namespace

std::vector<ReplayCommand> CommandsOf(const std::vector<ReceivedCommand>& transcript,
                                      std::size_t from) {
    std::vector<ReplayCommand> commands;
    for (std::size_t i = from; i < transcript.size(); ++i) {
        commands.push_back({transcript[i].connection, transcript[i].raw, 0});
    }
    return commands;
}

bool LearnAnswers(const std::string& address, std::vector<ReplayCommand>& commands) {
    const std::string connectNo = QnlEnvRecord{}.connectNo;
    return Walk(address, commands, [&](int fd, ReplayCommand& command) {
        std::string answer;
        char chunk[4096];
        while (true) {
            pollfd readable{fd, POLLIN, 0};
            if (poll(&readable, 1, kLearnTimeoutMs) <= 0) {
                return false;
            }
            const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) {
                return false;
            }
            answer.append(chunk, static_cast<std::size_t>(n));
            const AnswerScan scan = ScanAnswer(answer, connectNo);
            if (scan.state != ScanState::Incomplete) {
                command.answerBytes = answer.size();
                return scan.consumed == answer.size();
            }
        }
    });
}

double Replay(const std::string& address, const std::vector<ReplayCommand>& commands) {
    char chunk[4096];
    const auto start = std::chrono::steady_clock::now();
    const bool ok = Walk(address, commands, [&](int fd, const ReplayCommand& command) {
        for (std::size_t got = 0; got < command.answerBytes;) {
            const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) {
                return false;
            }
            got += static_cast<std::size_t>(n);
        }
        return true;
    });
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return ok ? seconds : -1;
}

}  // namespace dialvane::bench
