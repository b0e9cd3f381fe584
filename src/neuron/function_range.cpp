#include "neuron/function_range.h"

#include <algorithm>
#include <cmath>

namespace vornetica {

FunctionRange functionRangeOf(const ThresholdChoice& choice) {
    switch (choice.function) {
        case ThresholdKind::Linear:
            return {0.0, 0.0, false, false, false};
        case ThresholdKind::Ramp: {
            const double boundary = std::abs(choice.RampBoundary);
            return {-boundary, boundary, true, true, true};
        }
        case ThresholdKind::Step:
            return {std::min(choice.StepLowerBoundary, choice.StepUpperBoundary),
                    std::max(choice.StepLowerBoundary, choice.StepUpperBoundary), true, true, true};
        case ThresholdKind::Logistic:
            return {0.0, 1.0, false, false, true};
        case ThresholdKind::Tanh:
            return {-1.0, 1.0, false, false, true};
        case ThresholdKind::RatioSquares:
        case ThresholdKind::NoneChosen:
            break;
    }
    // x² / (1 + x²) is 0 at 0 and only approaches 1.
    return {0.0, 1.0, true, false, true};
}

const char* functionName(ThresholdKind kind) {
    switch (kind) {
        case ThresholdKind::Linear:
            return "linear";
        case ThresholdKind::Ramp:
            return "ramp";
        case ThresholdKind::Step:
            return "step";
        case ThresholdKind::Logistic:
            return "logistic";
        case ThresholdKind::Tanh:
            return "hyperbolic tangent";
        case ThresholdKind::RatioSquares:
        case ThresholdKind::NoneChosen:
            break;
    }
    return "ratio of squares";
}

}  // namespace vornetica
