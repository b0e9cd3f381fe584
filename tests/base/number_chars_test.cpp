#include "base/number_chars.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "base/number_text.h"

namespace vornetica {
namespace {

// The fast form must be the file form to the character, or recall output read
// back by another program would differ from the record files.
TEST(WriteFileNumber, IsTheFileFormOnPowersOfTenAndSpecialValues) {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.5,
                                  -0.25,
                                  10,
                                  1e-5,
                                  1.23456789012346e15,
                                  0.0001,
                                  0.00001,
                                  999999999999999.0,
                                  1e15,
                                  32767,
                                  -32768,
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::denorm_min()};
    for (int exponent = -323; exponent <= 308; ++exponent) {
        values.push_back(std::pow(10.0, exponent));
        values.push_back(-5.5 * std::pow(10.0, exponent));
    }
    for (const double value : values) {
        std::string text;
        appendFileNumber(text, value);
        EXPECT_EQ(text, fileNumberText(value)) << fileNumberText(value);
    }
}

TEST(WriteFileNumber, IsTheFileFormOnRandomBitPatterns) {
    std::mt19937_64 bits(4242);
    std::string text = "x";
    for (int i = 0; i < 100000; ++i) {
        const double value = std::bit_cast<double>(bits());
        text.resize(1);
        appendFileNumber(text, value);
        // Appends after what the text held.
        ASSERT_EQ(text.front(), 'x');
        ASSERT_EQ(text.substr(1), fileNumberText(value)) << i;
    }
}

// Values from 1e-9 to 1e16 take the integer-arithmetic path: every rounding it
// does (ties to even, a carry into a new decade, the neighbours of a power of
// ten) must match the general conversion.
TEST(WriteFileNumber, IsTheFileFormWhereItRoundsByItself) {
    std::mt19937_64 random(77);
    std::uniform_real_distribution<double> order(-9.0, 16.0);
    std::vector<double> values;
    for (int i = 0; i < 200000; ++i) {
        values.push_back(std::pow(10.0, order(random)));
        values.push_back(std::generate_canonical<double, 53>(random));
    }
    for (double whole = 1e14; whole < 1e14 + 200; whole += 1) {
        values.push_back(whole + 0.5);  // a tie at the sixteenth digit
        values.push_back(whole * 10 + 5);
    }
    for (int exponent = -9; exponent <= 16; ++exponent) {
        const double power = std::pow(10.0, exponent);
        for (double near = power, below = power, n = 0; n < 20; ++n) {
            near = std::nextafter(near, 1e300);
            below = std::nextafter(below, 0.0);
            values.insert(values.end(),
                          {near, below, 0.9999999999999995 * power, 9.999999999999995 * power});
        }
    }
    for (const double value : values) {
        for (const double signed_ : {value, -value}) {
            std::string text;
            appendFileNumber(text, signed_);
            ASSERT_EQ(text, fileNumberText(signed_)) << fileNumberText(signed_);
        }
    }
}

}  // namespace
}  // namespace vornetica
