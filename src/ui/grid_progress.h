#pragma once

#include <array>
#include <atomic>
#include <limits>
#include <mutex>
#include <vector>

#include "train/progress.h"

namespace vornetica {

// The training window's receiver of a run's progress. The run's thread only copies
// the latest raw values of each grid under a mutex; the window takes what changed
// at screen rate and formats just that, so showing a run costs it next to nothing.
class GridProgress final : public ProgressSink {
  public:
    static constexpr int GridCount = 7;

    // The values of one grid that changed since the last take.
    struct Change {
        ProgressGrid grid = ProgressGrid::InputValues;
        int firstColumn = 0;
        int width = 6;
        std::vector<double> values;
    };

    void showCells(ProgressGrid grid, int firstColumn, std::span<const double> values,
                   int width) override;
    void endOfEpoch(const EpochReport&) override {}
    bool stopRequested() override { return stop_.load(std::memory_order_relaxed); }

    // Forgets every value and clears the stop request, before a run starts.
    void reset();
    void requestStop() { stop_.store(true, std::memory_order_relaxed); }
    // What changed since the last call, one entry per grid that changed.
    std::vector<Change> takeChanges();

  private:
    struct Slot {
        std::vector<double> values;
        int width = 6;
        int dirtyBegin = std::numeric_limits<int>::max();
        int dirtyEnd = 0;
    };

    std::mutex mutex_;
    std::array<Slot, GridCount> slots_;
    std::atomic<bool> stop_ = false;
};

}  // namespace vornetica
