#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>

#include "train/progress.h"
#include "train/worked_calculation.h"

namespace vornetica {

// Step and Continue for a run on another thread. Step has the run explain its next
// unit of work and wait after it; Continue lets it run on unexplained; a Stop must
// also let go of a waiting run (letGo) before the run can see it. The receiver of
// the run's progress passes each explained unit to unitWorked().
class UnitStepper {
  public:
    explicit UnitStepper(ProgressSink& progress) : progress_(progress) {}

    // Screens' thread. Before a run: no step asked, nothing held.
    void reset();
    // The run works out its next unit, then waits after it.
    void step();
    // The run goes on without waiting or explaining.
    void letGo();
    // Whether the run waits after a step (it may still be on its way there).
    bool stepping() const;
    // The newest unit explained, once.
    std::optional<WorkedUnit> takeUnit();

    // Training thread: keeps the unit and, when a step was asked, waits for the next
    // step() or letGo().
    void unitWorked(WorkedUnit&& unit);

  private:
    ProgressSink& progress_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool stepping_ = false;  // the run waits after each unit until released
    long releases_ = 0;      // step() and letGo() calls, so a waiting run sees either
    std::optional<WorkedUnit> newest_;
};

}  // namespace vornetica
