#pragma once

#include "neuron/threshold.h"

namespace vornetica {

// The outputs a neuron function can give: from low to high, each end reached or
// only approached. The linear function has no bounds.
struct FunctionRange {
    double low = 0.0;
    double high = 0.0;
    bool lowReached = false;
    bool highReached = false;
    bool bounded = true;
};

FunctionRange functionRangeOf(const ThresholdChoice& choice);

// The function's name as messages write it: "logistic", "hyperbolic tangent", ...
const char* functionName(ThresholdKind kind);

}  // namespace vornetica
