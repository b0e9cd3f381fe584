#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "base/user_error.h"
#include "neuron/neuron_functions.h"
#include "recall/recall_computations.h"

namespace vornetica {
namespace {

void loadNetwork(NetworkSettings& settings, int I, int H, int O, double inputScale,
                 double outputScale) {
    settings.RecallInputSize = static_cast<std::int16_t>(I);
    settings.RecallHiddenSize = static_cast<std::int16_t>(H);
    settings.RecallOutputSize = static_cast<std::int16_t>(O);
    settings.RecallInputScale = inputScale;
    settings.RecallOutputScale = outputScale;
    settings.RecallHiddenWeights = Matrix<double>(I, H);
    settings.RecallOutputWeights = Matrix<double>(H, O);
    settings.RecallHiddenThresholds.assign(H, 0.0);
    settings.RecallOutputThresholds.assign(O, 0.0);
}

TEST(BackpropagationRecall, AllZeroNetworkGivesHalfTheOutputScale) {
    NetworkSettings settings;
    loadNetwork(settings, 3, 4, 2, 10.0, 7.0);
    for (const std::vector<double>& input :
         {std::vector<double>{0, 0, 0}, std::vector<double>{1e300, -5, 0.25}}) {
        EXPECT_EQ((std::vector<double>{3.5, 3.5}), recallBackpropagation(settings, input));
    }
}

double logistic(double x) {
    return 1.0 / (1.0 + std::exp(-x));
}

TEST(BackpropagationRecall, HandComputedNetwork) {
    NetworkSettings settings;
    loadNetwork(settings, 2, 1, 2, 2.0, 10.0);
    settings.RecallHiddenWeights.at(0, 0) = 1.0;
    settings.RecallHiddenWeights.at(1, 0) = 2.0;
    settings.RecallHiddenThresholds[0] = 0.5;
    settings.RecallOutputWeights.at(0, 0) = 3.0;
    settings.RecallOutputWeights.at(0, 1) = -4.0;
    settings.RecallOutputThresholds = {-1.0, 0.25};
    // x = (1, -0.5): the hidden net is 1 - 1 + 0.5.
    const double h = logistic(0.5);
    const std::vector<double> expected{10.0 * logistic(3.0 * h - 1.0),
                                       10.0 * logistic(-4.0 * h + 0.25)};
    const std::vector<double> input{2.0, -1.0};
    EXPECT_EQ(expected, recallBackpropagation(settings, input));
    // The network is not changed: the same vector gives the same output again.
    EXPECT_EQ(expected, recallBackpropagation(settings, input));
}

TEST(BackpropagationRecall, HugeNegativeNetGivesZeroWithoutTrapping) {
    NetworkSettings settings;
    loadNetwork(settings, 1, 2, 1, 1.0, 4.0);
    settings.RecallHiddenWeights.at(0, 0) = -1e6;
    settings.RecallHiddenWeights.at(0, 1) = 1e6;
    settings.RecallOutputWeights.at(0, 0) = 2.0;
    settings.RecallOutputWeights.at(1, 0) = -1e6;
    const std::vector<double> input{1.0};
    // Hidden outputs 0 and 1; the output net is about -1e6, so e^-net overflows.
    EXPECT_EQ((std::vector<double>{0.0}), recallBackpropagation(settings, input));
}

TEST(BackpropagationRecall, RefusesAVectorOfAnotherSize) {
    NetworkSettings settings;
    loadNetwork(settings, 2, 1, 1, 1.0, 1.0);
    const std::vector<double> input{1.0};
    EXPECT_THROW(recallBackpropagation(settings, input), UserError);
}

// The plain loops with the neuron library's function, as recall was first
// written: the vector kernels must give these bits exactly, or a network's
// recalled outputs would change with the processor.
std::vector<double> plainRecall(const NetworkSettings& s, const std::vector<double>& input) {
    const std::size_t H = s.RecallHiddenThresholds.size();
    const std::size_t O = s.RecallOutputThresholds.size();
    std::vector<double> hidden(H, 0.0);
    for (std::size_t i = 0; i < input.size(); ++i) {
        for (std::size_t j = 0; j < H; ++j) {
            hidden[j] += s.RecallHiddenWeights.row(i)[j] * (input[i] / s.RecallInputScale);
        }
    }
    for (std::size_t j = 0; j < H; ++j) {
        hidden[j] = LogisticThreshold(hidden[j] + s.RecallHiddenThresholds[j]);
    }
    std::vector<double> output(O, 0.0);
    for (std::size_t j = 0; j < H; ++j) {
        for (std::size_t k = 0; k < O; ++k) {
            output[k] += s.RecallOutputWeights.row(j)[k] * hidden[j];
        }
    }
    for (std::size_t k = 0; k < O; ++k) {
        output[k] =
            s.RecallOutputScale * LogisticThreshold(output[k] + s.RecallOutputThresholds[k]);
    }
    return output;
}

TEST(BackpropagationRecall, GivesThePlainLoopsBitsOnARandomNetwork) {
    NetworkSettings settings;
    loadNetwork(settings, 10, 103, 10, 3.0, 10.0);
    std::mt19937 bits(77);
    std::uniform_real_distribution<double> weight(-4.0, 4.0);
    for (double& w : settings.RecallHiddenWeights.values()) {
        w = weight(bits);
    }
    for (double& w : settings.RecallOutputWeights.values()) {
        w = weight(bits);
    }
    for (double& t : settings.RecallHiddenThresholds) {
        t = weight(bits);
    }
    for (double& t : settings.RecallOutputThresholds) {
        t = weight(bits);
    }
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<double> input(10);
        for (double& x : input) {
            x = 20.0 * weight(bits);
        }
        ASSERT_EQ(recallBackpropagation(settings, input), plainRecall(settings, input)) << trial;
    }
}

}  // namespace
}  // namespace vornetica
