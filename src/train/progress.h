#pragma once

#include <atomic>
#include <span>

namespace vornetica {

class NetworkSnapshots;
struct WorkedUnit;

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
//
// Nobody can read a grid that changes thousands of times a second, so the cells go
// out only when the receiver asks for them: a window's timer calls requestCells()
// a few times a second and the trainer publishes the cells of the next vector (or
// time step, or pair) it trains; a receiver that wants every write (a recorder)
// calls requestEveryCell(). Whatever was asked, when a run ends the receiver holds
// the values of the last write of every grid the run wrote: a trainer publishes
// them once more at the end unless every write already went out. A run that
// writes nothing (no vectors) publishes nothing.
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
    // Where the trainer copies its matrices when asked (train/network_snapshot.h);
    // none for a receiver that never shows them.
    virtual NetworkSnapshots* networkSnapshots() { return nullptr; }

    // For receivers, from any thread: the next cells the trainer writes go out once.
    void requestCells() {
        unsigned char none = kNone;
        wanted_.compare_exchange_strong(none, kOnce, std::memory_order_relaxed);
    }
    // For receivers: every write goes out, from now on.
    void requestEveryCell() { wanted_.store(kEvery, std::memory_order_relaxed); }

    // For trainers: whether the cells about to be written go out. Cheap enough to
    // ask before every vector.
    bool cellsWanted() const { return wanted_.load(std::memory_order_relaxed) != kNone; }
    // For trainers: the cells asked for went out; a one-time request is settled.
    void cellsPublished() {
        unsigned char once = kOnce;
        wanted_.compare_exchange_strong(once, kNone, std::memory_order_relaxed);
    }

    // For receivers, from any thread: from the next unit of work on (a vector, a
    // time step, a pair), the trainer works each unit out value by value and hands
    // it to unitWorked(), or stops doing so. An untraced unit pays one load for it.
    void explainUnits(bool on) { explain_.store(on, std::memory_order_relaxed); }
    // For trainers: asked once before each unit.
    bool unitsExplained() const { return explain_.load(std::memory_order_relaxed); }
    // Called on the training thread after each explained unit, once its cells went
    // out. A receiver that steps the run holds the thread here until it may go on.
    virtual void unitWorked(WorkedUnit&&) {}

  private:
    static constexpr unsigned char kNone = 0;
    static constexpr unsigned char kOnce = 1;
    static constexpr unsigned char kEvery = 2;
    std::atomic<unsigned char> wanted_{kNone};
    std::atomic<bool> explain_{false};
};

// The one rule every trainer keeps for its grids: a write's cells go out when the
// receiver asks for them; a write that does not go out is remembered, and the run
// ends by publishing the last values of every grid once more. A trainer passes each
// write as a function that shows its cells, so the rule costs a vector no more than
// the one atomic load of cellsWanted().
class CellPublisher {
  public:
    explicit CellPublisher(ProgressSink& progress) : progress_(progress) {}

    // One write of the grids: `show()` publishes its cells now if they are wanted.
    template <typename Show>
    void write(const Show& show) {
        anyWrite_ = true;
        if (progress_.cellsWanted()) {
            show();
            progress_.cellsPublished();
        } else {
            everyWritePublished_ = false;
        }
    }

    // At the end of the run: `showLast()` publishes the last values of the grids the
    // run wrote, unless every write went out already or nothing was written.
    template <typename ShowLast>
    void publishLastIfMissed(const ShowLast& showLast) const {
        if (anyWrite_ && !everyWritePublished_) {
            showLast();
        }
    }

  private:
    ProgressSink& progress_;
    bool anyWrite_ = false;
    bool everyWritePublished_ = true;
};

// A receiver that shows nothing and never stops a run: it never asks for cells,
// so it only receives the final values of a run.
class SilentProgress : public ProgressSink {
  public:
    void showCells(ProgressGrid, int, std::span<const double>, int) override {}
    void endOfEpoch(const EpochReport&) override {}
    bool stopRequested() override { return false; }
};

}  // namespace vornetica
