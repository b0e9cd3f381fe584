#pragma once

#include <string>

namespace vornetica {

// Room enough for any number in the file form: sign, 15 digits, point, "E+308".
inline constexpr int kFileNumberChars = 32;

// Writes `value` in the file form of fileNumberText ("%.15G" without the locale)
// at `out` and returns the end. For output of millions of values: no allocation.
char* writeFileNumber(char* out, double value);

// Appends the file form of `value` to `text`.
void appendFileNumber(std::string& text, double value);

}  // namespace vornetica
