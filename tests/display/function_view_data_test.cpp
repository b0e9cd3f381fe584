#include "display/function_view_data.h"

#include <gtest/gtest.h>

#include <cmath>

#include "display/colour_scale.h"
#include "display/weight_matrices.h"

namespace vornetica {
namespace {

// A 2-3-2 network with distinct weights, so a transposed index shows.
BpnNetwork sampleNetwork(int inputs) {
    BpnNetwork network;
    network.InputScale = 4.0;
    network.OutputScale = 10.0;
    network.HiddenWeights = Matrix<double>(inputs, 3);
    network.OutputWeights = Matrix<double>(3, 2);
    double value = -0.9;
    for (double& weight : network.HiddenWeights.values()) {
        weight = value += 0.37;
    }
    for (double& weight : network.OutputWeights.values()) {
        weight = value -= 0.29;
    }
    network.HiddenThresholds = {0.1, -0.2, 0.3};
    network.OutputThresholds = {-0.4, 0.5};
    return network;
}

// The forward pass written out for one input vector, for comparison.
double directOutput(const BpnNetwork& n, const ThresholdChoice& f, std::vector<double> v, int k) {
    std::vector<double> h(3);
    for (int j = 0; j < 3; ++j) {
        double sum = 0.0;
        for (std::size_t i = 0; i < v.size(); ++i) {
            sum += n.HiddenWeights.at(i, j) * (v[i] / n.InputScale);
        }
        h[j] = applyThreshold(f, sum + n.HiddenThresholds[j]);
    }
    double sum = 0.0;
    for (int j = 0; j < 3; ++j) {
        sum += n.OutputWeights.at(j, k) * h[j];
    }
    return n.OutputScale * applyThreshold(f, sum + n.OutputThresholds[k]);
}

Matrix<double> rows(std::size_t cols, std::vector<double> values) {
    MatrixValues<double> stored(values.begin(), values.end());
    return Matrix<double>(values.size() / cols, cols, std::move(stored));
}

TEST(FunctionViewData, CurveSpansTheTrainingInputsWithTheTrainedFunction) {
    const BpnNetwork network = sampleNetwork(1);
    ThresholdChoice tanh;
    tanh.function = ThresholdKind::Tanh;
    const Matrix<double> inputs = rows(1, {3.0, -2.0, 7.0});
    const Matrix<double> targets = rows(2, {1, 2, 3, 4, 5, 6});
    const FunctionSamples s = sampleFunction(network, tanh, inputs, targets, 1, 11);
    ASSERT_EQ(s.shape, FunctionShape::Curve);
    EXPECT_EQ(s.xLow, -2.0);
    EXPECT_EQ(s.xHigh, 7.0);
    ASSERT_EQ(s.values.size(), 11u);
    for (int c = 0; c < 11; ++c) {
        const double x = -2.0 + 9.0 * c / 10.0;
        EXPECT_DOUBLE_EQ(s.values[c], directOutput(network, tanh, {x}, 1)) << c;
    }
    // Points: each training input against its target of the chosen output.
    EXPECT_EQ(s.pointX, (std::vector<double>{3.0, -2.0, 7.0}));
    EXPECT_EQ(s.pointY, (std::vector<double>{2, 4, 6}));
}

TEST(FunctionViewData, MapCoversBothInputsRangesRowByRowFromTheLowest) {
    const BpnNetwork network = sampleNetwork(2);
    ThresholdChoice logistic;
    logistic.function = ThresholdKind::Logistic;
    const Matrix<double> inputs = rows(2, {0, 10, 1, 20, 4, 15});
    const Matrix<double> targets = rows(2, {7, 0, 8, 0, 9, 0});
    const FunctionSamples s = sampleFunction(network, logistic, inputs, targets, 0, 5);
    ASSERT_EQ(s.shape, FunctionShape::Map);
    EXPECT_EQ(s.xLow, 0.0);
    EXPECT_EQ(s.xHigh, 4.0);
    EXPECT_EQ(s.yLow, 10.0);
    EXPECT_EQ(s.yHigh, 20.0);
    ASSERT_EQ(s.values.size(), 25u);
    // Row 1, column 3: first input 3, second input 12.5.
    EXPECT_DOUBLE_EQ(s.values[1 * 5 + 3], directOutput(network, logistic, {3.0, 12.5}, 0));
    EXPECT_DOUBLE_EQ(s.values[4 * 5 + 0], directOutput(network, logistic, {0.0, 20.0}, 0));
    EXPECT_EQ(s.pointX, (std::vector<double>{0, 1, 4}));
    EXPECT_EQ(s.pointY, (std::vector<double>{10, 20, 15}));
    EXPECT_EQ(s.pointTarget, (std::vector<double>{7, 8, 9}));
}

TEST(FunctionViewData, MoreInputsGiveEachVectorsOutputAgainstItsTarget) {
    const BpnNetwork network = sampleNetwork(3);
    ThresholdChoice step;
    step.function = ThresholdKind::Step;
    step.StepUpperBoundary = 0.75;
    step.StepLowerBoundary = 0.25;
    const Matrix<double> inputs = rows(3, {1, 2, 3, -3, -2, -1});
    const Matrix<double> targets = rows(2, {9, 8, 7, 6});
    const FunctionSamples s = sampleFunction(network, step, inputs, targets, 1, 50);
    ASSERT_EQ(s.shape, FunctionShape::Pairs);
    EXPECT_TRUE(s.values.empty());
    EXPECT_EQ(s.pointX, (std::vector<double>{8, 6}));
    ASSERT_EQ(s.pointY.size(), 2u);
    EXPECT_DOUBLE_EQ(s.pointY[1], directOutput(network, step, {-3, -2, -1}, 1));
}

TEST(FunctionViewData, FlatOrMissingDataStillGivesAnAxis) {
    const BpnNetwork network = sampleNetwork(1);
    ThresholdChoice logistic;
    logistic.function = ThresholdKind::Logistic;
    const FunctionSamples flat =
        sampleFunction(network, logistic, rows(1, {5, 5}), rows(2, {0, 0, 0, 0}), 7, 3);
    EXPECT_EQ(flat.xLow, 4.0);
    EXPECT_EQ(flat.xHigh, 6.0);
    EXPECT_EQ(flat.output, 1);  // an output past the last draws the last
    // Data of other sizes than the network's are left out, not misread.
    const FunctionSamples none =
        sampleFunction(network, logistic, rows(2, {1, 2}), rows(2, {0, 0}), 0, 3);
    EXPECT_TRUE(none.pointX.empty());
    EXPECT_EQ(none.xLow, -1.0);
    EXPECT_EQ(none.values.size(), 3u);
}

TEST(FunctionViewData, CaptionNamesTheFunctionAndWarnsWhenRecallDiffers) {
    ThresholdChoice choice;
    choice.function = ThresholdKind::Logistic;
    EXPECT_NE(functionCaption(choice).find("logistic"), std::string::npos);
    EXPECT_EQ(functionCaption(choice).find("other outputs"), std::string::npos);
    choice.function = ThresholdKind::Tanh;
    EXPECT_NE(functionCaption(choice).find("tanh function"), std::string::npos);
    EXPECT_NE(functionCaption(choice).find("recall uses the logistic"), std::string::npos);
}

TEST(ColourScale, EndsMiddleAndOutsideValues) {
    const ColourScale scale(-2.0, 6.0);
    EXPECT_EQ(scale.colour(-2.0), ColourScale::Low);
    EXPECT_EQ(scale.colour(6.0), ColourScale::High);
    EXPECT_EQ(scale.colour(2.0), ColourScale::Middle);
    EXPECT_EQ(scale.colour(-100.0), ColourScale::Low);
    EXPECT_EQ(scale.colour(INFINITY), ColourScale::High);
    EXPECT_EQ(scale.colour(NAN), ColourScale::NotANumber);
    const Rgb between = scale.colour(4.0);
    EXPECT_NE(between, ColourScale::Middle);
    EXPECT_NE(between, ColourScale::High);
}

TEST(ColourScale, AroundZeroAndSpanningChooseTheirEnds) {
    const std::vector<double> values = {-0.5, 3.0, NAN, 1.0};
    const ColourScale around = ColourScale::aroundZero(values);
    EXPECT_EQ(around.low(), -3.0);
    EXPECT_EQ(around.high(), 3.0);
    EXPECT_EQ(around.colour(0.0), ColourScale::Middle);
    const ColourScale spanning = ColourScale::spanning(values);
    EXPECT_EQ(spanning.low(), -0.5);
    EXPECT_EQ(spanning.high(), 3.0);
    const std::vector<double> zeros = {0.0, 0.0};
    EXPECT_EQ(ColourScale::aroundZero(zeros).high(), 1.0);
    EXPECT_EQ(ColourScale::spanning(zeros).low(), -1.0);
}

TEST(WeightMatrices, NamesEachWeightFromOneForEachKind) {
    const std::vector<WeightMatrix> bpn = weightMatricesOf(sampleNetwork(2));
    ASSERT_EQ(bpn.size(), 4u);
    EXPECT_EQ(bpn[0].rows, 2u);
    EXPECT_EQ(bpn[0].cols, 3u);
    EXPECT_EQ(weightName(bpn[0], 1, 2), "hidden weight from input 2 to hidden node 3");
    EXPECT_EQ(bpn[0].at(1, 2), sampleNetwork(2).HiddenWeights.at(1, 2));
    EXPECT_EQ(weightName(bpn[1], 2, 0), "output weight from hidden node 3 to output node 1");
    EXPECT_EQ(weightName(bpn[3], 0, 1), "threshold of output node 2");
    EXPECT_EQ(bpn[3].at(0, 1), 0.5);
    EXPECT_EQ(weightName(bpn[0], 2, 0), "");  // outside
    EXPECT_EQ(weightName(bpn[2], 0, 3), "");

    CpnNetwork cpn;
    cpn.HiddenWeights = Matrix<double>(4, 2);
    cpn.OutputWeights = Matrix<double>(2, 3);
    const std::vector<WeightMatrix> counter = weightMatricesOf(cpn);
    ASSERT_EQ(counter.size(), 2u);
    EXPECT_EQ(weightName(counter[0], 3, 1), "Kohonen weight from input 4 to hidden node 2");
    EXPECT_EQ(weightName(counter[1], 1, 2), "outstar weight from hidden node 2 to output 3");

    DaNetwork da;
    da.CorrelationMatrix = Matrix<std::int16_t>(2, 2);
    da.CorrelationMatrix.at(0, 1) = -3;
    const std::vector<WeightMatrix> correlations = weightMatricesOf(da);
    ASSERT_EQ(correlations.size(), 1u);
    EXPECT_EQ(correlations[0].at(0, 1), -3.0);
    EXPECT_EQ(weightName(correlations[0], 0, 1), "correlation from unit 1 to unit 2");
    EXPECT_TRUE(weightMatricesOf(TrainedNetwork{}).empty());
}

}  // namespace
}  // namespace vornetica
