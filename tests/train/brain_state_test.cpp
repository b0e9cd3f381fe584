#include "train/brain_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "support/kernel_levels.h"
#include "support/recording_progress.h"
#include "support/reference_trainers.h"

namespace vornetica {
namespace {

using testing::forEachKernelLevel;

using testing::RecordingProgress;
using testing::ReferenceBsb;
using testing::referenceBsb;
using testing::Rows;
using testing::sameBits;
using testing::ShownCells;

TrainingSet makeSet(const Rows& X, int I) {
    TrainingSet set;
    set.count = static_cast<std::int16_t>(X.size());
    set.inputs = Matrix<double>(X.size(), std::size_t(I));
    for (std::size_t p = 0; p < X.size(); ++p)
        for (int i = 0; i < I; ++i)
            set.inputs.at(p, std::size_t(i)) = X[p][i];
    return set;
}

Rows bipolarPatterns(int count, int size, RandomSource& source) {
    Rows values(count, std::vector<double>(size));
    for (auto& row : values)
        for (double& v : row)
            v = source.next() < 0.5 ? -1.0 : 1.0;
    return values;
}

struct Case {
    int I, P;
    double Alpha, ErrorThreshold;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.I << " units, " << c.P << " patterns, Alpha " << c.Alpha << ", ErrorThreshold "
         << c.ErrorThreshold;
}

// A test name may hold only letters, digits and underscores.
std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    std::ostringstream name;
    name << "I" << info.param.I << "_P" << info.param.P << "_Alpha" << info.param.Alpha
         << "_Threshold" << info.param.ErrorThreshold;
    std::string text = name.str();
    std::replace(text.begin(), text.end(), '.', '_');
    return text;
}

class BsbMatchesReference : public ::testing::TestWithParam<Case> {};

TEST_P(BsbMatchesReference, WeightsPassesAndEverythingShownBitForBit) {
    const Case c = GetParam();
    const BsbParameters par{c.I, c.Alpha, c.ErrorThreshold};
    RandomSource dataSource;
    const Rows X = bipolarPatterns(c.P, c.I, dataSource);
    forEachKernelLevel([&] {
        RandomSource random, referenceRandom;
        RecordingProgress progress;
        const BsbRun run = trainBrainStateInABox(par, makeSet(X, c.I), random, progress);
        const ReferenceBsb ref = referenceBsb(par, X, referenceRandom);

        for (int i = 0; i < c.I; ++i)
            ASSERT_TRUE(sameBits(run.network.Weights.row(std::size_t(i)), ref.W[i])) << "row " << i;
        EXPECT_EQ(run.passes, ref.passes);
        EXPECT_TRUE(progress.shown == ref.shown);
        EXPECT_EQ(progress.epochs.size(), std::size_t(ref.passes));
        EXPECT_EQ(run.passLimitReached, ref.limitReached);
    });
}

// Sizes that fill the eight-row blocks exactly, and ones that leave a remainder.
// With four bipolar units and Alpha 0.5 each correction overshoots to the opposite
// error, so that case runs to the pass limit.
INSTANTIATE_TEST_SUITE_P(SmallAndLarge, BsbMatchesReference,
                         ::testing::Values(Case{4, 2, 0.5, 0.01}, Case{4, 2, 0.1, 0.01},
                                           Case{1, 3, 0.5, 0.01}, Case{9, 3, 0.2, 0.01},
                                           Case{16, 4, 0.1, 0.05}, Case{77, 5, 0.01, 0.1},
                                           Case{256, 3, 0.002, 0.5}),
                         caseName);

TEST(BrainStateInABox, ThresholdAboveEveryErrorEndsAfterOnePass) {
    RandomSource dataSource, random;
    const Rows X = bipolarPatterns(5, 6, dataSource);
    RecordingProgress progress;
    const BsbRun run =
        trainBrainStateInABox(BsbParameters{6, 0.5, 1e300}, makeSet(X, 6), random, progress);
    EXPECT_EQ(run.passes, 1);
    const auto iterations = progress.of(ProgressGrid::Iterations);
    ASSERT_EQ(iterations.size(), 5u);
    for (const ShownCells& cells : iterations)
        EXPECT_EQ(cells.values[0], 0.0);
    ASSERT_EQ(progress.epochs.size(), 1u);
}

// With one unit, e = x (1 - w) and w < 1, so a negative x gives a negative error.
TEST(BrainStateInABox, NegativeErrorsNeverAskForAnotherPass) {
    RandomSource random;
    RecordingProgress progress;
    const BsbRun run =
        trainBrainStateInABox(BsbParameters{1, 0.5, 0.01}, makeSet({{-5.0}}, 1), random, progress);
    EXPECT_EQ(run.passes, 1);
    const auto errors = progress.of(ProgressGrid::ErrorValues);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_LT(errors[0].values[0], -1.0);
    EXPECT_TRUE(
        sameBits(progress.of(ProgressGrid::InputValues)[0].values, std::vector<double>{-5.0}));
}

TEST(BrainStateInABox, NoVectorsRunOnePassShowingNothing) {
    RandomSource random, fresh;
    RecordingProgress progress;
    const BsbRun run =
        trainBrainStateInABox(BsbParameters{3, 0.5, 0.01}, makeSet({}, 3), random, progress);
    EXPECT_EQ(run.passes, 1);
    EXPECT_TRUE(progress.shown.empty());
    for (const double w : run.network.Weights.values())
        EXPECT_EQ(w, 2.0 * double(fresh.next()) - 1.0);
}

// Alpha 0 never changes W, so the same positive error comes back every pass.
TEST(BrainStateInABox, ErrorsThatNeverFallEndAtThePassLimit) {
    RandomSource random;
    RecordingProgress progress;
    const BsbRun run =
        trainBrainStateInABox(BsbParameters{1, 0.0, 1e-9}, makeSet({{1.0}}, 1), random, progress);
    ASSERT_LT(run.network.Weights.at(0, 0), 1.0);
    EXPECT_EQ(run.passes, kBsbPassLimit);
    EXPECT_TRUE(run.passLimitReached);
    EXPECT_FALSE(run.stopped);
    EXPECT_EQ(progress.of(ProgressGrid::Iterations).back().values[0], kBsbPassLimit - 1.0);
    EXPECT_EQ(progress.epochs.size(), std::size_t(kBsbPassLimit));
}

TEST(BrainStateInABox, StopRequestEndsTheRunAfterTheCurrentPair) {
    RandomSource dataSource, random;
    const Rows X = bipolarPatterns(3, 4, dataSource);
    RecordingProgress progress;
    progress.stopAfterQuestions = 4;  // the fifth pair is the last one
    const BsbRun run =
        trainBrainStateInABox(BsbParameters{4, 0.0, 1e-9}, makeSet(X, 4), random, progress);
    EXPECT_TRUE(run.stopped);
    EXPECT_FALSE(run.passLimitReached);
    EXPECT_EQ(progress.of(ProgressGrid::ErrorValues).size(), 5u);
    EXPECT_EQ(run.passes, 2);

    // A request that comes when the run ends anyway stops nothing.
    RecordingProgress late;
    late.stopAfterQuestions = 0;
    EXPECT_FALSE(
        trainBrainStateInABox(BsbParameters{4, 0.5, 1e300}, makeSet({X[0]}, 4), random, late)
            .stopped);
}

}  // namespace
}  // namespace vornetica
