#include "transport/TcpTransport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "support/DiagnosticLog.h"
#include "support/Format.h"

namespace dialvane {
namespace {

constexpr int kDumpIndent = 4;
constexpr int kSendTimeoutSeconds = 10;

void Log(std::string_view text, LogCategory kind) {
    LogWrite(text, LogCategory::LogProc_TCP, kind, 'L');
}

template <typename... Args>
void LogF(LogCategory kind, std::string_view format, const Args&... args) {
    LogWriteF(LogCategory::LogProc_TCP, kind, 'L', format, args...);
}

void Dump(const std::uint8_t* bytes, std::size_t count) {
    LogDump(bytes, count, LogCategory::LogProc_TCP, kDumpIndent, LogCategory::LogFunc_Event);
}

// "address", "port" of one end of a connected socket.
std::pair<std::string, std::string> Endpoint(int fd, bool peer) {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    const int rc = peer ? getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length)
                        : getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    if (rc != 0) {
        return {"", ""};
    }
    std::array<char, NI_MAXHOST> host{};
    std::array<char, NI_MAXSERV> service{};
    if (getnameinfo(reinterpret_cast<sockaddr*>(&address), length, host.data(), host.size(),
                    service.data(), service.size(), NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        return {"", ""};
    }
    return {host.data(), service.data()};
}

}  // namespace

TcpTransport::TcpTransport() {
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

TcpTransport::~TcpTransport() {
    SocketTerm();
    if (wakeFd_ >= 0) {
        close(wakeFd_);
    }
}

void TcpTransport::SetAddresses(std::vector<std::string> addresses) {
    addresses_ = std::move(addresses);
    resolved_.reset();
}

bool TcpTransport::SocketInit() {
    Log("ソケット制御の初期化...Start", LogCategory::LogFunc_Start);
    {
        std::lock_guard lock(socketMutex_);
        CloseSocketLocked();
    }
    connected_ = false;
    forced_ = false;
    {
        std::lock_guard lock(ringMutex_);
        ring_.Reset();
    }
    {
        std::lock_guard lock(failureMutex_);
        openFailure_.reset();
    }

    if (addresses_.empty() || addresses_.front().empty()) {
        std::lock_guard lock(failureMutex_);
        openFailure_ = ChannelOpenFailure{.message = Msg::CommNoIpAddress};
        return false;
    }
    const std::string& host = addresses_.front();
    LogF(LogCategory::LogFunc_Info, "ホストのIPアドレス設定 [%s])", host);
    LogF(LogCategory::LogFunc_Info, "ホストのポート番号設定 [%u]", port_);

    Log("<S>ソケット接続OPEN", LogCategory::LogFunc_Start);
    const bool ok = Connect(host);
    Log("<E>ソケット接続OPEN", LogCategory::LogFunc_End);
    Log(std::string("ソケット制御の初期化...") + (ok ? "OK" : "NG") + "\r\n",
        ok ? LogCategory::LogFunc_End : LogCategory::LogFunc_Error);
    return connected_;
}

bool TcpTransport::StopRequested() const {
    if (stopFd_ < 0) {
        return false;
    }
    pollfd stop{stopFd_, POLLIN, 0};
    return poll(&stop, 1, 0) > 0;
}

void TcpTransport::Fail(ConnectCause cause, int error) {
    std::lock_guard lock(failureMutex_);
    openFailure_ = ChannelOpenFailure{Msg::CommCheckCables, cause == ConnectCause::NoAnswer,
                                      ConnectCauseText(cause, error, connectTimeoutMs_), false};
}

void TcpTransport::FailStopped() {
    Log("(TCPイベント) 接続中止", LogCategory::LogFunc_Event);
    std::lock_guard lock(failureMutex_);
    openFailure_ = ChannelOpenFailure{.stopped = true};
}

std::optional<std::uint32_t> TcpTransport::Resolve(const std::string& host) {
    if (const auto numeric = NumericIPv4(host)) {
        return numeric;
    }
    // The inquiry and the transfer after it reach the same device, even when the name
    // server hands out its addresses in turn.
    if (resolved_ && resolved_->first == host) {
        return resolved_->second;
    }
    if (IsIPv6Literal(host)) {
        Fail(ConnectCause::IPv6Address, 0);
        return std::nullopt;
    }
    // Junk is not sent to a name server: it cannot be a host name anyway.
    std::optional<HostLookup> lookup = IsHostNameSyntax(host)
                                           ? LookUpUnlessStopped(resolver_, host, stopFd_)
                                           : HostLookup{std::nullopt, EAI_NONAME};
    if (!lookup) {
        FailStopped();
        return std::nullopt;
    }
    if (!lookup->address) {
        LogF(LogCategory::LogFunc_Error, "(TCPイベント) ホスト名解決エラー(%d) %s [%s]",
             lookup->error, gai_strerror(lookup->error), host);
        Fail(ConnectCause::HostNotFound, 0);
        return std::nullopt;
    }
    std::array<char, INET_ADDRSTRLEN> text{};
    inet_ntop(AF_INET, &*lookup->address, text.data(), text.size());
    LogF(LogCategory::LogFunc_Info, "ホスト名解決 [%s] => [%s]", host, text.data());
    resolved_.emplace(host, *lookup->address);
    return lookup->address;
}

int TcpTransport::AwaitConnect(int fd) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(connectTimeoutMs_);
    std::array<pollfd, 2> fds{pollfd{fd, POLLOUT, 0}, pollfd{stopFd_, POLLIN, 0}};
    const nfds_t count = stopFd_ >= 0 ? 2 : 1;
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const int rc =
            poll(fds.data(), count, static_cast<int>(std::max<long long>(left.count(), 0)));
        if (rc < 0 && errno == EINTR) {
            continue;
        }
        if (rc < 0) {
            return errno;
        }
        if (rc == 0) {
            return ETIMEDOUT;
        }
        if (count == 2 && fds[1].revents != 0) {
            return ECANCELED;
        }
        int error = 0;
        socklen_t length = sizeof(error);
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
            return errno;
        }
        return error;
    }
}

bool TcpTransport::Connect(const std::string& host) {
    if (StopRequested()) {
        FailStopped();
        return false;
    }
    connecting_ = true;
    struct ConnectingEnds {
        std::atomic<bool>& flag;
        ~ConnectingEnds() { flag = false; }
    } connectingEnds{connecting_};

    const std::optional<std::uint32_t> resolved = Resolve(host);
    if (!resolved) {
        return false;
    }
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port_);
    peer.sin_addr.s_addr = *resolved;

    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        Log("(TCPイベント) ハンドルがアクティブ", LogCategory::LogFunc_Event);
        if (connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof(peer)) != 0) {
            error = errno == EINPROGRESS ? AwaitConnect(fd) : errno;
        }
    }
    if (error != 0) {
        if (fd >= 0) {
            close(fd);
            Log("(TCPイベント) ソケットが非アクティブ", LogCategory::LogFunc_Event);
        }
        if (error == ECANCELED) {
            FailStopped();
        } else {
            LogF(LogCategory::LogFunc_Error, "(TCPイベント) TCPソケットエラー(%d) %s", error,
                 std::strerror(error));
            Fail(CauseOfConnectError(error), error);
        }
        return false;
    }

    // Back to blocking for sends (bounded by a send timeout); receives never block.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const int one = 1;
    // Every command is one small write answered before the next: never hold it back.
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    timeval sendTimeout{kSendTimeoutSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof(sendTimeout));

    const auto [localHost, localPort] = Endpoint(fd, false);
    const auto [peerHost, peerPort] = Endpoint(fd, true);
    LogF(LogCategory::LogFunc_Event,
         "(TCPイベント) LAN 接続完了... IP:[%s] PORT:[%s] IP:[%s] PORT:[%s]", localHost, localPort,
         peerHost, peerPort);
    {
        std::lock_guard lock(socketMutex_);
        fd_ = fd;
        ++generation_;
    }
    connected_ = true;
    return true;
}

void TcpTransport::CloseSocketLocked() {
    if (fd_ >= 0) {
        shutdown(fd_, SHUT_RDWR);
        close(fd_);
        fd_ = -1;
        ++generation_;
        Log("(TCPイベント) ソケットが非アクティブ", LogCategory::LogFunc_Event);
    }
}

void TcpTransport::SocketTerm() {
    Log("\r\nソケット制御の終了...Start", LogCategory::LogFunc_Start);
    {
        std::lock_guard lock(socketMutex_);
        CloseSocketLocked();
    }
    Log("ソケット制御の終了...End\r\n", LogCategory::LogFunc_End);
    connected_ = false;
    Wake();
}

void TcpTransport::DropConnection(int error) {
    if (error != 0) {
        LogF(LogCategory::LogFunc_Error, "(TCPイベント) TCPソケットエラー(%d) %s", error,
             std::strerror(error));
    } else {
        Log("(TCPイベント) サーバーソケットへの接続が終了", LogCategory::LogFunc_Event);
    }
    CloseSocketLocked();
    Log("強制切断", LogCategory::LogFunc_Error);
    forced_ = true;
    connected_ = false;
}

int TcpTransport::TCP_Snd(const std::uint8_t* bytes, std::size_t count) {
    if (!connected_) {
        return 0;
    }
    LogF(LogCategory::LogFunc_Start, "<S>TCP_Snd...Start (PC⇒MFP %d[Bytes])", count);
    std::size_t sent = 0;
    {
        std::lock_guard lock(socketMutex_);
        while (fd_ >= 0 && sent < count) {
            const ssize_t rc = send(fd_, bytes + sent, count - sent, MSG_NOSIGNAL);
            if (rc < 0) {
                if (errno == EINTR) {
                    continue;
                }
                DropConnection(errno);
                break;
            }
            sent += static_cast<std::size_t>(rc);
        }
    }
    if (sent > 0) {
        LogF(LogCategory::LogFunc_Event, "ソケットデータ送信イベント [%d]Bytes", sent);
        Dump(bytes, sent);
    }
    LogF(LogCategory::LogFunc_End, "<E>TCP_Snd...OK (PC⇒MFP %d[Bytes])", sent);
    // A half-sent command is no command: the device will not answer it.
    return sent == count ? static_cast<int>(sent) : 0;
}

void TcpTransport::OnReceive(const std::uint8_t* bytes, std::size_t count) {
    std::lock_guard lock(ringMutex_);
    const std::size_t free = ring_.Free();
    if (ring_.Push(bytes, count)) {
        LogF(LogCategory::LogFunc_Event,
             "ソケットデータ受信イベント [%d]Bytes Free[%d] RP[%d] WP[%d]", count, free - count,
             ring_.ReadPosition(), ring_.WritePosition());
        Dump(bytes, count);
    } else {
        LogF(LogCategory::LogFunc_Error,
             "ソケットデータ受信イベント...Error [%d]Bytes Free[%d] RP[%d] WP[%d]", count, free,
             ring_.ReadPosition(), ring_.WritePosition());
    }
}

int TcpTransport::TCP_Rcv(std::uint8_t* buffer, std::size_t count) {
    if (!connected_) {
        return 0;
    }
    std::lock_guard lock(ringMutex_);
    Log("<S>TCP_Rcv...Start", LogCategory::LogFunc_Start);
    const std::size_t exist = ring_.Exist();
    const std::size_t take = count == 0 ? exist : count;
    if (take > exist) {
        LogF(LogCategory::LogFunc_Error, "TCP_Rcv... Error Exist[%d]Bytes", exist);
        return 0;
    }
    ring_.Take(buffer, take);
    LogF(LogCategory::LogFunc_End, "<E>TCP_Rcv...OK [%d]Bytes Exist[%d] RP[%d] WP[%d]", take,
         exist - take, ring_.ReadPosition(), ring_.WritePosition());
    Dump(buffer, take);
    return static_cast<int>(take);
}

std::size_t TcpTransport::RingRoom() const {
    std::lock_guard lock(ringMutex_);
    // One byte less than free: a chunk as large as the free space is refused.
    return ring_.Free() - 1;
}

ReceiveRing TcpTransport::RingSnapshot() const {
    std::lock_guard lock(ringMutex_);
    return ring_;
}

void TcpTransport::SetRingPositions(std::size_t rp, std::size_t wp) {
    std::lock_guard lock(ringMutex_);
    ring_.SetPositions(rp, wp);
}

std::size_t TcpTransport::Send(std::span<const std::uint8_t> bytes) {
    const int sent = TCP_Snd(bytes.data(), bytes.size());
    return sent > 0 ? static_cast<std::size_t>(sent) : 0;
}

int TcpTransport::Receive(std::uint8_t* buffer, std::size_t capacity) {
    std::lock_guard lock(ringMutex_);
    // Never more than the caller's buffer holds, even when the ring holds more.
    const std::size_t exist = ring_.Exist();
    if (exist == 0) {
        return TCP_Rcv(buffer, 0);
    }
    return TCP_Rcv(buffer, exist < capacity ? exist : capacity);
}

void TcpTransport::Poll(int timeoutMs) {
    int fd;
    std::uint64_t generation;
    {
        std::lock_guard lock(socketMutex_);
        fd = connected_ ? fd_ : -1;
        generation = generation_;
    }
    // TCP is a byte stream: what the ring cannot hold yet stays in the socket until the receive
    // cycle has made room, instead of being read and dropped.
    const std::size_t room = std::min(kPollBufferSize, RingRoom());
    std::array<pollfd, 2> fds{pollfd{wakeFd_, POLLIN, 0}, pollfd{fd, POLLIN, 0}};
    const nfds_t count = fd >= 0 && room > 0 ? 2 : 1;
    const int rc = poll(fds.data(), count, timeoutMs < 0 ? 0 : timeoutMs);
    if (rc <= 0) {
        return;
    }
    if (fds[0].revents != 0) {
        std::uint64_t drained;
        [[maybe_unused]] const ssize_t ignored = read(wakeFd_, &drained, sizeof(drained));
    }
    if (count < 2 || fds[1].revents == 0) {
        return;
    }
    std::array<std::uint8_t, kPollBufferSize> chunk;
    ssize_t received;
    {
        std::lock_guard lock(socketMutex_);
        // The socket may have been closed (and its number reused) while we waited.
        if (generation != generation_ || fd_ < 0) {
            return;
        }
        received = recv(fd_, chunk.data(), std::min(room, RingRoom()), MSG_DONTWAIT);
        if (received == 0) {
            DropConnection(0);
            return;
        }
        if (received < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                DropConnection(errno);
            }
            return;
        }
    }
    OnReceive(chunk.data(), static_cast<std::size_t>(received));
}

void TcpTransport::Wake() {
    if (wakeFd_ >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t ignored = write(wakeFd_, &one, sizeof(one));
    }
}

bool TcpTransport::HoldsBytes() const {
    std::lock_guard lock(ringMutex_);
    return ring_.Exist() > 0;
}

std::optional<ChannelOpenFailure> TcpTransport::OpenFailure() const {
    std::lock_guard lock(failureMutex_);
    return openFailure_;
}

}  // namespace dialvane
