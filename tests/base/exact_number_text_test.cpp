#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "base/number_text.h"

namespace vornetica {
namespace {

std::uint64_t bits(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

TEST(ExactNumberText, NumbersAreTheShortestTextThatReadsBack) {
    std::mt19937_64 engine(3);
    for (int n = 0; n < 2000; ++n) {
        const double value = std::bit_cast<double>(engine());
        if (!std::isfinite(value)) {
            continue;
        }
        const std::string text = exactNumberText(value);
        double back = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        ASSERT_EQ(bits(back), bits(value)) << text;
        ASSERT_EQ(text.find('e'), std::string::npos) << text;
    }
    EXPECT_EQ(exactNumberText(0.1), "0.1");
    EXPECT_EQ(exactNumberText(-2.5e-7), "-2.5E-07");
    EXPECT_EQ(exactNumberText(0.1 + 0.2), "0.30000000000000004");
}

TEST(ExactNumberText, ReadsBackThroughTheFileReader) {
    for (const double value : {0.1, -2.5e-7, 1e300, 5e-324, -0.0, 123456789012345680.0}) {
        double back = 1.0;
        ASSERT_TRUE(parseFileNumber(exactNumberText(value), back)) << exactNumberText(value);
        EXPECT_EQ(bits(back), bits(value)) << exactNumberText(value);
    }
    EXPECT_EQ(exactNumberText(std::nan("")), "NaN");
    EXPECT_EQ(exactNumberText(-INFINITY), "-Inf");
}

}  // namespace
}  // namespace vornetica
