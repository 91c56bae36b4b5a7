#include "protocol/ReceiveSlots.h"

#include <algorithm>
#include <iterator>

namespace dialvane {

ReceiveSlots::Slot* ReceiveSlots::Find(std::uint8_t jobType, std::uint8_t mid) {
    const auto slot = std::find_if(slots_.begin(), slots_.end(), [&](const Slot& s) {
        return s.used && s.record.JobType() == jobType && s.record.mid == mid;
    });
    return slot == slots_.end() ? nullptr : &*slot;
}

std::optional<int> ReceiveSlots::File(FrameRecord frame) {
    std::lock_guard lock(mutex_);
    const std::uint8_t position = frame.Position();
    if (position == kFrameOnly || position == kFrameFirst) {
        for (int i = 0; i < kCount; ++i) {
            Slot& slot = slots_[i];
            if (!slot.used) {
                slot.used = true;
                slot.count = {};
                slot.count.Start(frame);
                slot.record = std::move(frame);
                return i;
            }
        }
        return std::nullopt;
    }
    Slot* slot = Find(frame.JobType(), frame.mid);
    if (slot == nullptr) {
        return std::nullopt;
    }
    slot->count.Add(frame);
    slot->record.params.insert(slot->record.params.end(),
                               std::make_move_iterator(frame.params.begin()),
                               std::make_move_iterator(frame.params.end()));
    return static_cast<int>(slot - slots_.data());
}

std::optional<MessageCount> ReceiveSlots::Count(std::uint8_t jobType, std::uint8_t mid) const {
    std::lock_guard lock(mutex_);
    for (const Slot& slot : slots_) {
        if (slot.used && slot.record.JobType() == jobType && slot.record.mid == mid) {
            return slot.count;
        }
    }
    return std::nullopt;
}

std::optional<FrameRecord> ReceiveSlots::Take(std::uint8_t jobType, std::uint8_t mid) {
    std::lock_guard lock(mutex_);
    Slot* slot = Find(jobType, mid);
    if (slot == nullptr) {
        return std::nullopt;
    }
    FrameRecord message = std::move(slot->record);
    message.fLen = static_cast<std::uint16_t>(std::min<std::uint32_t>(slot->count.cur, 0xFFFF));
    message.len = static_cast<std::uint16_t>(std::min<std::uint32_t>(slot->count.total, 0xFFFF));
    *slot = Slot{};
    return message;
}

void ReceiveSlots::Clear() {
    std::lock_guard lock(mutex_);
    slots_.fill(Slot{});
}

int ReceiveSlots::Used() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(
        std::count_if(slots_.begin(), slots_.end(), [](const Slot& slot) { return slot.used; }));
}

}  // namespace dialvane
