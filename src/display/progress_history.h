#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "train/progress.h"

namespace vornetica {

// The end-of-epoch reports of one run, thinned so that a run of any length keeps a
// bounded number of points: every `stride()`-th report is kept, and when the store is
// full the stride doubles and every other kept point goes. The newest report is kept
// whatever the stride, so the curve always ends where the run is. No widgets here.
class ProgressHistory {
  public:
    // About a point per pixel of the chart: more would not show, yet every one
    // costs drawing time while a run goes on.
    static constexpr std::size_t DefaultCapacity = 512;

    explicit ProgressHistory(std::size_t capacity = DefaultCapacity);

    void clear();
    void add(const EpochReport& report);

    // The points to draw, oldest first, ending with the newest report.
    std::vector<EpochReport> points() const;
    std::size_t stride() const { return stride_; }
    std::size_t received() const { return received_; }
    bool empty() const { return received_ == 0; }

  private:
    struct Kept {
        std::size_t arrival = 0;
        EpochReport report;
    };

    void thin();

    std::size_t capacity_;
    std::size_t stride_ = 1;
    std::size_t received_ = 0;
    std::vector<Kept> kept_;
    std::optional<Kept> newest_;
};

// The smallest and largest of some values, for an axis.
struct ValueRange {
    double low = 0.0;
    double high = 0.0;
};

// A logarithmic axis shows values that span decades: all positive, the largest at
// least a hundred times the smallest. Zero or negative values need a linear axis.
bool wantsLogarithmicAxis(const std::vector<double>& values);
// The range of the values, or nothing when there are none.
std::optional<ValueRange> rangeOf(const std::vector<double>& values);

// A linear axis's limits and the number of equal intervals between its ticks.
struct LinearScale {
    double low = 0.0;
    double high = 1.0;
    int intervals = 5;
};

// Round limits for a linear axis that shows `range` and zero, with a little room
// above the highest value: ticks 1, 2, 2.5 or 5 times a power of ten apart, about
// five of them. Round limits read better than the values' own, and they stay put
// while the values move within them, so the axis need not be laid out again.
LinearScale roundLinearScale(ValueRange range);

}  // namespace vornetica
