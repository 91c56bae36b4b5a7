// Whole transfers against a device whose answers are mutated at random on their way to the
// program: cut short, garbled, swallowed, doubled, split, or the connection dropped. Whatever
// arrives, every run ends, reports success only when the dial list arrived intact, and leaves
// the fax released whenever the connection still stands.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <random>
#include <thread>

#include "EngineRig.h"
#include "support/LoopbackListeners.h"

namespace dialvane {
namespace {

constexpr const char* kList =
    "S1,Office,03-555-123,OFF\r\nS2,Home,03-555-124,\r\nS75,Far,0011,\r\n"
    "G1,Team,S1,S75\r\nG2,Night,S2\r\nW1,S2\r\nW4,G1\r\nN,Head Office\r\n";

// Sits between the program and the emulated MFP. Commands pass unchanged; each answer is, at
// the session's rate, mutated in one of the ways below. Mutations never touch the Base64 data
// in a way that still decodes: a changed record the device really sent cannot be detected.
class HostileProxy {
  public:
    HostileProxy(std::string host, std::string device) : host_(std::move(host)), device_(device) {}
    ~HostileProxy() {
        stop_ = true;
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t ignored = write(wake_, &one, sizeof(one));
        if (thread_.joinable()) {
            thread_.join();
        }
        close(listener_);
        close(wake_);
    }

    bool Start() {
        listener_ = testing::ListenOn9100(host_, 4);
        if (listener_ < 0) {
            return false;
        }
        wake_ = eventfd(0, EFD_CLOEXEC);
        thread_ = std::thread([this] { Serve(); });
        return true;
    }

    // The next connection mutates answers at `percent` per answer, drawn from `seed`.
    void Arm(std::uint32_t seed, int percent) {
        std::lock_guard lock(mutex_);
        random_.seed(seed);
        percent_ = percent;
        cut_ = false;
    }
    bool CutTheConnection() const {
        std::lock_guard lock(mutex_);
        return cut_;
    }

  private:
    void Serve() {
        while (!stop_) {
            std::array<pollfd, 2> fds{pollfd{listener_, POLLIN, 0}, pollfd{wake_, POLLIN, 0}};
            if (poll(fds.data(), fds.size(), -1) <= 0 || fds[1].revents != 0) {
                continue;
            }
            const int program = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (program < 0) {
                continue;
            }
            const int device = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const sockaddr_in address = testing::Port9100Of(device_);
            if (connect(device, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) ==
                0) {
                const int one = 1;
                setsockopt(program, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
                setsockopt(device, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
                Relay(program, device);
            }
            close(device);
            close(program);
        }
    }

    void Relay(int program, int device) {
        std::array<char, 8192> buffer;
        while (!stop_) {
            std::array<pollfd, 3> fds{pollfd{program, POLLIN, 0}, pollfd{device, POLLIN, 0},
                                      pollfd{wake_, POLLIN, 0}};
            if (poll(fds.data(), fds.size(), -1) <= 0 || fds[2].revents != 0) {
                return;
            }
            if (fds[0].revents != 0) {
                const ssize_t n = read(program, buffer.data(), buffer.size());
                if (n <= 0 || send(device, buffer.data(), n, MSG_NOSIGNAL) != n) {
                    return;
                }
            }
            if (fds[1].revents != 0) {
                const ssize_t n = read(device, buffer.data(), buffer.size());
                if (n <= 0) {
                    return;
                }
                if (!Pass(program, std::string(buffer.data(), static_cast<std::size_t>(n)))) {
                    if (!CutTheConnection()) {
                        ForwardWhatThePeerLeft(program, device);
                    }
                    return;
                }
            }
        }
    }

    // The program closed while an answer was on its way to it (a timeout, or an answer it gave
    // up on), and its last command may still wait here unread: on a real line it would reach
    // the device, so it is forwarded before the device's connection is closed too.
    static void ForwardWhatThePeerLeft(int program, int device) {
        std::array<char, 8192> buffer;
        ssize_t n;
        while ((n = recv(program, buffer.data(), buffer.size(), MSG_DONTWAIT)) > 0) {
            if (send(device, buffer.data(), static_cast<std::size_t>(n), MSG_NOSIGNAL) != n) {
                return;
            }
        }
    }

    // False when the connection is to be dropped, or the program is gone.
    bool Pass(int program, std::string answer) {
        std::vector<std::string> pieces;
        {
            std::lock_guard lock(mutex_);
            auto below = [&](std::size_t n) { return n == 0 ? 0 : random_() % n; };
            if (static_cast<int>(below(100)) < percent_) {
                // Where the header ends: the line, the connection number and the result code.
                const std::size_t header = std::min(answer.size(), answer.find('\n') + 9);
                switch (below(8)) {
                    case 0:  // a flipped bit in the header
                        answer[below(header)] ^= static_cast<char>(1 << below(8));
                        break;
                    case 1:  // the form feed never comes
                        answer.pop_back();
                        break;
                    case 2:  // cut short
                        answer.resize(below(answer.size()));
                        break;
                    case 3:  // bytes from nowhere, which move the form feed
                        answer.insert(below(answer.size() + 1), std::string(1 + below(40), '\x0C'));
                        break;
                    case 4:  // random bytes instead of the answer
                        answer.assign(1 + below(300), '\0');
                        for (char& c : answer) {
                            c = static_cast<char>(random_());
                        }
                        break;
                    case 5:  // the answer twice
                        answer += answer;
                        break;
                    case 6:  // swallowed
                        answer.clear();
                        break;
                    default:  // the line goes dead
                        cut_ = true;
                        return false;
                }
            }
            // Delivered in pieces of any size.
            for (std::size_t at = 0; at < answer.size();) {
                const std::size_t piece = 1 + below(answer.size() - at);
                pieces.push_back(answer.substr(at, piece));
                at += piece;
            }
        }
        for (const std::string& piece : pieces) {
            if (send(program, piece.data(), piece.size(), MSG_NOSIGNAL) !=
                static_cast<ssize_t>(piece.size())) {
                return false;
            }
        }
        return true;
    }

    const std::string host_;
    const std::string device_;
    int listener_ = -1;
    int wake_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::mt19937 random_;
    int percent_ = 0;
    bool cut_ = false;
};

TEST(HostileDevice, EveryRunEndsAndSucceedsOnlyWithTheListIntact) {
    // Every session saves files, and each save waits for the disk: a folder in memory keeps the
    // 300 sessions quick.
    if (access("/dev/shm", W_OK) == 0) {
        setenv("TMPDIR", "/dev/shm", 1);
    }
    // Short waits and polls keep 300 sessions quick; a swallowed answer costs one wait.
    testing::Rig rig(226, testing::kExtendedModel, true, [](EngineSettings& s) {
        s.env.timeout = 100;
        s.env.openRetryTime = 1;
        s.env.nackRetryTime = 1;
        s.env.polingRate = 5;
        s.verify = true;
    });
    rig.Seed(kList);
    HostileProxy proxy(testing::LoopbackAddress(225), rig.device.Address());
    ASSERT_TRUE(proxy.Start());
    rig.tcp.SetAddresses({testing::LoopbackAddress(225)});
    rig.tcp.SetConnectTimeout(1000);
    MfpEmulator& device = *rig.device;

    constexpr int kSessions = 300;
    constexpr int kRates[] = {0, 3, 8, 20, 50};
    int successes = 0, cuts = 0;
    for (int session = 0; session < kSessions; ++session) {
        const bool upload = session % 2 == 1;
        proxy.Arm(static_cast<std::uint32_t>(14000 + session), kRates[session % 5]);
        device.ClearTranscript();
        const int connectionsBefore = device.Counters().connections;
        const std::string sent = upload ? rig.PrepareUpload(kList) : std::string();
        std::remove(rig.Path("download.csv").c_str());
        const RunResult result = rig.Run(upload ? RunMode::Upload : RunMode::Download);
        if (::testing::Test::HasFailure()) {
            break;
        }
        const bool cut = proxy.CutTheConnection();
        cuts += cut ? 1 : 0;
        if (result.success) {
            ++successes;
            ASSERT_EQ(upload ? sent : rig.dir.Read("download.csv"), rig.device.Dump())
                << "session " << session << " moved a different list";
        }
        // The fax is released on every connection the device still had when the run ended. A
        // release the program sent just before closing may still be on its way through the
        // proxy: the device has seen all of it once every connection has ended on its side.
        ASSERT_TRUE(
            device.WaitForDisconnects(device.Counters().connections, std::chrono::seconds(10)))
            << "session " << session << " left a connection open";
        if (!cut) {
            for (int connection = connectionsBefore + 1;
                 connection <= device.Counters().connections; ++connection) {
                int lastStart = 0, lastEnd = 0;
                for (const ReceivedCommand& command : device.Transcript()) {
                    if (command.connection != connection) {
                        continue;
                    }
                    if (command.command == static_cast<int>(ToolCommand::OccupyStart)) {
                        lastStart = command.number;
                    } else if (command.command == static_cast<int>(ToolCommand::OccupyEnd)) {
                        lastEnd = command.number;
                    }
                }
                EXPECT_TRUE(lastStart == 0 || lastEnd > lastStart)
                    << "session " << session << " left the fax occupied: " << result.completionText;
            }
        }
        // A partly written list is put right for the next session.
        if (upload && !result.success) {
            rig.Seed(kList);
        }
    }
    // The mix did what it is for: some sessions got through untouched, some lost the line.
    EXPECT_GT(successes, kSessions / 10);
    EXPECT_GT(cuts, 0);
}

}  // namespace
}  // namespace dialvane
