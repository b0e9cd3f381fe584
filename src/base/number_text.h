#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vornetica {

// How the screens show a number: a blank when the value is not negative (-0 counts
// as 0) and "-" when it is; rounded to 15 significant digits with trailing zeros
// and a trailing point dropped; plain digits without a 0 before the point when
// 1e-15 <= |x| < 1e15 (" .25", " .00001"), otherwise d.ddd form with "E", a sign
// and at least two exponent digits (" 1E+15", "-1.5E-16"). NaN shows " NaN",
// the infinities " Inf" and "-Inf". Never depends on the process locale.
std::string numberText(double value);

// The first `width` characters of numberText, leading blanks then removed; nothing
// is rounded (1/9 gives ".111" at 5 and ".1111" at 6). A cut that would drop the
// exponent keeps it whole instead and cuts the digits before it, still within
// `width` counting the sign place (5.225E-91 gives "5E-91" at 5 and 6,
// -1.5E-16 "-1E-16" at 6); at least one digit stays, even where that makes the
// text wider than `width` (1E+20 gives "1E+20" at 5).
std::string cutNumberText(double value, int width);

// The form numbers take in every file: what C's "%.15G" prints, without the
// locale ("0.5", "-0.25", "10", "1E-05", "1.23456789012346E+15").
std::string fileNumberText(double value);

// The shortest text that reads back to the same double, for values a reader checks
// exactly: "0.1", "0.30000000000000004", "-2.5E-07" (upper-case exponent, as the
// files have it), "NaN", "Inf", "-Inf".
std::string exactNumberText(double value);
std::string fileIntegerText(std::int64_t value);

// Reads one number as the data and network files write it ("-.5", "1E-05",
// "10"), ignoring the locale. The whole text must be the number. A text beyond
// the largest double that still rounds to its 15-digit text 1.79769313486232E+308
// reads as the largest double (and likewise negative), so every finite value
// written reads back; anything larger is refused.
bool parseFileNumber(std::string_view text, double& value);

// For messages about a text that parseFileNumber refused: the text in double
// quotes (cut to 40 characters, unprintable bytes as "?") followed by
// " is not a number" or, for a number beyond the range of a double,
// " is too large a number".
std::string badNumberText(std::string_view text);
// The text in double quotes, made fit for a one-line message as above.
std::string quotedExcerpt(std::string_view text);

}  // namespace vornetica
