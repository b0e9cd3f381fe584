#include "display/pattern_layout.h"

#include <gtest/gtest.h>

namespace vornetica {
namespace {

TEST(PatternLayout, PerfectSquaresAreDrawnAsSquaresOtherSizesAsOneRow) {
    const struct {
        std::size_t size;
        int rows;
        int columns;
    } cases[] = {{16, 4, 4}, {64, 8, 8}, {9, 3, 3}, {5, 1, 5}, {2, 1, 2}, {1, 1, 1}, {0, 1, 0}};
    for (const auto& each : cases) {
        const PatternLayout layout = patternLayout(each.size);
        EXPECT_EQ(layout.rows, each.rows) << each.size;
        EXPECT_EQ(layout.columns, each.columns) << each.size;
    }
}

TEST(PatternLayout, CountsDifferingElements) {
    EXPECT_EQ(differingElements({1, -1, 1, 1}, {1, -1, 1, 1}), 0);
    EXPECT_EQ(differingElements({1, -1, 1, 1}, {-1, -1, 1, -1}), 2);
    EXPECT_EQ(differingElements({.5, .25}, {1, .25}), 1);
    EXPECT_EQ(differingElements({1, 1}, {1, 1, -1}), 1);
}

}  // namespace
}  // namespace vornetica
