#pragma once

#include "settings/network_settings.h"

namespace vornetica {

// The neuron function choice and its parameters, captured once at the start of a run.
struct ThresholdChoice {
    ThresholdKind function = ThresholdKind::NoneChosen;
    double LinearSlope = 1.0;
    double RampBoundary = 1.0;
    double StepUpperBoundary = 1.0;
    double StepLowerBoundary = -1.0;
};

ThresholdChoice thresholdChoiceOf(const NetworkSettings& settings);

// A node's output for the net input x under the chosen function. Step is computed
// here; the other five come from the neuron-function library. With no function
// chosen the ratio of squares is used.
double applyThreshold(const ThresholdChoice& choice, double x);

}  // namespace vornetica
