#pragma once

#include <cstdint>

namespace vornetica {

// Rounds to the nearest integer, a half to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2), without relying on the floating-point environment's rounding mode.
double roundHalfToEven(double value);

// roundHalfToEven into 16 bits; throws UserError naming the value when the result
// lies outside -32768 to 32767 or the value is not finite.
std::int16_t toInt16RoundingHalfEven(double value);

}  // namespace vornetica
