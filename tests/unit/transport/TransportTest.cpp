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
#include "support/AcceptingListener.h"
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

TEST(ReceiveRing, ChunksWrapAroundAndAreKeptOrDroppedWhole) {
    ReceiveRing ring;
    ring.SetPositions(4090, 4090);
    const auto filler = Sequence(4090);
    ASSERT_TRUE(ring.Push(filler.data(), filler.size()));
    ASSERT_EQ(ring.Free(), 6u);
    // One slot always stays empty: a chunk as large as the free space is dropped whole.
    const auto six = Sequence(6, 100);
    EXPECT_FALSE(ring.Push(six.data(), six.size()));
    const auto five = Sequence(5, 200);
    EXPECT_TRUE(ring.Push(five.data(), five.size()));

    std::vector<std::uint8_t> out(ReceiveRing::kSize - 1);
    EXPECT_EQ(ring.Take(out.data(), 4096), 0u) << "taking more than held takes nothing";
    ASSERT_EQ(ring.Take(out.data(), 2), 2u);
    ASSERT_EQ(ring.Take(out.data() + 2, 0), 4093u);
    std::vector<std::uint8_t> expected = filler;
    expected.insert(expected.end(), five.begin(), five.end());
    EXPECT_EQ(out, expected);
}

TEST(TcpTransport, NoAddressOpensNothing) {
    TcpTransport transport;
    EXPECT_FALSE(transport.Open());
    ASSERT_TRUE(transport.OpenFailure());
    EXPECT_EQ(transport.OpenFailure()->message, Msg::CommNoIpAddress);
    EXPECT_EQ(transport.Send(Sequence(4)), 0u);
}

// Bytes both ways are shown by the ring test below and by every transfer test.
TEST(TcpTransport, OnlyAPeerCloseIsForced) {
    const std::string host = testing::LoopbackAddress(221);
    testing::AcceptingListener listener(host);
    ASSERT_TRUE(listener.Ready());
    TcpTransport transport;
    transport.SetAddresses({host});
    ASSERT_TRUE(transport.Open());
    listener.Accept();
    EXPECT_FALSE(transport.OpenFailure());

    listener.CloseClient();
    // A poll returns as soon as the close arrives.
    for (int poll = 0; poll < 60 && transport.Connected(); ++poll) {
        transport.Poll(1000);
    }
    ASSERT_FALSE(transport.Connected()) << "the peer's close was never seen";
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
    testing::AcceptingListener server(host);
    ASSERT_TRUE(server.Ready());

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
        const int device = server.Accept();
        ASSERT_GE(device, 0);
        const int one = 1;
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
                    EXPECT_LE(n, static_cast<int>(buffer.size()));
                    got.insert(got.end(), buffer.begin(), buffer.begin() + n);
                }
            }
            const bool grew = got.size() + transport.RingSnapshot().Exist() > before;
            idle = written && !grew ? idle + 1 : 0;
        }
        writer.join();
        server.CloseClient();
        transport.Close();
        ASSERT_EQ(got.size(), stream.size()) << "run " << run;
        ASSERT_TRUE(got == stream) << "run " << run;
    }
}

}  // namespace
}  // namespace dialvane
