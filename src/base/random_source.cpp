#include "base/random_source.h"

namespace vornetica {
namespace {

constexpr std::size_t kMiddle = 397;
constexpr std::uint32_t kUpper = 0x80000000u;
constexpr std::uint32_t kLower = 0x7fffffffu;

// The twist of one word from its own upper bit, the next word's lower bits and the
// word kMiddle places on.
std::uint32_t twisted(std::uint32_t word, std::uint32_t next, std::uint32_t middle) {
    const std::uint32_t y = (word & kUpper) | (next & kLower);
    return middle ^ (y >> 1) ^ ((0u - (y & 1u)) & 0x9908b0dfu);
}

}  // namespace

RandomSource::RandomSource() {
    state_[0] = 5489u;  // the generator's default seed
    for (std::size_t i = 1; i < kWords; ++i) {
        const std::uint32_t previous = state_[i - 1];
        state_[i] = 1812433253u * (previous ^ (previous >> 30)) + static_cast<std::uint32_t>(i);
    }
}

// Three loops, so that none reads a word it wrote in the same loop within fewer
// than kWords - kMiddle places, and the compiler may run each on the vector units.
void RandomSource::refill() {
    std::uint32_t* s = state_.data();
    std::size_t i = 0;
    for (; i < kWords - kMiddle; ++i) {
        s[i] = twisted(s[i], s[i + 1], s[i + kMiddle]);
    }
    for (; i < kWords - 1; ++i) {
        s[i] = twisted(s[i], s[i + 1], s[i + kMiddle - kWords]);
    }
    s[kWords - 1] = twisted(s[kWords - 1], s[0], s[kMiddle - 1]);
    index_ = 0;
}

}  // namespace vornetica
