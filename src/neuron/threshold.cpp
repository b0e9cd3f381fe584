#include "neuron/threshold.h"

#include "neuron/neuron_functions.h"

namespace vornetica {

ThresholdChoice thresholdChoiceOf(const NetworkSettings& settings) {
    return ThresholdChoice{settings.ThresholdFunction, settings.LinearSlope, settings.RampBoundary,
                           settings.StepUpperBoundary, settings.StepLowerBoundary};
}

double applyThreshold(const ThresholdChoice& choice, double x) {
    switch (choice.function) {
        case ThresholdKind::Linear:
            return LinearThreshold(choice.LinearSlope, x);
        case ThresholdKind::Ramp:
            return RampThreshold(choice.RampBoundary, x);
        case ThresholdKind::Step:
            return x > 0.0 ? choice.StepUpperBoundary : choice.StepLowerBoundary;
        case ThresholdKind::Logistic:
            return LogisticThreshold(x);
        case ThresholdKind::Tanh:
            return TanhThreshold(x);
        case ThresholdKind::RatioSquares:
        case ThresholdKind::NoneChosen:
            break;
    }
    return RatioSquaresThreshold(x);
}

}  // namespace vornetica
