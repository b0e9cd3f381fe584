#include "display/colour_scale.h"

#include <algorithm>
#include <cmath>

namespace vornetica {

namespace {

std::uint8_t mix(std::uint8_t from, std::uint8_t to, double t) {
    return static_cast<std::uint8_t>(std::lround(from + (to - from) * t));
}

Rgb mix(const Rgb& from, const Rgb& to, double t) {
    return {mix(from.red, to.red, t), mix(from.green, to.green, t), mix(from.blue, to.blue, t)};
}

}  // namespace

ColourScale::ColourScale(double low, double high) : low_(low), high_(high) {
    if (!(low_ < high_)) {
        const double centre = std::isfinite(low_) ? low_ : 0.0;
        low_ = centre - 1.0;
        high_ = centre + 1.0;
    }
}

ColourScale ColourScale::aroundZero(std::span<const double> values) {
    double largest = 0.0;
    for (const double value : values) {
        if (std::isfinite(value)) {
            largest = std::max(largest, std::abs(value));
        }
    }
    return largest > 0.0 ? ColourScale(-largest, largest) : ColourScale(-1.0, 1.0);
}

ColourScale ColourScale::spanning(std::span<const double> values) {
    double low = INFINITY;
    double high = -INFINITY;
    for (const double value : values) {
        if (std::isfinite(value)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    if (low > high) {
        return ColourScale(0.0, 0.0);
    }
    return ColourScale(low, high);
}

Rgb ColourScale::colour(double value) const {
    if (std::isnan(value)) {
        return NotANumber;
    }
    // Halves of the range measured on their own, so that a huge range keeps its
    // middle exactly white.
    const double middle = low_ / 2.0 + high_ / 2.0;
    if (value <= middle) {
        const double t = std::clamp((middle - value) / (middle - low_), 0.0, 1.0);
        return mix(Middle, Low, t);
    }
    const double t = std::clamp((value - middle) / (high_ - middle), 0.0, 1.0);
    return mix(Middle, High, t);
}

}  // namespace vornetica
