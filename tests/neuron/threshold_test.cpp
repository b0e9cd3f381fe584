#include "neuron/threshold.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "neuron/neuron_functions.h"

namespace vornetica {
namespace {

TEST(NeuronFunctions, LibraryCurves) {
    EXPECT_EQ(LinearThreshold(2.0, -1.5), -3.0);
    EXPECT_EQ(RampThreshold(1.0, 1.0), 1.0);
    EXPECT_EQ(RampThreshold(1.0, -1.0), -1.0);
    EXPECT_EQ(RampThreshold(1.0, 0.25), 0.25);
    EXPECT_EQ(RampThreshold(2.0, -7.0), -2.0);
    EXPECT_EQ(LogisticThreshold(0.0), 0.5);
    EXPECT_EQ(LogisticThreshold(-1000.0), 0.0);
    EXPECT_EQ(LogisticThreshold(1000.0), 1.0);
    EXPECT_EQ(TanhThreshold(0.5), std::tanh(0.5));
    EXPECT_EQ(RatioSquaresThreshold(-2.0), 0.0);
    EXPECT_EQ(RatioSquaresThreshold(0.0), 0.0);
    EXPECT_EQ(RatioSquaresThreshold(2.0), 0.8);
}

TEST(ApplyThreshold, StepUsesTheLowerBoundaryAtZeroAndBelow) {
    ThresholdChoice step{ThresholdKind::Step, 1.0, 1.0, 1.0, -1.0};
    EXPECT_EQ(applyThreshold(step, 1e-300), 1.0);
    EXPECT_EQ(applyThreshold(step, 0.0), -1.0);
    EXPECT_EQ(applyThreshold(step, -0.0), -1.0);
    EXPECT_EQ(applyThreshold(step, -5.0), -1.0);
    // An upper boundary below the lower one is applied unchanged.
    step.StepUpperBoundary = -3.0;
    step.StepLowerBoundary = 4.0;
    EXPECT_EQ(applyThreshold(step, 2.0), -3.0);
    EXPECT_EQ(applyThreshold(step, -2.0), 4.0);
}

TEST(ApplyThreshold, DispatchesToTheChosenCurveWithItsParameter) {
    NetworkSettings settings;
    setDefaultSettings(settings);
    settings.LinearSlope = 3.0;
    settings.RampBoundary = 0.5;

    settings.ThresholdFunction = ThresholdKind::Linear;
    EXPECT_EQ(applyThreshold(thresholdChoiceOf(settings), 2.0), 6.0);
    settings.ThresholdFunction = ThresholdKind::Ramp;
    EXPECT_EQ(applyThreshold(thresholdChoiceOf(settings), 2.0), 0.5);
    settings.ThresholdFunction = ThresholdKind::Logistic;
    EXPECT_EQ(applyThreshold(thresholdChoiceOf(settings), 2.0), 1.0 / (1.0 + std::exp(-2.0)));
    settings.ThresholdFunction = ThresholdKind::Tanh;
    EXPECT_EQ(applyThreshold(thresholdChoiceOf(settings), 2.0), std::tanh(2.0));
    // With no function ever chosen the ratio of squares is used.
    settings.ThresholdFunction = ThresholdKind::NoneChosen;
    EXPECT_EQ(applyThreshold(thresholdChoiceOf(settings), 2.0), 0.8);
    EXPECT_EQ(applyThreshold(thresholdChoiceOf(settings), -2.0), 0.0);
}

}  // namespace
}  // namespace vornetica
