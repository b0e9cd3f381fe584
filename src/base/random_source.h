#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vornetica {

// The program's one uniform generator. It is never seeded, so every program start
// draws the same sequence and a second run in the same program continues it.
//
// The sequence is that of the 32-bit Mersenne twister with its default seed
// (std::mt19937). Its state is kept here in 32-bit words, so that refilling it runs
// on the vector units: the standard engine keeps 64-bit words and refills them one
// by one, which made drawing a large net's initial weights a visible part of a
// short run.
class RandomSource {
  public:
    RandomSource();

    // The next value in [0, 1) with 24 significant bits, as a float.
    float next() { return static_cast<float>(nextWord() >> 8) * (1.0f / 16777216.0f); }

    // The next 32-bit output of the generator.
    std::uint32_t nextWord() {
        if (index_ == kWords) {
            refill();
        }
        std::uint32_t y = state_[index_++];
        y ^= y >> 11;
        y ^= (y << 7) & 0x9d2c5680u;
        y ^= (y << 15) & 0xefc60000u;
        y ^= y >> 18;
        return y;
    }

  private:
    static constexpr std::size_t kWords = 624;

    void refill();

    std::array<std::uint32_t, kWords> state_;
    std::size_t index_ = kWords;
};

}  // namespace vornetica
