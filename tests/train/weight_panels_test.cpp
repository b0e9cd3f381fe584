#include "train/weight_panels.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <numeric>
#include <vector>

namespace vornetica {
namespace {

struct Shape {
    std::size_t rows, cols, width;
};

// Where value [r][c] of the plain layout sits in the panels: its panel starts
// after the full panels before it, each rows x width, and the last panel is as
// wide as the columns left.
std::size_t panelPosition(const Shape& s, std::size_t r, std::size_t c) {
    const std::size_t panel = c / s.width;
    const std::size_t start = panel * s.width;
    const std::size_t width = std::min(s.width, s.cols - start);
    return s.rows * start + r * width + (c - start);
}

TEST(WeightPanels, ArrangesIntoPanelsAndBackInPlace) {
    for (const Shape s :
         {Shape{1, 70, 32}, Shape{5, 64, 32}, Shape{7, 100, 32}, Shape{120, 300, 32},
          Shape{3, 9, 2}, Shape{130, 256, 32}, Shape{40, 33, 32}}) {
        SCOPED_TRACE(testing::Message() << s.rows << " x " << s.cols << " in " << s.width);
        std::vector<double> plain(s.rows * s.cols);
        std::iota(plain.begin(), plain.end(), 1.0);
        std::vector<double> values = plain;

        arrangePanels(values.data(), s.rows, s.cols, s.width, true);
        for (std::size_t r = 0; r < s.rows; ++r) {
            for (std::size_t c = 0; c < s.cols; ++c) {
                ASSERT_EQ(plain[r * s.cols + c], values[panelPosition(s, r, c)])
                    << "[" << r << "][" << c << "]";
            }
        }
        arrangePanels(values.data(), s.rows, s.cols, s.width, false);
        EXPECT_EQ(plain, values);
    }
}

TEST(WeightPanels, OnePanelLeavesTheMatrixAlone) {
    std::vector<double> values(4 * 32);
    std::iota(values.begin(), values.end(), 0.0);
    const std::vector<double> plain = values;
    arrangePanels(values.data(), 4, 32, 32, true);
    EXPECT_EQ(plain, values);
    arrangePanels(values.data(), 4, 32, 0, true);
    EXPECT_EQ(plain, values);
}

TEST(WeightPanels, TransposesChunks) {
    // A 2 x 3 matrix of two-value chunks becomes 3 x 2.
    std::vector<double> values = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    transposeChunks(values.data(), 2, 3, 2);
    EXPECT_EQ((std::vector<double>{0, 1, 6, 7, 2, 3, 8, 9, 4, 5, 10, 11}), values);
}

}  // namespace
}  // namespace vornetica
