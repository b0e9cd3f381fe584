#pragma once

#include "data/training_data.h"
#include "train/networks.h"
#include "train/progress.h"

namespace vornetica {

// In * In must fit a 16-bit count of grid columns.
constexpr int kDaMaxInputSize = 181;

struct DaRun {
    DaNetwork network;
    bool stopped = false;
};

// Sums each vector's outer product with itself less the identity, in 16-bit
// arithmetic. File values are rounded to the nearest integer, halves to even.
// Throws UserError naming the vector and element when a value, a product or a sum
// leaves the 16-bit range, or when the input size is above kDaMaxInputSize.
DaRun trainDiscreteAutocorrelator(int inputSize, const TrainingSet& data, ProgressSink& progress);

}  // namespace vornetica
