#pragma once

#include <cstdint>
#include <span>

namespace vornetica {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Rgb&) const = default;
};

// The colours of a map and its legend: `low` and below blue, `high` and above
// red, the middle white, in between mixed in a straight line. Blue to red through
// white reads the same in print and to most eyes that confuse red with green. A
// value that is not a number shows grey, which the scale never gives otherwise.
class ColourScale {
  public:
    static constexpr Rgb Low{33, 102, 172};
    static constexpr Rgb Middle{247, 247, 247};
    static constexpr Rgb High{178, 24, 43};
    static constexpr Rgb NotANumber{128, 128, 128};

    // An empty range (low == high) is widened around its value by one each way.
    ColourScale(double low, double high);
    // Symmetric about 0, to the largest magnitude of `values`, so that a weight of
    // 0 is white and a weight's sign is its hue.
    static ColourScale aroundZero(std::span<const double> values);
    // From the smallest to the largest finite value of `values`.
    static ColourScale spanning(std::span<const double> values);

    double low() const { return low_; }
    double high() const { return high_; }
    Rgb colour(double value) const;

  private:
    double low_;
    double high_;
};

}  // namespace vornetica
