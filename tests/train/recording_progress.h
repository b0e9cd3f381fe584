#pragma once

#include <span>
#include <vector>

#include "train/progress.h"

namespace vornetica::testing {

struct ShownCells {
    ProgressGrid grid;
    int firstColumn;
    std::vector<double> values;
    int width;
};

// Keeps everything a trainer shows, in order, and asks for a stop after a given
// number of stop questions.
class RecordingProgress : public ProgressSink {
  public:
    std::vector<ShownCells> shown;
    std::vector<EpochReport> epochs;
    int stopQuestions = 0;
    int stopAfterQuestions = -1;  // never when negative

    void showCells(ProgressGrid grid, int firstColumn, std::span<const double> values,
                   int width) override {
        shown.push_back({grid, firstColumn, {values.begin(), values.end()}, width});
    }
    void endOfEpoch(const EpochReport& report) override { epochs.push_back(report); }
    bool stopRequested() override {
        ++stopQuestions;
        return stopAfterQuestions >= 0 && stopQuestions >= stopAfterQuestions;
    }

    std::vector<ShownCells> shownIn(ProgressGrid grid) const {
        std::vector<ShownCells> result;
        for (const ShownCells& cells : shown) {
            if (cells.grid == grid) {
                result.push_back(cells);
            }
        }
        return result;
    }
};

}  // namespace vornetica::testing
