#pragma once

#include <cmath>
#include <optional>
#include <vector>

#include "train/progress.h"

namespace vornetica {

// What a run's end-of-epoch reports tell about how it went, kept as they arrive so
// that the notes after the run can judge it: the largest error of every epoch (a
// double each, so even 32767 epochs cost a quarter megabyte) and the first epoch
// whose error went to Inf or NaN. A receiver of the reports adds each one here.
class RunRecord {
  public:
    void clear() {
        largestErrors_.clear();
        firstNonFinite_.reset();
    }

    void add(const EpochReport& report) {
        largestErrors_.push_back(report.largestError);
        // A NaN anywhere in the epoch makes the sum of squares NaN, an Inf makes it Inf.
        if (!std::isfinite(report.meanSquaredError) || std::isnan(report.largestError))
            [[unlikely]] {
            if (!firstNonFinite_) {
                firstNonFinite_ = report.index;
            }
        }
    }

    // One value per report, oldest first.
    const std::vector<double>& largestErrors() const { return largestErrors_; }
    // The 0-based index of the first report with a value that is not finite.
    std::optional<int> firstNonFinite() const { return firstNonFinite_; }

  private:
    std::vector<double> largestErrors_;
    std::optional<int> firstNonFinite_;
};

}  // namespace vornetica
