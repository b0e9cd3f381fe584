#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vornetica {

// Strict conversion of the texts typed on the parameter screens. Each throws
// UserError with a message naming the field (its label without the colon) when
// the text is not a number or its value does not fit.

// A 16-bit integer; a fraction is rounded to the nearest integer, halves to even
// (2.5 gives 2, 3.5 gives 4); outside -32768..32767 is refused.
std::int16_t parseIntegerField(std::string_view text, std::string_view field);
// A size: an integer field that must be 1 or more.
std::int16_t parseSizeField(std::string_view text, std::string_view field);
// A count or limit: an integer field that must be 0 or more.
std::int16_t parseCountField(std::string_view text, std::string_view field);
// A real number with "." as the decimal point, whatever the locale; must be finite.
double parseRealField(std::string_view text, std::string_view field);
// A real number that must not be zero (the scale factors).
double parseNonZeroRealField(std::string_view text, std::string_view field);
// A real number that must be above zero (the box limit of recall).
double parsePositiveRealField(std::string_view text, std::string_view field);

}  // namespace vornetica
