#include "base/number_chars.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>

namespace vornetica {

namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr int kDigits = 15;
constexpr std::uint64_t kSmallestDigits = 100'000'000'000'000;  // 10^14
constexpr std::uint64_t kBeyondDigits = 1'000'000'000'000'000;  // 10^15
// 10^22 times a 53-bit significand still fits in 128 bits.
constexpr int kLargestScale = 22;

// The 15 significant digits of a value, correctly rounded, and the decimal
// exponent of the first: value ~ digits * 10^(exponent - 14).
struct Digits {
    std::uint64_t digits = 0;
    int exponent = 0;
};

// The exact digits by integer arithmetic, for normal values from about 1e-8 to
// below 1e15, where recall and the data files spend their time. Elsewhere it
// declines and the library's general conversion writes the number.
bool roundedDigits(double magnitude, Digits& out) {
    static constexpr auto kPowers = [] {
        std::array<Wide, kLargestScale + 1> powers{};
        powers[0] = 1;
        for (std::size_t k = 1; k < powers.size(); ++k) {
            powers[k] = powers[k - 1] * 10;
        }
        return powers;
    }();
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>(bits >> 52);
    if (biased == 0 || biased == 0x7ff) {
        return false;
    }
    const std::uint64_t significand =
        (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int shift = 1075 - biased;  // magnitude = significand / 2^shift
    // floor(b * log10(2)) for the binary exponent b is the decimal exponent or one less.
    int exponent = ((biased - 1023) * 78913) >> 18;
    for (int attempt = 0; attempt < 2; ++attempt, ++exponent) {
        const int scale = kDigits - 1 - exponent;
        if (scale < 0 || scale > kLargestScale || shift <= 0 || shift >= 128) {
            return false;
        }
        const Wide scaled = significand * kPowers[static_cast<std::size_t>(scale)];
        Wide whole = scaled >> shift;
        if (whole >= kBeyondDigits) {
            continue;
        }
        if (whole < kSmallestDigits) {
            return false;  // the estimate is never too high; a guard all the same
        }
        // Round half to even, as the general conversion does.
        const Wide rest = scaled & ((Wide{1} << shift) - 1);
        const Wide half = Wide{1} << (shift - 1);
        if (rest > half || (rest == half && (whole & 1) != 0)) {
            ++whole;
        }
        out.digits = static_cast<std::uint64_t>(whole);
        out.exponent = exponent;
        if (out.digits == kBeyondDigits) {
            out.digits = kSmallestDigits;
            ++out.exponent;
        }
        return true;
    }
    return false;
}

// Writes the `count` decimal digits of `number`, leading zeros included, two at a
// time: two short chains of 32-bit divisions instead of one long 64-bit one.
void writeDigitPairs(char* out, std::uint32_t number, int count) {
    static constexpr auto kPairs = [] {
        std::array<char, 200> pairs{};
        for (int i = 0; i < 100; ++i) {
            pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
            pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
        }
        return pairs;
    }();
    for (int at = count; at > 1; at -= 2) {
        const std::size_t pair = 2 * (number % 100);
        number /= 100;
        out[at - 2] = kPairs[pair];
        out[at - 1] = kPairs[pair + 1];
    }
    if (count % 2 != 0) {
        out[0] = static_cast<char>('0' + number);
    }
}

char* writeExponent(char* out, int exponent) {
    *out++ = 'E';
    *out++ = exponent < 0 ? '-' : '+';
    const int size = exponent < 0 ? -exponent : exponent;
    if (size >= 100) {
        *out++ = static_cast<char>('0' + size / 100);
    }
    *out++ = static_cast<char>('0' + size / 10 % 10);
    *out++ = static_cast<char>('0' + size % 10);
    return out;
}

// "%.15G" of the digits: trailing zeros and a bare point dropped, the plain form
// for exponents from -4 to 14.
char* writeDigits(char* out, const Digits& value) {
    char text[kDigits];
    const auto high = static_cast<std::uint32_t>(value.digits / 100'000'000);
    const auto low = static_cast<std::uint32_t>(value.digits % 100'000'000);
    writeDigitPairs(text, high, 7);
    writeDigitPairs(text + 7, low, 8);
    int count = kDigits;
    while (count > 1 && text[count - 1] == '0') {
        --count;
    }
    const int exponent = value.exponent;
    if (exponent < -4 || exponent >= kDigits) {
        *out++ = text[0];
        if (count > 1) {
            *out++ = '.';
            out = std::copy(text + 1, text + count, out);
        }
        return writeExponent(out, exponent);
    }
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -exponent - 1, '0');
        return std::copy(text, text + count, out);
    }
    const int whole = exponent + 1;
    if (count <= whole) {
        out = std::copy(text, text + count, out);
        return std::fill_n(out, whole - count, '0');
    }
    out = std::copy(text, text + whole, out);
    *out++ = '.';
    return std::copy(text + whole, text + count, out);
}

}  // namespace

char* writeFileNumber(char* out, double value) {
    Digits digits;
    if (roundedDigits(value < 0 ? -value : value, digits)) {
        if (value < 0) {
            *out++ = '-';
        }
        return writeDigits(out, digits);
    }
    // The general form with 15 digits is "%.15g" by definition; "%.15G" differs
    // only in writing its letters (exponent, NAN, INF) in capitals.
    char* const end =
        std::to_chars(out, out + kFileNumberChars, value, std::chars_format::general, 15).ptr;
    for (char* at = out; at != end; ++at) {
        if (*at >= 'a' && *at <= 'z') {
            *at = static_cast<char>(*at - 'a' + 'A');
        }
    }
    return end;
}

void appendFileNumber(std::string& text, double value) {
    char buffer[kFileNumberChars];
    text.append(buffer, writeFileNumber(buffer, value));
}

}  // namespace vornetica
