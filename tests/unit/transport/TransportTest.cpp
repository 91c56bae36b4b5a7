#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <numeric>
#include <thread>
#include <vector>

#include "protocol/Answer.h"
#include "support/LoopbackAddress.h"
#include "transport/ReceiveRing.h"
#include "transport/TcpTransport.h"

namespace dialvane {
namespace {

std::vector<std::uint8_t> Sequence(std::size_t count, std::uint8_t first = 0) {
    std::vector<std::uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

TEST(ReceiveRing, ChunkWrapsAroundTheEnd) {
    ReceiveRing ring;
    ring.SetPositions(4090, 4090);
    const auto chunk = Sequence(10, 1);
    ASSERT_TRUE(ring.Push(chunk.data(), chunk.size()));
    EXPECT_EQ(ring.WritePosition(), 4u);
    EXPECT_EQ(ring.Exist(), 10u);

    std::vector<std::uint8_t> out(10);
    ASSERT_EQ(ring.Take(out.data(), 0), 10u);
    EXPECT_EQ(out, chunk);
    EXPECT_EQ(ring.ReadPosition(), 4u);
}

TEST(ReceiveRing, ChunkAsLargeAsTheFreeSpaceIsDroppedWhole) {
    ReceiveRing ring;
    const auto filler = Sequence(4090);
    ASSERT_TRUE(ring.Push(filler.data(), filler.size()));
    ASSERT_EQ(ring.Free(), 6u);

    const auto six = Sequence(6, 100);
    EXPECT_FALSE(ring.Push(six.data(), six.size()));
    EXPECT_EQ(ring.Exist(), 4090u);

    const auto five = Sequence(5, 200);
    EXPECT_TRUE(ring.Push(five.data(), five.size()));
    EXPECT_EQ(ring.Exist(), 4095u);
    EXPECT_EQ(ring.WritePosition(), 4095u);

    std::vector<std::uint8_t> out(ReceiveRing::kSize);
    ASSERT_EQ(ring.Take(out.data(), 0), 4095u);
    EXPECT_EQ(out[4089], filler.back());
    EXPECT_EQ(out[4090], 200);
    EXPECT_EQ(out[4094], 204);
}

TEST(ReceiveRing, TakingMoreThanHeldTakesNothing) {
    ReceiveRing ring;
    std::vector<std::uint8_t> out(16);
    EXPECT_EQ(ring.Take(out.data(), 0), 0u);

    const auto three = Sequence(3, 7);
    ASSERT_TRUE(ring.Push(three.data(), three.size()));
    EXPECT_EQ(ring.Take(out.data(), 4), 0u);
    EXPECT_EQ(ring.ReadPosition(), 0u);
    EXPECT_EQ(ring.Take(out.data(), 2), 2u);
    EXPECT_EQ(out[1], 8);
    EXPECT_EQ(ring.Exist(), 1u);
}

// A one-connection listener on the loopback interface.
class Listener {
  public:
    Listener() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        const int one = 1;
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        listen(fd_, 0);
        socklen_t length = sizeof(address);
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~Listener() {
        if (client_ >= 0) {
            close(client_);
        }
        close(fd_);
    }
    std::uint16_t Port() const { return port_; }
    void Accept() { client_ = accept(fd_, nullptr, nullptr); }
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
        close(client_);
        client_ = -1;
    }

  private:
    int fd_ = -1;
    int client_ = -1;
    std::uint16_t port_ = 0;
};

// Polls until `count` bytes are buffered or the connection is gone.
std::vector<std::uint8_t> ReceiveAll(TcpTransport& transport, std::size_t count,
                                     std::size_t capacity) {
    std::vector<std::uint8_t> all;
    std::vector<std::uint8_t> buffer(capacity);
    while (all.size() < count && transport.Connected()) {
        transport.Poll(1000);
        const int got = transport.Receive(buffer.data(), buffer.size());
        EXPECT_LE(got, static_cast<int>(capacity));
        all.insert(all.end(), buffer.begin(), buffer.begin() + std::max(got, 0));
    }
    return all;
}

TEST(TcpTransport, NoOrUnusableAddressOpensNothing) {
    TcpTransport transport;
    EXPECT_FALSE(transport.Open());
    ASSERT_TRUE(transport.OpenFailure());
    EXPECT_EQ(transport.OpenFailure()->message, Msg::CommNoIpAddress);

    transport.SetAddresses({"not an address"});
    EXPECT_FALSE(transport.Open());
    EXPECT_FALSE(transport.Connected());
    EXPECT_EQ(transport.Send(Sequence(4)), 0u);
}

TEST(TcpTransport, BytesTravelBothWaysAndOnlyAPeerCloseIsForced) {
    Listener listener;
    TcpTransport transport;
    transport.SetAddresses({"127.0.0.1"});
    transport.SetPort(listener.Port());
    ASSERT_TRUE(transport.Open());
    listener.Accept();
    EXPECT_FALSE(transport.OpenFailure());

    const auto command = Sequence(60, 0x30);
    EXPECT_EQ(transport.Send(command), command.size());
    EXPECT_EQ(listener.Read(command.size()), command);
    // More than one receive buffer's worth arrives; each receive takes at most its capacity.
    const auto answer = Sequence(3000, 1);
    listener.Write(answer);
    EXPECT_EQ(ReceiveAll(transport, answer.size(), 2048), answer);

    listener.CloseClient();
    while (transport.Connected()) {
        transport.Poll(1000);
    }
    EXPECT_TRUE(transport.ForcedDisconnect());
    EXPECT_EQ(transport.Send(Sequence(2)), 0u);

    ASSERT_TRUE(transport.Open());
    EXPECT_FALSE(transport.ForcedDisconnect());
    transport.Close();
    EXPECT_FALSE(transport.Connected() || transport.ForcedDisconnect());
}

// The largest answer the program takes, right behind a short one, written by the device in
// 2048-byte pieces while the receive side drains the ring only every other poll, so the ring is
// part full whenever a piece arrives. Not a byte may be lost.
TEST(TcpTransport, ReadsNoMoreThanTheRingHoldsSoNoByteIsEverDropped) {
    const std::string host = testing::LoopbackAddress(220);
    const int server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    setsockopt(server, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(TcpTransport::kDefaultPort);
    inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(listen(server, 1), 0);

    const std::string shortAnswer = "@QNL SDC FAXTOOL=8\r\n00010000\x0C";
    const std::string data(kMaxAnswerDataChars, 'A');
    const std::string largest =
        "@QNL SDC FAXTOOL=" + std::to_string(data.size() + 8) + "\r\n00010000" + data + "\x0C";
    std::vector<std::uint8_t> stream(shortAnswer.begin(), shortAnswer.end());
    stream.insert(stream.end(), largest.begin(), largest.end());

    TcpTransport transport;
    transport.SetAddresses({host});
    constexpr int kRuns = 50;
    for (int run = 0; run < kRuns; ++run) {
        ASSERT_TRUE(transport.Open());
        const int device = accept(server, nullptr, nullptr);
        ASSERT_GE(device, 0);
        setsockopt(device, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
        std::atomic<bool> written{false};
        std::thread writer([&] {
            for (std::size_t at = 0; at < stream.size(); at += 2048) {
                const std::size_t piece = std::min<std::size_t>(2048, stream.size() - at);
                if (send(device, stream.data() + at, piece, MSG_NOSIGNAL) !=
                    static_cast<ssize_t>(piece)) {
                    break;
                }
            }
            written = true;
        });
        std::vector<std::uint8_t> got;
        std::vector<std::uint8_t> buffer(2048);
        // Once everything is written, a few polls in a row that bring nothing mean bytes are lost.
        for (int poll = 0, idle = 0; got.size() < stream.size() && idle < 4; ++poll) {
            const std::size_t before = got.size() + transport.RingSnapshot().Exist();
            transport.Poll(written ? 200 : 1000);
            if (poll % 2 == 1) {
                for (int n; (n = transport.Receive(buffer.data(), buffer.size())) > 0;) {
                    got.insert(got.end(), buffer.begin(), buffer.begin() + n);
                }
            }
            const bool grew = got.size() + transport.RingSnapshot().Exist() > before;
            idle = written && !grew ? idle + 1 : 0;
        }
        writer.join();
        close(device);
        transport.Close();
        ASSERT_EQ(got.size(), stream.size()) << "run " << run;
        ASSERT_TRUE(got == stream) << "run " << run;
    }
    close(server);
}

}  // namespace
}  // namespace dialvane
