#pragma once

#include <array>
#include <atomic>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "display/progress_history.h"
#include "settings/network_settings.h"
#include "train/network_snapshot.h"
#include "train/progress.h"
#include "train/run_record.h"
#include "train/unit_stepper.h"

namespace vornetica {

// The text a cell of the training window shows for `value`: the iteration counter
// whole (a cut would turn 32001 into 3200), every other cell its number text cut to
// `width` characters.
std::string progressCellText(ProgressGrid grid, double value, int width);

// Whether a run of `kind` writes `grid`. The window empties the grids a run does not
// write when it starts, so that they never show another kind's values.
bool runWritesGrid(NetworkKind kind, ProgressGrid grid);

// The training window's receiver of a run's progress. The window asks for cells at
// screen rate (takeChanges requests the next vector's cells); the trainer publishes
// only then, and at the end of the run the last values of every grid. The window
// formats just what changed. So showing a run costs the run next to nothing.
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

    // Run's thread.
    void showCells(ProgressGrid grid, int firstColumn, std::span<const double> values,
                   int width) override;
    // Kept in the run's own thinned history; handed over like the cells, only when
    // the window asked for it since the last hand-over.
    void endOfEpoch(const EpochReport& report) override;
    bool stopRequested() override { return stop_.load(std::memory_order_relaxed); }
    // The weight and function views ask for the network through this at screen rate.
    NetworkSnapshots* networkSnapshots() override { return &snapshots_; }
    // Step and Continue: a stepped run waits here after each unit it explained.
    void unitWorked(WorkedUnit&& unit) override { stepper_.unitWorked(std::move(unit)); }
    UnitStepper& stepper() { return stepper_; }
    // Hands over everything still held back; the run's thread calls it when the run ends.
    void finish();

    // Window's thread. Forgets every value and clears the stop request, before a run.
    void reset();
    void requestStop() { stop_.store(true, std::memory_order_relaxed); }
    // What changed since the last call, one entry per grid that changed.
    std::vector<Change> takeChanges();
    // The run's thinned history of end-of-epoch reports, when it grew since the last call.
    std::optional<std::vector<EpochReport>> takeHistory();
    // Every report of the run, for its notes; read only once the run's thread ended.
    const RunRecord& record() const { return record_; }

  private:
    struct Slot {
        std::vector<double> values;
        int width = 6;
        std::size_t dirtyBegin = std::numeric_limits<std::size_t>::max();
        std::size_t dirtyEnd = 0;

        bool dirty() const { return dirtyBegin < dirtyEnd; }
        void markClean() {
            dirtyBegin = std::numeric_limits<std::size_t>::max();
            dirtyEnd = 0;
        }
        void write(int firstColumn, std::span<const double> source, int shownWidth);
    };
    using Slots = std::array<Slot, GridCount>;

    void handOver();
    void handOverHistory();

    Slots running_;  // the run's own copy, touched only by its thread
    std::mutex mutex_;
    Slots handedOver_;                                           // under mutex_
    ProgressHistory runningHistory_;                             // the run's thread only
    RunRecord record_;                                           // the run's thread only
    std::optional<std::vector<EpochReport>> handedOverHistory_;  // under mutex_
    std::atomic<bool> historyWanted_ = true;
    std::atomic<bool> stop_ = false;
    NetworkSnapshots snapshots_;
    UnitStepper stepper_{*this};
};

}  // namespace vornetica
