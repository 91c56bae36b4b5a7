#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "protocol/DeviceChannel.h"
#include "transport/ConnectCause.h"
#include "transport/HostLookup.h"
#include "transport/ReceiveRing.h"

namespace dialvane {

// The network channel: one TCP client connection to port 9100 of the first registered address,
// a dotted IPv4 address or a host name looked up once per connect. Bytes the receive thread reads
// (Poll) are kept in a 4096-byte ring until the receive cycle takes them (TCP_Rcv).
class TcpTransport final : public IDeviceChannel {
  public:
    static constexpr std::uint16_t kDefaultPort = 9100;
    static constexpr std::size_t kPollBufferSize = 2048;
    static constexpr int kDefaultConnectTimeoutMs = 10000;

    TcpTransport();
    ~TcpTransport() override;
    TcpTransport(const TcpTransport&) = delete;
    TcpTransport& operator=(const TcpTransport&) = delete;

    // The registered addresses or host names; only the first is used. A host name is looked up
    // at the first connect and the address kept until the addresses are set again.
    void SetAddresses(std::vector<std::string> addresses);
    void SetPort(std::uint16_t port) { port_ = port; }
    // A connect that gets no answer gives up after this long.
    void SetConnectTimeout(int milliseconds) { connectTimeoutMs_ = milliseconds; }
    // Looks host names up (the system's resolver unless replaced); dotted addresses never are.
    void SetResolver(HostResolver resolver) { resolver_ = std::move(resolver); }
    // A connect (and its name lookup) ends at once when this descriptor becomes readable: the
    // engine's stop request. -1: nothing interrupts it but its timeout.
    void SetStopFd(int fd) { stopFd_ = fd; }
    // Whether a connect attempt is waiting for the device or for the name lookup.
    bool Connecting() const { return connecting_; }

    // Resets the ring and connects; true when connected.
    bool SocketInit();
    void SocketTerm();
    // Sends all bytes in one go; the count sent (0 when not connected or on failure).
    int TCP_Snd(const std::uint8_t* bytes, std::size_t count);
    // Takes `count` bytes from the ring, all of them when `count` is 0 (the buffer must then
    // hold ReceiveRing::kSize bytes). 0 when fewer are held.
    int TCP_Rcv(std::uint8_t* buffer, std::size_t count);
    // The receive event: a chunk that arrived on the socket goes into the ring (or is dropped
    // whole when it does not fit). Poll reads no more from the socket than the ring can take.
    void OnReceive(const std::uint8_t* bytes, std::size_t count);
    // Ring state, for the log and for tests.
    ReceiveRing RingSnapshot() const;
    void SetRingPositions(std::size_t rp, std::size_t wp);

    // IDeviceChannel
    bool Open() override { return SocketInit(); }
    void Close() override { SocketTerm(); }
    bool Connected() const override { return connected_; }
    bool IsNetwork() const override { return true; }
    std::size_t Send(std::span<const std::uint8_t> bytes) override;
    int Receive(std::uint8_t* buffer, std::size_t capacity) override;
    void Poll(int timeoutMs) override;
    void Wake() override;
    bool HoldsBytes() const override;
    std::optional<ChannelOpenFailure> OpenFailure() const override;
    bool ForcedDisconnect() const override { return forced_; }

  private:
    bool Connect(const std::string& host);
    std::optional<std::uint32_t> Resolve(const std::string& host);
    // Waits for the pending connect of `fd`: 0 when connected, else the errno value (ECANCELED
    // when stopped).
    int AwaitConnect(int fd);
    bool StopRequested() const;
    void Fail(ConnectCause cause, int error);
    void FailStopped();
    void CloseSocketLocked();
    // How many bytes the ring can take now without dropping them.
    std::size_t RingRoom() const;
    void DropConnection(int error);

    mutable std::recursive_mutex ringMutex_;  // the ring and its positions
    ReceiveRing ring_;

    mutable std::mutex socketMutex_;  // the socket's lifetime against the receive thread
    int fd_ = -1;
    std::uint64_t generation_ = 0;
    int wakeFd_ = -1;

    std::atomic<bool> connected_{false};
    std::atomic<bool> connecting_{false};
    std::atomic<bool> forced_{false};
    mutable std::mutex failureMutex_;
    std::optional<ChannelOpenFailure> openFailure_;

    std::vector<std::string> addresses_;
    std::uint16_t port_ = kDefaultPort;
    int connectTimeoutMs_ = kDefaultConnectTimeoutMs;
    HostResolver resolver_ = ResolveWithSystem;
    std::optional<std::pair<std::string, std::uint32_t>> resolved_;  // host name, its address
    int stopFd_ = -1;
};

}  // namespace dialvane
