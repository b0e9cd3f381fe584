#pragma once

#include <bit>
#include <cstdint>
#include <span>
#include <vector>

#include "train/progress.h"

namespace vornetica::testing {

// One showCells call as the window would receive it.
struct ShownCells {
    ProgressGrid grid;
    int firstColumn;
    std::vector<double> values;
    int width;

    bool operator==(const ShownCells& other) const {
        if (grid != other.grid || firstColumn != other.firstColumn || width != other.width ||
            values.size() != other.values.size()) {
            return false;
        }
        for (std::size_t c = 0; c < values.size(); ++c) {
            if (std::bit_cast<std::uint64_t>(values[c]) !=
                std::bit_cast<std::uint64_t>(other.values[c])) {
                return false;
            }
        }
        return true;
    }
};

// Keeps everything a trainer shows, and asks for a stop after a given number of
// stopRequested calls (never, by default). It asks for every write, unless made
// with `everyCell` false: then it asks for none and only gets what a run publishes
// at its end.
class RecordingProgress : public ProgressSink {
  public:
    explicit RecordingProgress(bool everyCell = true) {
        if (everyCell) {
            requestEveryCell();
        }
    }

    std::vector<ShownCells> shown;
    std::vector<EpochReport> epochs;
    int stopAfterQuestions = -1;
    int questions = 0;

    void showCells(ProgressGrid grid, int firstColumn, std::span<const double> values,
                   int width) override {
        shown.push_back({grid, firstColumn, {values.begin(), values.end()}, width});
    }
    void endOfEpoch(const EpochReport& report) override { epochs.push_back(report); }
    bool stopRequested() override {
        ++questions;
        return stopAfterQuestions >= 0 && questions > stopAfterQuestions;
    }

    std::vector<ShownCells> of(ProgressGrid grid) const {
        std::vector<ShownCells> result;
        for (const ShownCells& cells : shown) {
            if (cells.grid == grid) {
                result.push_back(cells);
            }
        }
        return result;
    }
};

inline bool sameBits(std::span<const double> a, std::span<const double> b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t c = 0; c < a.size(); ++c) {
        if (std::bit_cast<std::uint64_t>(a[c]) != std::bit_cast<std::uint64_t>(b[c])) {
            return false;
        }
    }
    return true;
}

}  // namespace vornetica::testing
