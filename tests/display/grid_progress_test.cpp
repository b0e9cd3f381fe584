#include "display/grid_progress.h"

#include <gtest/gtest.h>

#include <thread>

namespace vornetica {
namespace {

std::vector<double> changeOf(const std::vector<GridProgress::Change>& changes, ProgressGrid grid,
                             int* firstColumn = nullptr) {
    for (const GridProgress::Change& change : changes) {
        if (change.grid == grid) {
            if (firstColumn != nullptr) {
                *firstColumn = change.firstColumn;
            }
            return change.values;
        }
    }
    return {};
}

TEST(GridProgressTest, TheEndOfARunHandsOverTheLastValueOfEveryCell) {
    GridProgress progress;
    progress.reset();
    const std::vector<double> first{1.0, 2.0, 3.0};
    const std::vector<double> second{4.0, 5.0};
    const double pass = 7.0;
    progress.showCells(ProgressGrid::ErrorValues, 0, first, 6);
    progress.showCells(ProgressGrid::ErrorValues, 0, second, 6);
    progress.showCells(ProgressGrid::Iterations, 0, {&pass, 1}, 5);
    progress.finish();

    const std::vector<GridProgress::Change> changes = progress.takeChanges();
    EXPECT_EQ(changeOf(changes, ProgressGrid::ErrorValues), (std::vector<double>{4.0, 5.0, 3.0}));
    EXPECT_EQ(changeOf(changes, ProgressGrid::Iterations), (std::vector<double>{7.0}));
    for (const GridProgress::Change& change : changes) {
        EXPECT_EQ(change.width, change.grid == ProgressGrid::Iterations ? 5 : 6);
    }
    EXPECT_TRUE(progress.takeChanges().empty());
}

TEST(GridProgressTest, OnlyTheColumnsWrittenSinceTheLastTakeAreHandedOver) {
    GridProgress progress;
    progress.reset();
    const std::vector<double> row{1.0, 2.0, 3.0, 4.0};
    progress.showCells(ProgressGrid::OutputValues, 0, row, 6);
    progress.takeChanges();
    const std::vector<double> tail{9.0};
    progress.showCells(ProgressGrid::OutputValues, 2, tail, 6);
    progress.finish();
    int firstColumn = -1;
    EXPECT_EQ(changeOf(progress.takeChanges(), ProgressGrid::OutputValues, &firstColumn),
              (std::vector<double>{9.0}));
    EXPECT_EQ(firstColumn, 2);
}

TEST(GridProgressTest, WritesFromAnotherThreadArriveAndStopIsSeen) {
    GridProgress progress;
    progress.reset();
    EXPECT_FALSE(progress.stopRequested());
    double lastWritten = -1.0;
    std::thread run([&] {
        for (int step = 0; step < 1000000 && !progress.stopRequested(); ++step) {
            lastWritten = step;
            progress.showCells(ProgressGrid::Iterations, 0, {&lastWritten, 1}, 6);
        }
        progress.finish();
    });
    std::vector<double> shown;
    while (shown.empty()) {
        shown = changeOf(progress.takeChanges(), ProgressGrid::Iterations);
    }
    progress.requestStop();
    run.join();
    const std::vector<double> rest = changeOf(progress.takeChanges(), ProgressGrid::Iterations);
    if (!rest.empty()) {
        shown = rest;
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], lastWritten);
    progress.reset();
    EXPECT_FALSE(progress.stopRequested());
    EXPECT_TRUE(progress.takeChanges().empty());
}

}  // namespace
}  // namespace vornetica
