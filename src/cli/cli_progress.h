#pragma once

#include <chrono>
#include <optional>
#include <ostream>
#include <string>

#include "settings/network_settings.h"
#include "train/progress.h"
#include "train/run_record.h"
#include "train/worked_calculation.h"

namespace vornetica::cli {

// Shows a training run's progress on stderr: on a terminal one line rewritten in
// place (with \r) a few times a second, elsewhere only the last report once the
// run is over, so that logs stay short. The grids' cells are not shown.
class ConsoleProgress : public ProgressSink {
  public:
    // `limit` is the most epochs or passes the run may take, 0 when it has none.
    ConsoleProgress(std::ostream& err, bool terminal, NetworkKind kind, int limit);

    void showCells(ProgressGrid, int, std::span<const double>, int) override {}
    void endOfEpoch(const EpochReport& report) override;
    bool stopRequested() override { return false; }
    // The run explains its units into `trace` until the trace is full, then runs on
    // at full speed.
    void traceInto(TraceCollector& trace) {
        trace_ = &trace;
        explainUnits(!trace.full());
    }
    void unitWorked(WorkedUnit&& unit) override {
        if (trace_ != nullptr && !trace_->keep(std::move(unit))) {
            explainUnits(false);
        }
    }

    // Ends the progress display with the last report on a line of its own.
    void finish();

    // The text of one report, e.g. "epoch 12 (limit 100), largest error signal .0123".
    std::string lineFor(const EpochReport& report) const;
    // Every report of the run, for its notes.
    const RunRecord& record() const { return record_; }

  private:
    std::ostream& err_;
    bool terminal_;
    NetworkKind kind_;
    int limit_;
    std::optional<EpochReport> last_;
    RunRecord record_;
    std::chrono::steady_clock::time_point lastShown_{};
    std::size_t shownWidth_ = 0;
    TraceCollector* trace_ = nullptr;
};

}  // namespace vornetica::cli
