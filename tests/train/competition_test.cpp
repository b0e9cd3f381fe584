#include "train/competition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/random_source.h"

namespace vornetica {
namespace {

// The competition as written: every root taken, a strictly smaller one wins.
std::size_t byDistance(const std::vector<double>& squared) {
    std::size_t w = 0;
    for (std::size_t j = 1; j < squared.size(); ++j)
        if (std::sqrt(squared[j]) < std::sqrt(squared[w]))
            w = j;
    return w;
}

TEST(Competition, LowestIndexWinsAmongEqualDistances) {
    EXPECT_EQ(closestUnit(std::vector<double>{0.5}), 0u);
    EXPECT_EQ(closestUnit(std::vector<double>{3.0, 2.0, 2.0, 5.0}), 1u);
    EXPECT_EQ(closestUnit(std::vector<double>{0.0, 0.0}), 0u);
    EXPECT_EQ(closestUnit(std::vector<double>{4e-320, 0.0}), 1u);
}

// A larger squared sum whose root rounds to the same distance ties with the
// smallest, and the lower index then wins.
TEST(Competition, SumsThatRoundToTheSameRootTie) {
    int ties = 0;
    RandomSource source;
    for (int trial = 0; trial < 2000; ++trial) {
        const double small = 0.01 + 3.0 * source.next();
        const double larger = std::nextafter(small, 10.0);
        const std::vector<double> squared{5.0, larger, small};
        EXPECT_EQ(closestUnit(squared), byDistance(squared));
        if (std::sqrt(larger) == std::sqrt(small)) {
            ++ties;
            EXPECT_EQ(closestUnit(squared), 1u);
        }
    }
    EXPECT_GT(ties, 0);
}

TEST(Competition, NotANumberFollowsTheRuleAsWritten) {
    for (const auto& squared :
         {std::vector<double>{std::nan(""), 1.0}, std::vector<double>{1.0, std::nan(""), 0.5},
          std::vector<double>{2.0, 1.0, std::nan("")}})
        EXPECT_EQ(closestUnit(squared), byDistance(squared));
}

TEST(Competition, AgreesWithEveryRootTakenOnRandomSums) {
    RandomSource source;
    for (int trial = 0; trial < 500; ++trial) {
        std::vector<double> squared(1 + trial % 40);
        for (double& s : squared)
            s = std::floor(source.next() * 8.0) / 4.0;
        EXPECT_EQ(closestUnit(squared), byDistance(squared));
    }
}

}  // namespace
}  // namespace vornetica
