#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>

#include "protocol/Frame.h"

namespace dialvane {

// The messages the receive thread is assembling from answer frames, one slot per message, until
// the worker takes them. Thread-safe.
class ReceiveSlots {
  public:
    static constexpr int kCount = 32;

    // Files one frame: a first (or only) frame takes a free slot, a later frame joins the slot of
    // its message. The slot's index, or nullopt when no slot is free or none holds the message.
    std::optional<int> File(FrameRecord frame);
    // How much of the message has arrived; nullopt when no slot holds it.
    std::optional<MessageCount> Count(std::uint8_t jobType, std::uint8_t mid) const;
    // Moves a message out of its slot, F_LEN set to everything received and LEN to the declared
    // total; nullopt when no slot holds it.
    std::optional<FrameRecord> Take(std::uint8_t jobType, std::uint8_t mid);
    void Clear();
    int Used() const;

  private:
    struct Slot {
        bool used = false;
        FrameRecord record;  // its parameters are those of every frame received so far
        MessageCount count;
    };

    // Caller holds mutex_.
    Slot* Find(std::uint8_t jobType, std::uint8_t mid);

    mutable std::mutex mutex_;
    std::array<Slot, kCount> slots_{};
};

}  // namespace dialvane
