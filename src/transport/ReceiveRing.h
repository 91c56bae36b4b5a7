#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace dialvane {

// The buffer between the socket and the receive cycle. One slot always stays empty so that
// "read position equals write position" means empty: at most 4095 bytes are held. A chunk that
// does not fit is dropped whole, never in part, so an answer is either complete or visibly
// missing (its wait then ends by timeout or as malformed).
class ReceiveRing {
  public:
    static constexpr std::size_t kSize = 4096;

    std::size_t Exist() const { return (wp_ + kSize - rp_) % kSize; }
    std::size_t Free() const { return kSize - Exist(); }
    std::size_t ReadPosition() const { return rp_; }
    std::size_t WritePosition() const { return wp_; }

    void Reset() { rp_ = wp_ = 0; }
    // Positions as found, for tests of the wrap-around; both are taken modulo kSize.
    void SetPositions(std::size_t rp, std::size_t wp);

    // Stores the chunk when it is smaller than the free space; false when it was dropped.
    bool Push(const std::uint8_t* bytes, std::size_t count);

    // Takes `count` bytes, or everything held when `count` is 0. Taking more than is held
    // takes nothing and returns 0.
    std::size_t Take(std::uint8_t* out, std::size_t count);

  private:
    std::array<std::uint8_t, kSize> bytes_{};
    std::size_t rp_ = 0;
    std::size_t wp_ = 0;
};

}  // namespace dialvane
