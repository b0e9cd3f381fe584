#include "data/grid_cell.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vornetica {
namespace {

std::string typed(const std::u32string& keys) {
    std::string cell;
    for (const char32_t key : keys) {
        applyCellKey(cell, key);
    }
    return cell;
}

TEST(CellKeys, AppendDigitsMinusAndPointOnly) {
    EXPECT_EQ(typed(U"-1.5"), "-1.5");
    EXPECT_EQ(typed(U"1a,2 e+3\t"), "123");
    EXPECT_EQ(typed(U"1-2.3.4"), "1-2.3.4");  // nothing checks the text
    EXPECT_EQ(typed(U"5\u00e9\u20ac"), "5");  // letters beyond ASCII change nothing
}

TEST(CellKeys, BackspaceAndDeleteEmptyTheWholeCell) {
    EXPECT_EQ(typed(U"123\b"), "");
    EXPECT_EQ(typed(U"123\x7f"
                    U"4"),
              "4");
    std::string cell = "12";
    EXPECT_TRUE(applyCellKey(cell, 8));
    EXPECT_FALSE(applyCellKey(cell, 8));  // already empty
    EXPECT_FALSE(applyCellKey(cell, U'x'));
    EXPECT_TRUE(applyCellKey(cell, U'7'));
    EXPECT_EQ(cell, "7");
}

TEST(LeadingCellValue, ReadsTheNumberTheTextBeginsWith) {
    EXPECT_EQ(leadingCellValue("-.5"), -0.5);
    EXPECT_EQ(leadingCellValue("5-"), 5.0);
    EXPECT_EQ(leadingCellValue("--1"), 0.0);
    EXPECT_EQ(leadingCellValue("1.2.3"), 1.2);
    EXPECT_EQ(leadingCellValue("1-2"), 1.0);
    EXPECT_EQ(leadingCellValue("5."), 5.0);
    EXPECT_EQ(leadingCellValue("-3.25"), -3.25);
    EXPECT_EQ(leadingCellValue("0.1"), 0.1);
    EXPECT_EQ(leadingCellValue(".-5"), 0.0);
    for (const char* empty : {"", "-", ".", "-.", "-.-"}) {
        EXPECT_EQ(leadingCellValue(empty), 0.0) << empty;
    }
}

TEST(LeadingCellValue, CopesWithHugeTexts) {
    EXPECT_EQ(leadingCellValue(std::string(400, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingCellValue("-" + std::string(400, '9')),
              -std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingCellValue("." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(leadingCellValue(std::string(1000000, '1') + "-"),
              std::numeric_limits<double>::infinity());
}

TEST(StrictCellValue, NeedsTheWholeTextToBeANumber) {
    EXPECT_EQ(strictCellValue("-.5"), -0.5);
    EXPECT_EQ(strictCellValue("3"), 3.0);
    EXPECT_EQ(strictCellValue("1.25"), 1.25);
    for (const char* bad : {"", "-", ".", "1-2", "1.2.3", "--1", "5-", "+3", "1e5", " 1"}) {
        EXPECT_EQ(strictCellValue(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(strictCellValue(std::string(400, '9')), std::nullopt);
}

}  // namespace
}  // namespace vornetica
