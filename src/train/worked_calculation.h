#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "settings/network_settings.h"

namespace vornetica {

// One value of a unit's arithmetic: a quantity name (a fixed, documented name
// such as "hidden_net") with up to two 0-based indices, -1 where it has none.
struct WorkedValue {
    const char* quantity = "";
    int index1 = -1;
    int index2 = -1;
    double value = 0.0;
};

// The arithmetic of one unit of work (a backpropagation or autocorrelator vector, a
// counterpropagation time step, a brain-state-in-a-box pair), in the order the
// trainer does it, with the values it used and made. Counts are 0-based here; the
// trace file and the panel count from 1.
struct WorkedUnit {
    NetworkKind kind = NetworkKind::BPN;
    long unit = 0;   // the unit's place in the run
    int epoch = 0;   // epoch (backpropagation), pass (box), time step (counterpropagation)
    int vector = 0;  // vector or pair
    std::vector<WorkedValue> values;

    void add(const char* quantity, double value, int index1 = -1, int index2 = -1) {
        values.push_back({quantity, index1, index2, value});
    }
    // Every value of `quantity`, in the order added.
    std::vector<WorkedValue> all(const char* quantity) const;
    // The value of `quantity` at the indices; NaN when the unit has none.
    double at(const char* quantity, int index1 = -1, int index2 = -1) const;
};

// The trace file's first line.
extern const char* const kTraceHeader;

// The trace lines of one unit, "unit,epoch,vector,quantity,index1,index2,value",
// every count from 1 and an index the quantity does not have left empty.
std::string traceLines(const WorkedUnit& unit);

// Keeps the first `limit` units a run explains, for the trace file.
class TraceCollector {
  public:
    explicit TraceCollector(long limit) : limit_(limit) {}
    // Keeps the unit if it is among the first `limit`; returns whether more are wanted.
    bool keep(WorkedUnit&& unit);
    bool full() const { return static_cast<long>(units_.size()) >= limit_; }
    const std::vector<WorkedUnit>& units() const { return units_; }

  private:
    long limit_;
    std::vector<WorkedUnit> units_;
};

// Writes the header and every unit's lines to `path` atomically. Throws UserError
// when the file cannot be written; an existing file then stays as it was.
void writeTraceFile(const std::string& path, const std::vector<WorkedUnit>& units);

}  // namespace vornetica
