#include "base/rounding.h"

#include <charconv>
#include <cmath>
#include <string>

#include "base/user_error.h"

namespace vornetica {

namespace {

std::string shortestText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

double roundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;  // exact: the fractional bits of value
    if (fraction > 0.5) {
        return below + 1.0;
    }
    if (fraction < 0.5) {
        return below;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::int16_t toInt16RoundingHalfEven(double value) {
    const double rounded = std::isfinite(value) ? roundHalfToEven(value) : value;
    if (!std::isfinite(value) || rounded < -32768.0 || rounded > 32767.0) {
        throw UserError("The value " + shortestText(value) +
                        " is outside the 16-bit range -32768 to 32767.");
    }
    return static_cast<std::int16_t>(rounded);
}

}  // namespace vornetica
