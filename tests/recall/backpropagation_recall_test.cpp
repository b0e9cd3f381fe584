#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/user_error.h"
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

}  // namespace
}  // namespace vornetica
