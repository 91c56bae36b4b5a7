#pragma once

#include <chrono>
#include <mutex>
#include <vector>

#include "transport/TcpTransport.h"

namespace dialvane::bench {

// The network channel with a stopwatch: it notes when each command goes out, when the receive
// thread first sees its answer in the ring, and when the receive cycle takes it, so the time
// of one command splits into the device's part, the receive thread's and the worker's.
class TimedChannel final : public IDeviceChannel {
  public:
    using Clock = std::chrono::steady_clock;

    struct Command {
        Clock::time_point sent;
        Clock::time_point arrived;  // first poll that found answer bytes buffered
        Clock::time_point taken;    // first receive cycle that took them
    };

    explicit TimedChannel(TcpTransport& inner) : inner_(inner) {}

    bool Open() override { return inner_.Open(); }
    void Close() override { inner_.Close(); }
    bool Connected() const override { return inner_.Connected(); }
    bool IsNetwork() const override { return true; }
    std::optional<ChannelOpenFailure> OpenFailure() const override { return inner_.OpenFailure(); }
    bool ForcedDisconnect() const override { return inner_.ForcedDisconnect(); }
    void Wake() override { inner_.Wake(); }

    std::size_t Send(std::span<const std::uint8_t> bytes) override {
        {
            std::lock_guard lock(mutex_);
            commands_.push_back({Clock::now(), {}, {}});
        }
        return inner_.Send(bytes);
    }

    void Poll(int timeoutMs) override {
        inner_.Poll(timeoutMs);
        if (inner_.RingSnapshot().Exist() > 0) {
            Note(&Command::arrived);
        }
    }

    int Receive(std::uint8_t* buffer, std::size_t capacity) override {
        const int count = inner_.Receive(buffer, capacity);
        if (count > 0) {
            Note(&Command::taken);
        }
        return count;
    }

    std::vector<Command> Commands() const {
        std::lock_guard lock(mutex_);
        return commands_;
    }

  private:
    void Note(Clock::time_point Command::*when) {
        const auto now = Clock::now();
        std::lock_guard lock(mutex_);
        if (!commands_.empty() && commands_.back().*when == Clock::time_point{}) {
            commands_.back().*when = now;
        }
    }

    TcpTransport& inner_;
    mutable std::mutex mutex_;
    std::vector<Command> commands_;
};

}  // namespace dialvane::bench
