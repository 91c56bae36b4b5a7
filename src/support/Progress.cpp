#include "support/Progress.h"

#include <algorithm>
#include <array>
#include <span>

namespace dialvane {
namespace {

constexpr std::array<uint8_t, 10> kReadWeights = {1, 1, 1, 1, 60, 20, 1, 1, 1, 1};
constexpr std::array<uint8_t, 13> kWriteWeights = {1, 1, 1, 1, 1, 1, 1, 30, 10, 1, 1, 1, 1};

std::span<const uint8_t> Weights(int direction) {
    if (direction == 0) {
        return kReadWeights;
    }
    if (direction == 1) {
        return kWriteWeights;
    }
    return {};
}

long long SumBefore(std::span<const uint8_t> weights, size_t step) {
    long long sum = 0;
    for (size_t i = 0; i < step && i < weights.size(); ++i) {
        sum += weights[i];
    }
    return sum;
}

}  // namespace

void SequenceBar::Apply(char kind, int step, long long done, long long total) {
    std::span<const uint8_t> weights = Weights(direction_);
    if (weights.empty()) {
        return;
    }
    if (kind == 'I') {
        maximum_ = SumBefore(weights, weights.size()) * 1000;
        position_ = 0;
        return;
    }
    if (step < 0) {
        return;
    }
    auto index = static_cast<size_t>(step);
    if (index >= weights.size()) {
        // A verifying write runs more exchanges than the table has steps: the bar stays full.
        position_ = maximum_;
        return;
    }
    long long position;
    if (weights[index] == 1) {
        position = SumBefore(weights, index + 1) * 1000;
    } else {
        total = std::max(total, 1LL);
        done = std::clamp(done, 0LL, total);
        position = SumBefore(weights, index) * 1000 + weights[index] * 1000 * done / total;
    }
    position_ = std::min(position, maximum_);
}

}  // namespace dialvane
