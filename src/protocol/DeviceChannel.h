#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "support/Messages.h"

namespace dialvane {

// Result of IDeviceChannel::Receive when the device-channel library saw nothing arrive.
inline constexpr int kChannelNoData = -9;

// Why opening a channel failed, for the user.
struct ChannelOpenFailure {
    Msg message = Msg::CommCheckCables;
    bool timedOut = false;   // the connect attempt ran out of time
    std::string cause = {};  // what went wrong, added in parentheses (empty: nothing to add)
    bool stopped = false;    // a stop request ended the attempt: no failure to report
};

// One byte channel to the device: the network connection or the device-channel library. The
// exchange engine sends through it on the worker thread; the receive thread polls it.
class IDeviceChannel {
  public:
    virtual ~IDeviceChannel() = default;

    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool Connected() const = 0;
    virtual bool IsNetwork() const = 0;

    // Sends every byte; returns how many went out (0 on failure).
    virtual std::size_t Send(std::span<const std::uint8_t> bytes) = 0;
    // Takes up to `capacity` buffered bytes: the count (0 when none), or a negative error
    // (kChannelNoData when the library reports that nothing arrived).
    virtual int Receive(std::uint8_t* buffer, std::size_t capacity) = 0;
    // Waits at most `timeoutMs` for bytes from the device and buffers what arrives. Returns at
    // once after Wake() so that a wait that starts listening sees buffered bytes without delay.
    virtual void Poll(int timeoutMs) = 0;
    virtual void Wake() = 0;
    // Whether Poll has buffered bytes nobody took yet (when unsure: true).
    virtual bool HoldsBytes() const { return true; }

    // What made the last Open fail; nullopt when it did not fail.
    virtual std::optional<ChannelOpenFailure> OpenFailure() const = 0;
    // The device side dropped the connection (as opposed to Close()).
    virtual bool ForcedDisconnect() const = 0;
    // Whether the READ_DELAY setting holds back receiving on this channel.
    virtual bool DelaysReceive() const { return false; }
    // Ends a pending receive after a timeout (the library needs this; a socket does not).
    virtual void CancelReceive() {}
};

}  // namespace dialvane
