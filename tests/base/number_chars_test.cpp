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

}  // namespace
}  // namespace vornetica
