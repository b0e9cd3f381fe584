#include "ui/pattern_view.h"

#include <gtest/gtest.h>

#include <QImage>

namespace vornetica {
namespace {

TEST(PatternView, ShadesRunFromDarkAtMinusOneToLightAtPlusOne) {
    EXPECT_EQ(patternShade(-1.0), QColor(0, 0, 0));
    EXPECT_EQ(patternShade(1.0), QColor(255, 255, 255));
    EXPECT_EQ(patternShade(-7.0), patternShade(-1.0));
    EXPECT_EQ(patternShade(3.0), patternShade(1.0));
    EXPECT_EQ(patternShade(std::nan("")), patternShade(0.0));
    EXPECT_NEAR(patternShade(0.0).red(), 128, 1);
    int previous = -1;
    for (double value = -1.0; value <= 1.0; value += 0.25) {
        const QColor shade = patternShade(value);
        EXPECT_GT(shade.red(), previous) << value;
        EXPECT_EQ(shade.red(), shade.green());
        EXPECT_EQ(shade.red(), shade.blue());
        previous = shade.red();
    }
}

TEST(PatternView, DrawsEachElementInItsCell) {
    PatternView view;
    std::vector<double> values(16, 1.0);
    values[5] = -1.0;  // second row, second column
    values[15] = 0.0;  // the last cell
    view.setValues(values);
    view.resize(80, 80);
    EXPECT_EQ(view.layout().rows, 4);
    EXPECT_EQ(view.cellRect(5), QRect(20, 20, 20, 20));
    EXPECT_EQ(view.cellRect(15), QRect(60, 60, 20, 20));

    const QImage image = view.grab().toImage();
    const auto greyAt = [&](std::size_t index) {
        return QColor(image.pixel(view.cellRect(index).center())).red();
    };
    EXPECT_EQ(greyAt(5), 0);
    EXPECT_EQ(greyAt(0), 255);
    EXPECT_NEAR(greyAt(15), 128, 1);

    // A vector of five is one row of five cells across the width.
    view.setValues({1, -1, 1, -1, 1});
    view.resize(100, 40);
    EXPECT_EQ(view.layout().rows, 1);
    EXPECT_EQ(view.cellRect(4), QRect(80, 0, 20, 20));
}

}  // namespace
}  // namespace vornetica
