#include "base/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace vornetica {

namespace {

constexpr int kSignificantDigits = 15;

// A finite value rounded to 15 significant digits: its sign, its digits with
// trailing zeros dropped (at least one digit) and the power of ten of the first.
struct RoundedDecimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

RoundedDecimal roundToSignificantDigits(double value) {
    // Scientific form with 14 digits after the point, "d.ddddddddddddddde+XX",
    // rounds exactly as printf does, and to_chars never looks at the locale.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::scientific, kSignificantDigits - 1);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));

    RoundedDecimal decimal;
    std::size_t pos = 0;
    if (text[pos] == '-') {
        decimal.negative = true;
        ++pos;
    }
    const std::size_t ePos = text.find('e');
    for (std::size_t i = pos; i < ePos; ++i) {
        if (text[i] != '.') {
            decimal.digits.push_back(text[i]);
        }
    }
    std::from_chars(text.data() + ePos + (text[ePos + 1] == '+' ? 2 : 1), text.data() + text.size(),
                    decimal.exponent);
    while (decimal.digits.size() > 1 && decimal.digits.back() == '0') {
        decimal.digits.pop_back();
    }
    return decimal;
}

// "E+05", "E-16", "E+308": a sign and at least two digits.
std::string exponentText(int exponent) {
    std::string text = exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) {
        text.push_back('0');
    }
    text += std::to_string(magnitude);
    return text;
}

// d.dddE+XX from the rounded digits.
std::string scientificText(const RoundedDecimal& decimal) {
    std::string text(1, decimal.digits[0]);
    if (decimal.digits.size() > 1) {
        text.push_back('.');
        text.append(decimal.digits, 1);
    }
    return text + exponentText(decimal.exponent);
}

// Plain digits; `leadingZero` decides whether a value below 1 gets "0" before
// the point (the files' form) or not (the screens' form).
std::string plainText(const RoundedDecimal& decimal, bool leadingZero) {
    const std::string& digits = decimal.digits;
    if (decimal.exponent < 0) {
        std::string text = leadingZero ? "0." : ".";
        text.append(static_cast<std::size_t>(-decimal.exponent - 1), '0');
        return text + digits;
    }
    const auto integerDigits = static_cast<std::size_t>(decimal.exponent) + 1;
    if (digits.size() <= integerDigits) {
        return digits + std::string(integerDigits - digits.size(), '0');
    }
    return digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The syntax the files use: [sign] digits [. digits] | [sign] . digits, then an
// optional exponent. Sets `order` to the power of ten of the first significant
// digit (clamped), which tells an overflow from an underflow.
bool scanNumberSyntax(std::string_view text, long& order) {
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        ++pos;
    }
    long integerDigits = 0;
    long leadingZeros = 0;
    bool seenSignificant = false;
    bool anyDigit = false;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        anyDigit = true;
        if (text[pos] != '0') {
            seenSignificant = true;
        }
        if (seenSignificant) {
            ++integerDigits;
        }
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        for (; pos < text.size() && isDigit(text[pos]); ++pos) {
            anyDigit = true;
            if (!seenSignificant) {
                if (text[pos] != '0') {
                    seenSignificant = true;
                } else {
                    ++leadingZeros;
                }
            }
        }
    }
    if (!anyDigit) {
        return false;
    }
    long exponent = 0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        bool negative = false;
        if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
            negative = text[pos] == '-';
            ++pos;
        }
        if (pos == text.size() || !isDigit(text[pos])) {
            return false;
        }
        for (; pos < text.size() && isDigit(text[pos]); ++pos) {
            if (exponent < 100000) {
                exponent = exponent * 10 + (text[pos] - '0');
            }
        }
        if (negative) {
            exponent = -exponent;
        }
    }
    if (pos != text.size()) {
        return false;
    }
    order = integerDigits > 0 ? integerDigits - 1 + exponent : -leadingZeros - 1 + exponent;
    return true;
}

// Whether a text that from_chars found beyond the largest double still rounds, at
// the files' 15 significant digits, to the largest double's own text
// 1.79769313486232E+308: the writer gives that text for every value from
// 1.797693134862315E+308 up, so it must read back. The significant digits, first
// zeros dropped, are compared with the halfway point 1797693134862325 (a tie
// rounds to the even ...232).
bool roundsToLargestDouble(std::string_view magnitudeText) {
    long order = 0;
    if (!scanNumberSyntax(magnitudeText, order) || order != 308) {
        return false;
    }
    static constexpr std::string_view kHalfway = "1797693134862325";
    std::size_t matched = 0;
    for (const char c : magnitudeText) {
        if (c == 'e' || c == 'E') {
            break;
        }
        if (!isDigit(c) || (matched == 0 && c == '0')) {
            continue;
        }
        if (matched < kHalfway.size()) {
            if (c != kHalfway[matched]) {
                return c < kHalfway[matched];
            }
        } else if (c != '0') {
            return false;
        }
        ++matched;
    }
    return true;
}

// Keeps a text fit for a one-line message: at most 40 characters, and bytes that
// cannot be shown (a NUL, a control character) as "?".
std::string printableExcerpt(std::string_view text) {
    constexpr std::size_t kLimit = 40;
    std::string excerpt;
    for (std::size_t i = 0; i < text.size() && i < kLimit; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        excerpt.push_back(c < 0x20 || c == 0x7f ? '?' : text[i]);
    }
    if (text.size() > kLimit) {
        excerpt += "...";
    }
    return excerpt;
}

// A cut text without its exponent would read as another number (5.225 for
// 5.225E-91), so the digits give way to the exponent: the sign place, as many
// characters of the digits as leave room for the whole exponent (at least one
// digit, never a trailing point), then the exponent.
std::string cutKeepingExponent(const std::string& text, std::size_t exponentStart,
                               std::size_t width) {
    const std::string_view digits = std::string_view(text).substr(1, exponentStart - 1);
    const std::size_t exponentLength = text.size() - exponentStart;
    const std::size_t room = width > 1 + exponentLength ? width - 1 - exponentLength : 0;
    std::string shown = text[0] == '-' ? "-" : "";
    shown.append(digits.substr(0, std::max<std::size_t>(room, 1)));
    if (shown.back() == '.') {
        shown.pop_back();
    }
    return shown + text.substr(exponentStart);
}

}  // namespace

std::string numberText(double value) {
    if (std::isnan(value)) {
        return " NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Inf" : " Inf";
    }
    if (value == 0.0) {
        return " 0";
    }
    const RoundedDecimal decimal = roundToSignificantDigits(value);
    const std::string sign = decimal.negative ? "-" : " ";
    if (decimal.exponent >= -15 && decimal.exponent < 15) {
        return sign + plainText(decimal, false);
    }
    return sign + scientificText(decimal);
}

std::string cutNumberText(double value, int width) {
    std::string text = numberText(value);
    if (width < 0) {
        width = 0;
    }
    const std::size_t exponentStart = text.find('E');
    if (exponentStart != std::string::npos && static_cast<std::size_t>(width) < text.size()) {
        return cutKeepingExponent(text, exponentStart, static_cast<std::size_t>(width));
    }
    text.resize(std::min(text.size(), static_cast<std::size_t>(width)));
    const std::size_t firstShown = text.find_first_not_of(' ');
    return firstShown == std::string::npos ? std::string() : text.substr(firstShown);
}

std::string fileNumberText(double value) {
    if (std::isnan(value)) {
        return std::signbit(value) ? "-NAN" : "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    if (value == 0.0) {
        return std::signbit(value) ? "-0" : "0";
    }
    const RoundedDecimal decimal = roundToSignificantDigits(value);
    const std::string sign = decimal.negative ? "-" : "";
    // %G: plain form when the exponent X satisfies -4 <= X < precision.
    if (decimal.exponent >= -4 && decimal.exponent < kSignificantDigits) {
        return sign + plainText(decimal, true);
    }
    return sign + scientificText(decimal);
}

std::string fileIntegerText(std::int64_t value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

bool parseFileNumber(std::string_view text, double& value) {
    const bool negative = !text.empty() && text.front() == '-';
    std::string_view magnitudeText = text;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        magnitudeText.remove_prefix(1);
    }
    // from_chars alone would also take "inf", "nan" and a second sign.
    if (magnitudeText.empty() ||
        !(isDigit(magnitudeText.front()) || magnitudeText.front() == '.')) {
        return false;
    }
    const char* const end = magnitudeText.data() + magnitudeText.size();
    double magnitude = 0.0;
    const auto result = std::from_chars(magnitudeText.data(), end, magnitude);
    if (result.ec == std::errc::result_out_of_range) {
        long order = 0;
        if (roundsToLargestDouble(magnitudeText)) {
            magnitude = std::numeric_limits<double>::max();
        } else if (!scanNumberSyntax(text, order) || order > 0) {
            return false;  // not a number, or beyond the largest double
        } else {
            magnitude = 0.0;  // too small to tell from zero
        }
    } else if (result.ec != std::errc() || result.ptr != end || !std::isfinite(magnitude)) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

std::string quotedExcerpt(std::string_view text) {
    std::string quoted(1, '"');
    quoted += printableExcerpt(text);
    quoted.push_back('"');
    return quoted;
}

std::string badNumberText(std::string_view text) {
    long order = 0;
    const std::string quoted = quotedExcerpt(text);
    if (scanNumberSyntax(text, order) && order > 0) {
        return quoted + " is too large a number";
    }
    return quoted + " is not a number";
}

std::string exactNumberText(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0.0 ? "-Inf" : "Inf";
    }
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    std::string text(buffer.data(), end);
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    return text;
}

}  // namespace vornetica
