#include "transport/ReceiveRing.h"

#include <algorithm>
#include <cstring>

namespace dialvane {

void ReceiveRing::SetPositions(std::size_t rp, std::size_t wp) {
    rp_ = rp % kSize;
    wp_ = wp % kSize;
}

bool ReceiveRing::Push(const std::uint8_t* bytes, std::size_t count) {
    // A chunk exactly as large as the free space would make the ring look empty.
    if (count >= Free()) {
        return false;
    }
    const std::size_t first = std::min(count, kSize - wp_);
    std::memcpy(bytes_.data() + wp_, bytes, first);
    std::memcpy(bytes_.data(), bytes + first, count - first);
    wp_ = (wp_ + count) % kSize;
    return true;
}

std::size_t ReceiveRing::Take(std::uint8_t* out, std::size_t count) {
    const std::size_t exist = Exist();
    const std::size_t take = count == 0 ? exist : count;
    if (take > exist) {
        return 0;
    }
    const std::size_t first = std::min(take, kSize - rp_);
    std::memcpy(out, bytes_.data() + rp_, first);
    std::memcpy(out + first, bytes_.data(), take - first);
    rp_ = (rp_ + take) % kSize;
    return take;
}

}  // namespace dialvane
