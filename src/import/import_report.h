#pragma once

#include <optional>
#include <string>

#include "import/table_import.h"
#include "neuron/function_range.h"

namespace vornetica {

// The scale factors for backpropagation, which divides every input by the input
// scale and every target by the output scale: the inputs come to lie in -1..1
// and the targets within the neuron function's range. No output scale when no
// division can bring the targets there (values of both signs for 0..1).
struct ScaleAdvice {
    double inputScale = 1.0;
    std::optional<double> outputScale;
};
ScaleAdvice adviseScales(const ImportedTable& table, const FunctionRange& range);

// The report for the user: the counts, each column's role and smallest and
// largest value (or its classes), and, with a neuron function, the scale factors.
std::string importReport(const ImportedTable& table,
                         const std::optional<ThresholdChoice>& function);

}  // namespace vornetica
