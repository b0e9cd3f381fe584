#pragma once

#include <span>

namespace vornetica {

// The seven single-row grids of the training window.
enum class ProgressGrid {
    InputValues,
    OutputValues,
    ErrorValues,
    Iterations,
    InputNodes,
    HiddenNodes,
    OutputNodes,
};

// What the end of an epoch (backpropagation), a pass (brain-state-in-a-box), a
// pair (counterpropagation) or a vector (autocorrelator) reports.
struct EpochReport {
    int index = 0;                  // 0-based epoch, pass, pair or vector
    double largestError = 0.0;      // largest error signal or component (change, for CPN)
    double meanSquaredError = 0.0;  // mean of the squared error signals over the epoch
};

// How a trainer talks to whoever shows it. The trainer hands over raw values; the
// receiver formats them (cut to `width` characters) only when it shows them, so a
// run is not slowed by formatting numbers nobody sees. Called on the training
// thread; a receiver that shows values on another thread copies them.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // Cells firstColumn .. firstColumn + values.size() - 1 of row 0 of `grid` get
    // these values, each shown as its number text cut to `width` characters.
    virtual void showCells(ProgressGrid grid, int firstColumn, std::span<const double> values,
                           int width) = 0;
    virtual void endOfEpoch(const EpochReport& report) = 0;
    // Asked between vectors; true ends the run after the current vector or pass.
    virtual bool stopRequested() = 0;
};

// A receiver that shows nothing and never stops a run.
class SilentProgress : public ProgressSink {
public:
    void showCells(ProgressGrid, int, std::span<const double>, int) override {}
    void endOfEpoch(const EpochReport&) override {}
    bool stopRequested() override { return false; }
};

}  // namespace vornetica
