#pragma once

#include <cstdint>
#include <random>

namespace vornetica {

// The program's one uniform generator. It is never seeded, so every program start
// draws the same sequence and a second run in the same program continues it.
class RandomSource {
  public:
    // The next value in [0, 1) with 24 significant bits, as a float.
    float next() {
        const std::uint32_t x = static_cast<std::uint32_t>(engine_());
        return static_cast<float>(x >> 8) * (1.0f / 16777216.0f);
    }

  private:
    std::mt19937 engine_;
};

}  // namespace vornetica
