#include "base/random_source.h"

#include <gtest/gtest.h>

#include <random>

namespace vornetica {
namespace {

// Saved networks and every run's initial weights depend on the sequence, so it
// must stay the standard generator's, across several refills.
TEST(RandomSource, DrawsTheStandardTwisterSequence) {
    RandomSource source;
    std::mt19937 standard;
    for (int n = 0; n < 5000; ++n) {
        ASSERT_EQ(standard(), source.nextWord()) << "output " << n;
    }
}

TEST(RandomSource, TenThousandthOutputIsTheStandardsCheckValue) {
    RandomSource source;
    for (int n = 1; n < 10000; ++n) {
        source.nextWord();
    }
    EXPECT_EQ(4123659995u, source.nextWord());
}

TEST(RandomSource, DrawsTheTopTwentyFourBitsOfTheDefaultMersenneTwister) {
    RandomSource random;
    std::mt19937 reference;
    for (int n = 0; n < 1000; ++n) {
        const float expected = static_cast<float>(reference() >> 8) / 16777216.0f;
        const float r = random.next();
        ASSERT_EQ(r, expected);
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
    }
}

}  // namespace
}  // namespace vornetica
