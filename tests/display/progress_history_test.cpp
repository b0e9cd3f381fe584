#include "display/progress_history.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>

namespace vornetica {
namespace {

EpochReport reportAt(int index) {
    EpochReport report;
    report.index = index;
    report.largestError = 1.0 / (index + 1);
    report.meanSquaredError = 0.5 / (index + 1);
    return report;
}

std::vector<int> indicesOf(const std::vector<EpochReport>& points) {
    std::vector<int> indices;
    for (const EpochReport& point : points) {
        indices.push_back(point.index);
    }
    return indices;
}

TEST(ProgressHistory, KeepsEveryReportUntilFull) {
    ProgressHistory history(16);
    for (int index = 0; index < 10; ++index) {
        history.add(reportAt(index));
    }
    EXPECT_EQ(indicesOf(history.points()), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(history.stride(), 1u);
    EXPECT_EQ(history.points().back().largestError, 0.1);
}

TEST(ProgressHistory, ThinsToEvenlySpacedPointsAndAlwaysEndsWithTheNewest) {
    ProgressHistory history(8);
    for (int index = 0; index < 8; ++index) {
        history.add(reportAt(index));
    }
    // Full at the eighth: every other point goes and the stride doubles.
    EXPECT_EQ(history.stride(), 2u);
    EXPECT_EQ(indicesOf(history.points()), (std::vector<int>{0, 2, 4, 6, 7}));

    history.add(reportAt(8));
    history.add(reportAt(9));
    EXPECT_EQ(indicesOf(history.points()), (std::vector<int>{0, 2, 4, 6, 8, 9}));
}

TEST(ProgressHistory, ALongRunStaysWithinTheBound) {
    ProgressHistory history(64);
    const int total = 100000;
    for (int index = 0; index < total; ++index) {
        history.add(reportAt(index));
    }
    const std::vector<int> indices = indicesOf(history.points());
    ASSERT_GE(indices.size(), 32u);
    EXPECT_LE(indices.size(), 65u);
    EXPECT_EQ(indices.front(), 0);
    EXPECT_EQ(indices.back(), total - 1);
    EXPECT_EQ(history.received(), static_cast<std::size_t>(total));
    const int stride = static_cast<int>(history.stride());
    for (std::size_t at = 1; at + 1 < indices.size(); ++at) {
        EXPECT_EQ(indices[at] - indices[at - 1], stride) << at;
    }
}

TEST(ProgressHistory, ClearForgetsTheRunAndTheStride) {
    ProgressHistory history(4);
    for (int index = 0; index < 20; ++index) {
        history.add(reportAt(index));
    }
    history.clear();
    EXPECT_TRUE(history.empty());
    EXPECT_TRUE(history.points().empty());
    history.add(reportAt(0));
    history.add(reportAt(1));
    EXPECT_EQ(history.stride(), 1u);
    EXPECT_EQ(indicesOf(history.points()), (std::vector<int>{0, 1}));
}

TEST(ProgressHistory, LogarithmicAxisOnlyForPositiveValuesSpanningDecades) {
    EXPECT_TRUE(wantsLogarithmicAxis({0.5, 0.0001, 0.02}));
    EXPECT_TRUE(wantsLogarithmicAxis({1.0, 100.0}));
    EXPECT_FALSE(wantsLogarithmicAxis({1.0, 99.0}));
    EXPECT_FALSE(wantsLogarithmicAxis({0.5, 0.0, 0.0001}));
    EXPECT_FALSE(wantsLogarithmicAxis({-1.0, 0.001, 10.0}));
    EXPECT_FALSE(wantsLogarithmicAxis({}));
    const std::optional<ValueRange> range = rangeOf({0.3, -2.0, 7.0});
    ASSERT_TRUE(range.has_value());
    EXPECT_EQ(range->low, -2.0);
    EXPECT_EQ(range->high, 7.0);
}

TEST(ProgressHistory, LinearScaleHasRoundLimitsThatStayPutAsTheValuesMove) {
    // .62 and a little room: ticks .2 apart, from zero to .8.
    const LinearScale scale = roundLinearScale({0.1, 0.62});
    EXPECT_EQ(scale.low, 0.0);
    EXPECT_DOUBLE_EQ(scale.high, 0.8);
    EXPECT_EQ(scale.intervals, 4);
    const LinearScale later = roundLinearScale({0.05, 0.7});
    EXPECT_EQ(later.low, scale.low);
    EXPECT_EQ(later.high, scale.high);
    EXPECT_EQ(later.intervals, scale.intervals);

    // A threshold below zero: ticks .5 apart from -1 to 1.
    const LinearScale negative = roundLinearScale({-1.0, 0.6});
    EXPECT_EQ(negative.low, -1.0);
    EXPECT_EQ(negative.high, 1.0);
    EXPECT_EQ(negative.intervals, 4);

    // Nothing but zeros still gets an axis.
    const LinearScale zeros = roundLinearScale({0.0, 0.0});
    EXPECT_EQ(zeros.low, 0.0);
    EXPECT_EQ(zeros.high, 1.25);
    EXPECT_EQ(zeros.intervals, 5);
}

TEST(ProgressHistory, LinearScaleOfValuesNearTheLargestDoubleStaysFinite) {
    for (const ValueRange range :
         {ValueRange{0.0, 1.7e308}, ValueRange{-1.7e308, 1.7e308}, ValueRange{-1e308, 0.0}}) {
        const LinearScale scale = roundLinearScale(range);
        EXPECT_TRUE(std::isfinite(scale.low) && std::isfinite(scale.high));
        EXPECT_LE(scale.low, std::min(range.low, 0.0));
        EXPECT_GE(scale.high, range.high);
        EXPECT_GT(scale.high, scale.low);
        EXPECT_GT(scale.intervals, 0);
    }
}

}  // namespace
}  // namespace vornetica
