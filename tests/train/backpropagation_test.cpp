#include "train/backpropagation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "base/user_error.h"
#include "neuron/threshold.h"
#include "support/kernel_levels.h"
#include "support/recording_progress.h"
#include "support/reference_trainers.h"

namespace vornetica {
namespace {

using testing::forEachKernelLevel;
using testing::RecordingProgress;
using testing::ReferenceBpn;
using testing::referenceBpn;
using testing::ShownCells;
using Grid = std::vector<std::vector<double>>;

std::uint64_t bits(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

void expectSameBits(const std::vector<double>& expected, std::span<const double> actual,
                    const std::string& what) {
    ASSERT_EQ(expected.size(), actual.size()) << what;
    for (std::size_t n = 0; n < expected.size(); ++n) {
        ASSERT_EQ(bits(expected[n]), bits(actual[n])) << what << " element " << n;
    }
}

void expectSameNetwork(const ReferenceBpn& expected, const BpnNetwork& actual) {
    ASSERT_EQ(expected.HiddenWeights.size(), actual.HiddenWeights.rows());
    for (std::size_t i = 0; i < expected.HiddenWeights.size(); ++i) {
        expectSameBits(expected.HiddenWeights[i], actual.HiddenWeights.row(i),
                       "hidden weight row " + std::to_string(i));
    }
    ASSERT_EQ(expected.OutputWeights.size(), actual.OutputWeights.rows());
    for (std::size_t j = 0; j < expected.OutputWeights.size(); ++j) {
        expectSameBits(expected.OutputWeights[j], actual.OutputWeights.row(j),
                       "output weight row " + std::to_string(j));
    }
    expectSameBits(expected.HiddenThresholds, actual.HiddenThresholds, "hidden thresholds");
    expectSameBits(expected.OutputThresholds, actual.OutputThresholds, "output thresholds");
}

void expectSameShown(const std::vector<ShownCells>& expected,
                     const std::vector<ShownCells>& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t n = 0; n < expected.size(); ++n) {
        ASSERT_EQ(expected[n].grid, actual[n].grid) << "call " << n;
        ASSERT_EQ(expected[n].firstColumn, actual[n].firstColumn) << "call " << n;
        ASSERT_EQ(expected[n].width, actual[n].width) << "call " << n;
        expectSameBits(expected[n].values, actual[n].values, "call " + std::to_string(n));
    }
}

TrainingSet makeSet(const Grid& inputs, const Grid& outputs) {
    TrainingSet set;
    set.count = static_cast<std::int16_t>(inputs.size());
    const std::size_t I = inputs.empty() ? 0 : inputs[0].size();
    const std::size_t O = outputs.empty() ? 0 : outputs[0].size();
    set.inputs = Matrix<double>(inputs.size(), I);
    set.outputs = Matrix<double>(outputs.size(), O);
    for (std::size_t p = 0; p < inputs.size(); ++p) {
        for (std::size_t i = 0; i < I; ++i)
            set.inputs.at(p, i) = inputs[p][i];
        for (std::size_t k = 0; k < O; ++k)
            set.outputs.at(p, k) = outputs[p][k];
    }
    return set;
}

TrainingSet randomSet(int P, int I, int O, unsigned seed, double spread) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> value(-spread, spread);
    Grid inputs(P, std::vector<double>(I)), outputs(P, std::vector<double>(O));
    for (auto& row : inputs)
        for (double& v : row)
            v = value(engine);
    for (auto& row : outputs)
        for (double& v : row)
            v = value(engine);
    TrainingSet set;
    set.count = static_cast<std::int16_t>(P);
    set.inputs = Matrix<double>(P, I);
    set.outputs = Matrix<double>(P, O);
    for (int p = 0; p < P; ++p) {
        for (int i = 0; i < I; ++i)
            set.inputs.at(p, i) = inputs[p][i];
        for (int k = 0; k < O; ++k)
            set.outputs.at(p, k) = outputs[p][k];
    }
    return set;
}

TrainingSet xorSet() {
    return makeSet({{0, 0}, {0, 1}, {1, 0}, {1, 1}}, {{0}, {1}, {1}, {0}});
}

BpnParameters parameters(int I, int H, int O, ThresholdKind function, int maxIterations) {
    BpnParameters s;
    s.inputSize = I;
    s.hiddenSize = H;
    s.outputSize = O;
    s.MaxIterations = maxIterations;
    s.threshold.function = function;
    return s;
}

struct MatchCase {
    std::string name;
    int I, H, O, P, maxIterations;
    ThresholdKind function;
    double InputScale, OutputScale, spread;
};

void PrintTo(const MatchCase& c, std::ostream* out) {
    *out << c.name;
}

class MatchesTheReference : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchesTheReference, WeightsAndEverythingShownBitForBit) {
    const MatchCase& c = GetParam();
    BpnParameters s = parameters(c.I, c.H, c.O, c.function, c.maxIterations);
    s.InputScale = c.InputScale;
    s.OutputScale = c.OutputScale;
    s.threshold.LinearSlope = 0.7;
    s.threshold.RampBoundary = 0.8;
    s.threshold.StepUpperBoundary = 0.9;
    s.threshold.StepLowerBoundary = 0.1;
    const TrainingSet data =
        c.name == "xor" ? xorSet() : randomSet(c.P, c.I, c.O, 17u * c.H + c.O, c.spread);

    forEachKernelLevel([&] {
        RandomSource referenceRandom;
        const ReferenceBpn expected = referenceBpn(s, data, referenceRandom);
        RandomSource random;
        RecordingProgress progress;
        const BpnRun run = trainBackpropagation(s, data, random, progress);

        expectSameNetwork(expected, run.network);
        expectSameShown(expected.shown, progress.shown);
        EXPECT_EQ(expected.epochs, run.epochs);
        EXPECT_EQ(std::size_t(run.epochs), progress.epochs.size());
        EXPECT_FALSE(run.stopped);
        // Both runs drew the same number of values.
        EXPECT_EQ(referenceRandom.next(), random.next());
    });
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, MatchesTheReference,
    ::testing::Values(
        MatchCase{"xor", 2, 2, 1, 4, 300, ThresholdKind::Logistic, 1.0, 1.0, 0},
        MatchCase{"tiny", 2, 2, 1, 5, 20, ThresholdKind::Step, 2.0, 1.0, 3},
        MatchCase{"default", 1, 100, 1, 30, 8, ThresholdKind::Logistic, 10.0, 10.0, 10},
        MatchCase{"wide", 10, 20, 5, 12, 6, ThresholdKind::Logistic, 2.0, 1.0, 3},
        MatchCase{"tanh", 10, 20, 5, 12, 6, ThresholdKind::Tanh, 2.0, 1.0, 3},
        MatchCase{"step", 10, 20, 5, 12, 6, ThresholdKind::Step, 2.0, 1.0, 3},
        MatchCase{"linear", 10, 20, 5, 12, 6, ThresholdKind::Linear, 4.0, 2.0, 1},
        MatchCase{"ramp", 10, 20, 5, 12, 6, ThresholdKind::Ramp, 2.0, 1.0, 3},
        MatchCase{"squares", 10, 20, 5, 12, 6, ThresholdKind::RatioSquares, 2.0, 1.0, 3},
        MatchCase{"none", 3, 7, 6, 5, 6, ThresholdKind::NoneChosen, 2.0, 1.0, 3},
        MatchCase{"odd", 3, 9, 3, 7, 6, ThresholdKind::Logistic, -3.0, 0.5, 3},
        MatchCase{"narrow", 12, 24, 7, 6, 4, ThresholdKind::Logistic, 2.0, 1.0, 3},
        MatchCase{"narrowest", 40, 20, 1, 6, 4, ThresholdKind::Tanh, 2.0, 1.0, 3},
        // Layers whose columns leave every narrower strip after the widest ones.
        MatchCase{"strips", 5, 47, 37, 6, 3, ThresholdKind::Logistic, 2.0, 1.0, 3},
        // Output sums taken from turned tiles of 8 and 12 rows, with rows left over.
        MatchCase{"tiles8", 4, 18, 10, 5, 3, ThresholdKind::Logistic, 2.0, 1.0, 3},
        MatchCase{"tiles12", 4, 13, 14, 5, 3, ThresholdKind::Logistic, 2.0, 1.0, 3},
        // Output weights too many for one panel: panels of 32 nodes, the last of 2.
        MatchCase{"large", 6, 130, 130, 4, 1, ThresholdKind::Logistic, 2.0, 1.0, 3},
        // Panels with a last one of 12 nodes.
        MatchCase{"long", 3, 300, 120, 3, 1, ThresholdKind::Logistic, 2.0, 1.0, 3},
        // Panels whose rows are fewer than a tile's four.
        MatchCase{"panelsFewOutputs", 3, 6000, 3, 3, 1, ThresholdKind::Logistic, 2.0, 1.0, 3},
        // Hidden weights in panels of 32 nodes, the last of 12; all of equal width;
        // and both layers' weights in panels at once.
        MatchCase{"hiddenPanels", 120, 300, 3, 3, 1, ThresholdKind::Logistic, 2.0, 1.0, 3},
        MatchCase{"hiddenPanelsEven", 130, 256, 2, 3, 1, ThresholdKind::Logistic, 2.0, 1.0, 3},
        MatchCase{"bothInPanels", 140, 260, 70, 3, 1, ThresholdKind::Logistic, 2.0, 1.0, 3}),
    [](const auto& info) { return info.param.name; });

TEST(Backpropagation, StopRequestEndsAfterTheCurrentVector) {
    const BpnParameters s = parameters(10, 20, 5, ThresholdKind::Logistic, 50);
    const TrainingSet data = randomSet(6, 10, 5, 3, 2);
    RandomSource referenceRandom;
    const ReferenceBpn expected = referenceBpn(s, data, referenceRandom, 15);
    RandomSource random;
    RecordingProgress progress;
    progress.stopAfterQuestions = 14;
    const BpnRun run = trainBackpropagation(s, data, random, progress);

    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(15, progress.questions);
    expectSameNetwork(expected, run.network);
    expectSameShown(expected.shown, progress.shown);
    // Two whole epochs reported; the third was cut short.
    EXPECT_EQ(2u, progress.epochs.size());
}

TEST(Backpropagation, EmptySetRunsOneEmptyEpochAndKeepsTheInitialDraws) {
    BpnParameters s = parameters(2, 3, 2, ThresholdKind::Logistic, 100);
    s.InputScale = 4.0;
    s.OutputScale = -2.0;
    TrainingSet empty;
    empty.inputs = Matrix<double>(0, 2);
    empty.outputs = Matrix<double>(0, 2);
    RandomSource random;
    RecordingProgress progress;
    const BpnRun run = trainBackpropagation(s, empty, random, progress);

    EXPECT_EQ(1, run.epochs);
    EXPECT_TRUE(progress.shown.empty());
    ASSERT_EQ(1u, progress.epochs.size());
    EXPECT_EQ(0, progress.questions);
    EXPECT_EQ(4.0, run.network.InputScale);
    EXPECT_EQ(-2.0, run.network.OutputScale);

    // Hidden weights row by row, output weights row by row, hidden then output thresholds.
    RandomSource fresh;
    auto next = [&fresh] { return 2.0 * double(fresh.next()) - 1.0; };
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            EXPECT_EQ(next(), run.network.HiddenWeights.at(i, j));
    for (std::size_t j = 0; j < 3; ++j)
        for (std::size_t k = 0; k < 2; ++k)
            EXPECT_EQ(next(), run.network.OutputWeights.at(j, k));
    for (std::size_t j = 0; j < 3; ++j)
        EXPECT_EQ(next(), run.network.HiddenThresholds[j]);
    for (std::size_t k = 0; k < 2; ++k)
        EXPECT_EQ(next(), run.network.OutputThresholds[k]);
    EXPECT_EQ(fresh.next(), random.next());
}

std::vector<double> iterationsShown(const RecordingProgress& progress) {
    std::vector<double> counters;
    for (const ShownCells& cells : progress.of(ProgressGrid::Iterations)) {
        counters.push_back(cells.values.at(0));
    }
    return counters;
}

TEST(Backpropagation, FirstEpochFitStopsWithIterationZero) {
    BpnParameters s = parameters(2, 2, 1, ThresholdKind::Logistic, 100);
    s.ErrorThreshold = 0.3;  // (1 - o) o (t - o) never exceeds 0.25 for targets in [0, 1]
    s.InputScale = s.OutputScale = 1.0;
    RandomSource random;
    RecordingProgress progress;
    const BpnRun run = trainBackpropagation(s, xorSet(), random, progress);
    EXPECT_EQ(1, run.epochs);
    EXPECT_EQ(std::vector<double>(4, 0.0), iterationsShown(progress));
}

TEST(Backpropagation, LargeNegativeErrorsNeverContinue) {
    BpnParameters s = parameters(1, 5, 2, ThresholdKind::Logistic, 100);
    s.OutputScale = 1.0;
    const TrainingSet data = makeSet({{1}, {2}}, {{-100, -50}, {-80, -90}});
    RandomSource random;
    RecordingProgress progress;
    const BpnRun run = trainBackpropagation(s, data, random, progress);
    EXPECT_EQ(1, run.epochs);
    ASSERT_EQ(1u, progress.epochs.size());
    EXPECT_LT(progress.epochs[0].largestError, 0.0);
    EXPECT_LT(progress.of(ProgressGrid::ErrorValues).at(0).values.at(0), -1.0);
}

TEST(Backpropagation, HighErrorsRunMaxIterationsPlusTwoEpochs) {
    const TrainingSet data = makeSet({{1}, {3}}, {{5}, {9}});
    for (const int limit : {0, 1, 100}) {
        BpnParameters s = parameters(1, 3, 1, ThresholdKind::Logistic, limit);
        s.ErrorThreshold = -1.0;  // no signal can fall to it
        RandomSource random;
        RecordingProgress progress;
        const BpnRun run = trainBackpropagation(s, data, random, progress);
        EXPECT_EQ(limit + 2, run.epochs) << limit;
        const std::vector<double> counters = iterationsShown(progress);
        ASSERT_EQ(std::size_t(2 * (limit + 2)), counters.size());
        EXPECT_EQ(0.0, counters.front());
        EXPECT_EQ(double(limit + 1), counters.back());
        ASSERT_EQ(std::size_t(limit + 2), progress.epochs.size());
        EXPECT_EQ(limit + 1, progress.epochs.back().index);
    }
}

TEST(Backpropagation, CounterIsWideEnoughForTheLargestLimit) {
    BpnParameters s = parameters(1, 1, 1, ThresholdKind::Logistic, 32767);
    s.ErrorThreshold = -1.0;
    RandomSource random;
    SilentProgress silent;
    const BpnRun run = trainBackpropagation(s, makeSet({{1}}, {{100}}), random, silent);
    EXPECT_EQ(32769, run.epochs);
}

TEST(Backpropagation, EpochReportGivesLargestSignalAndMeanSquare) {
    const BpnParameters s = parameters(2, 3, 2, ThresholdKind::Logistic, 2);
    const TrainingSet data = randomSet(3, 2, 2, 9, 5);
    RandomSource random;
    RecordingProgress progress;
    trainBackpropagation(s, data, random, progress);
    const auto errors = progress.of(ProgressGrid::ErrorValues);
    ASSERT_EQ(3u * progress.epochs.size(), errors.size());
    for (std::size_t epoch = 0; epoch < progress.epochs.size(); ++epoch) {
        double largest = errors[3 * epoch].values[0];
        double squares = 0.0;
        for (std::size_t p = 0; p < 3; ++p) {
            for (const double d : errors[3 * epoch + p].values) {
                largest = std::max(largest, d);
                squares += d * d;
            }
        }
        EXPECT_EQ(int(epoch), progress.epochs[epoch].index);
        EXPECT_EQ(largest, progress.epochs[epoch].largestError);
        EXPECT_EQ(squares / 6.0, progress.epochs[epoch].meanSquaredError);
    }
}

TEST(Backpropagation, ShowsScaledInputsAndRawOutputs) {
    BpnParameters s = parameters(2, 2, 1, ThresholdKind::Logistic, 0);
    s.InputScale = 8.0;
    s.ErrorThreshold = -1.0;
    RandomSource random;
    RecordingProgress progress;
    trainBackpropagation(s, makeSet({{1, -3}}, {{5}}), random, progress);
    ASSERT_EQ(14u, progress.shown.size());  // two epochs of seven grids
    const ShownCells& input = progress.shown[0];
    EXPECT_EQ(ProgressGrid::InputValues, input.grid);
    EXPECT_EQ(5, input.width);
    EXPECT_EQ((std::vector<double>{0.125, -0.375}), input.values);
    const ShownCells& output = progress.shown[3];
    EXPECT_EQ(ProgressGrid::OutputValues, output.grid);
    EXPECT_EQ(6, output.width);
    ASSERT_EQ(1u, output.values.size());
    EXPECT_GT(output.values[0], 0.0);
    EXPECT_LT(output.values[0], 1.0);  // the node's own output, not times OutputScale
}

TEST(Backpropagation, FreshSourceRepeatsAndSecondRunDiffers) {
    const BpnParameters s = parameters(2, 2, 1, ThresholdKind::Logistic, 20);
    SilentProgress silent;
    RandomSource first, second;
    const BpnRun a = trainBackpropagation(s, xorSet(), first, silent);
    const BpnRun b = trainBackpropagation(s, xorSet(), second, silent);
    EXPECT_EQ(a.network.HiddenWeights, b.network.HiddenWeights);
    EXPECT_EQ(a.network.OutputThresholds, b.network.OutputThresholds);
    const BpnRun c = trainBackpropagation(s, xorSet(), first, silent);
    EXPECT_NE(a.network.HiddenWeights, c.network.HiddenWeights);
}

TEST(Backpropagation, RefusesDataOfOtherSizes) {
    const BpnParameters s = parameters(2, 2, 1, ThresholdKind::Logistic, 5);
    RandomSource random;
    SilentProgress silent;
    EXPECT_THROW(trainBackpropagation(s, randomSet(2, 3, 1, 1, 1), random, silent), UserError);
}

}  // namespace
}  // namespace vornetica
