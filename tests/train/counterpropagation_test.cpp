#include "train/counterpropagation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "base/user_error.h"
#include "support/kernel_levels.h"
#include "support/recording_progress.h"
#include "support/reference_trainers.h"

namespace vornetica {
namespace {

using testing::forEachKernelLevel;

using testing::RecordingProgress;
using testing::ReferenceCpn;
using testing::referenceCpn;
using testing::Rows;
using testing::sameBits;
using testing::ShownCells;

Matrix<double> toMatrix(const Rows& rows, std::size_t cols) {
    Matrix<double> m(rows.size(), cols);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < cols; ++c)
            m.at(r, c) = rows[r][c];
    return m;
}

TrainingSet makeSet(const Rows& X, const Rows& Y, int I, int O) {
    TrainingSet set;
    set.count = static_cast<std::int16_t>(X.size());
    set.inputs = toMatrix(X, I);
    set.outputs = toMatrix(Y, O);
    return set;
}

// Inputs and targets of mixed sign, from a generator of their own.
Rows someValues(int rows, int cols, RandomSource& source) {
    Rows values(rows, std::vector<double>(cols));
    for (auto& row : values)
        for (double& v : row)
            v = 4.0 * source.next() - 1.5;
    return values;
}

void expectSameWeights(const CpnNetwork& network, const ReferenceCpn& ref) {
    ASSERT_EQ(network.HiddenWeights.rows(), ref.U.size());
    for (std::size_t i = 0; i < ref.U.size(); ++i)
        ASSERT_TRUE(sameBits(network.HiddenWeights.row(i), ref.U[i])) << "U row " << i;
    for (std::size_t j = 0; j < ref.V.size(); ++j)
        ASSERT_TRUE(sameBits(network.OutputWeights.row(j), ref.V[j])) << "V row " << j;
}

struct Size {
    int I, H, O, T, P;
};

void PrintTo(const Size& s, std::ostream* out) {
    *out << s.I << "-" << s.H << "-" << s.O << ", T " << s.T << ", P " << s.P;
}

std::string sizeName(const ::testing::TestParamInfo<Size>& info) {
    const Size& s = info.param;
    return "I" + std::to_string(s.I) + "_H" + std::to_string(s.H) + "_O" + std::to_string(s.O) +
           "_T" + std::to_string(s.T) + "_P" + std::to_string(s.P);
}

class CpnMatchesReference : public ::testing::TestWithParam<Size> {};

TEST_P(CpnMatchesReference, WeightsAndEverythingShownBitForBit) {
    const Size size = GetParam();
    CpnParameters par{size.I, size.H, size.O, 0.5, 0.75, size.T};
    RandomSource dataSource;
    const Rows X = someValues(size.P, size.I, dataSource);
    const Rows Y = someValues(size.P, size.O, dataSource);

    forEachKernelLevel([&] {
        RandomSource random, referenceRandom;
        RecordingProgress progress;
        const CpnRun run =
            trainCounterpropagation(par, makeSet(X, Y, size.I, size.O), random, progress);
        const ReferenceCpn ref = referenceCpn(par, X, Y, referenceRandom);

        expectSameWeights(run.network, ref);
        EXPECT_TRUE(progress.shown == ref.shown);
        ASSERT_EQ(progress.epochs.size(), ref.largestChanges.size());
        for (std::size_t p = 0; p < ref.largestChanges.size(); ++p) {
            EXPECT_EQ(progress.epochs[p].index, int(p));
            EXPECT_EQ(progress.epochs[p].largestError, ref.largestChanges[p]);
        }
        EXPECT_FALSE(run.stopped);
    });
}

INSTANTIATE_TEST_SUITE_P(SmallAndLarge, CpnMatchesReference,
                         ::testing::Values(Size{4, 50, 4, 100, 6}, Size{1, 3, 2, 10, 4},
                                           Size{3, 1, 2, 20, 5}, Size{7, 13, 5, 30, 3},
                                           Size{64, 300, 32, 12, 3}),
                         sizeName);

TEST(Counterpropagation, KohonenRateFallsLinearlyToZeroAtTenThousand) {
    EXPECT_EQ(kohonenRate(0.0), 0.2);
    EXPECT_EQ(kohonenRate(10000.0), 0.0);
    EXPECT_DOUBLE_EQ(kohonenRate(5000.0), 0.1);
    EXPECT_LT(kohonenRate(20000.0), 0.0);
}

TEST(Counterpropagation, OneHundredTimeStepsGiveNinetyNineStepsPerPair) {
    RandomSource dataSource, random;
    const Rows X = someValues(3, 4, dataSource), Y = someValues(3, 4, dataSource);
    RecordingProgress progress;
    trainCounterpropagation(CpnParameters{}, makeSet(X, Y, 4, 4), random, progress);

    EXPECT_EQ(progress.of(ProgressGrid::ErrorValues).size(), 3u * 99u);
    EXPECT_EQ(progress.of(ProgressGrid::OutputValues).size(), 3u * 99u);
    const auto iterations = progress.of(ProgressGrid::Iterations);
    ASSERT_EQ(iterations.size(), 3u);
    EXPECT_EQ(iterations.front().values[0], 0.0);
    EXPECT_EQ(iterations.back().values[0], 2.0);
}

TEST(Counterpropagation, NoTimeStepKeepsTheDrawnOutstarsAndNoPairsKeepsEverything) {
    RandomSource dataSource;
    const Rows X = someValues(2, 3, dataSource), Y = someValues(2, 2, dataSource);
    for (const int steps : {1, 0, -4}) {
        RandomSource random, fresh;
        RecordingProgress progress;
        const CpnRun run = trainCounterpropagation(CpnParameters{3, 5, 2, 0.5, 0.5, steps},
                                                   makeSet(X, Y, 3, 2), random, progress);
        for (int skip = 0; skip < 15; ++skip)
            fresh.next();
        for (const double v : run.network.OutputWeights.values())
            EXPECT_EQ(v, fresh.next());
        EXPECT_TRUE(progress.of(ProgressGrid::ErrorValues).empty());
        EXPECT_EQ(progress.of(ProgressGrid::Iterations).size(), 2u);
    }

    RandomSource random, fresh;
    RecordingProgress progress;
    const CpnRun run = trainCounterpropagation(CpnParameters{3, 5, 2, 0.5, 0.5, 100},
                                               makeSet({}, {}, 3, 2), random, progress);
    for (const double v : run.network.HiddenWeights.values())
        EXPECT_EQ(v, fresh.next());
    for (const double v : run.network.OutputWeights.values())
        EXPECT_EQ(v, fresh.next());
    EXPECT_TRUE(progress.shown.empty());
    EXPECT_TRUE(progress.epochs.empty());
}

// With one input every unit-length column is (1): all units tie and unit 0 always
// wins. Beta 1 and Gamma 0 then zero its outstar at the first step.
TEST(Counterpropagation, TiesGoToTheLowestUnitAndBetaOneGammaZeroClearsTheWinnersRow) {
    RandomSource random, fresh;
    RecordingProgress progress;
    const CpnRun run = trainCounterpropagation(
        CpnParameters{1, 4, 3, 1.0, 0.0, 5}, makeSet({{2.0}, {-3.0}}, {{1, 2, 3}, {4, 5, 6}}, 1, 3),
        random, progress);
    for (int skip = 0; skip < 4; ++skip)
        fresh.next();
    const Matrix<double>& V = run.network.OutputWeights;
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_EQ(V.at(0, k), 0.0);
    for (std::size_t j = 0; j < 4; ++j) {
        for (std::size_t k = 0; k < 3; ++k) {
            const double drawn = fresh.next();
            if (j > 0) {
                EXPECT_EQ(V.at(j, k), drawn);
            }
        }
    }
    for (const ShownCells& cells : progress.of(ProgressGrid::OutputValues))
        EXPECT_TRUE(sameBits(cells.values, std::vector<double>{0.0, 0.0, 0.0}));
}

TEST(Counterpropagation, OneHiddenUnitWinsEveryStep) {
    RandomSource dataSource, random;
    const Rows X = someValues(3, 4, dataSource), Y = someValues(3, 2, dataSource);
    RecordingProgress progress;
    // Gamma 0: every change is -Beta times the single row's current value.
    const CpnRun run = trainCounterpropagation(CpnParameters{4, 1, 2, 0.5, 0.0, 4},
                                               makeSet(X, Y, 4, 2), random, progress);
    const auto outputs = progress.of(ProgressGrid::OutputValues);
    ASSERT_EQ(outputs.size(), 9u);
    for (std::size_t s = 1; s < outputs.size(); ++s)
        for (std::size_t k = 0; k < 2; ++k)
            EXPECT_EQ(outputs[s].values[k], outputs[s - 1].values[k] * 0.5);
    EXPECT_TRUE(sameBits(run.network.OutputWeights.row(0), outputs.back().values));
}

TEST(Counterpropagation, EveryColumnEndsAtUnitLengthAndZeroInputsStayFinite) {
    RandomSource dataSource, random;
    Rows X = someValues(4, 5, dataSource);
    X[1] = {0, 0, 0, 0, 0};
    const Rows Y = someValues(4, 3, dataSource);
    RecordingProgress progress;
    const CpnRun run = trainCounterpropagation(CpnParameters{5, 20, 3, 0.5, 0.5, 8},
                                               makeSet(X, Y, 5, 3), random, progress);
    const Matrix<double>& U = run.network.HiddenWeights;
    for (std::size_t j = 0; j < U.cols(); ++j) {
        double sum = 0.0;
        for (std::size_t i = 0; i < U.rows(); ++i)
            sum += U.at(i, j) * U.at(i, j);
        EXPECT_NEAR(std::sqrt(sum), 1.0, 1e-12) << "column " << j;
    }
    for (const double v : run.network.OutputWeights.values())
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_TRUE(
        sameBits(progress.of(ProgressGrid::InputValues)[1].values, std::vector<double>(5, 0.0)));
}

TEST(Counterpropagation, PositiveMultiplesOfAnInputTrainIdentically) {
    RandomSource dataSource;
    const Rows X = someValues(3, 4, dataSource), Y = someValues(3, 2, dataSource);
    Rows scaled = X;
    for (auto& row : scaled)
        for (double& v : row)
            v *= 4.0;
    RandomSource first, second;
    RecordingProgress progress, scaledProgress;
    const CpnParameters par{4, 6, 2, 0.5, 0.5, 10};
    const CpnRun a = trainCounterpropagation(par, makeSet(X, Y, 4, 2), first, progress);
    const CpnRun b = trainCounterpropagation(par, makeSet(scaled, Y, 4, 2), second, scaledProgress);
    EXPECT_EQ(a.network.HiddenWeights, b.network.HiddenWeights);
    EXPECT_EQ(a.network.OutputWeights, b.network.OutputWeights);
    EXPECT_TRUE(progress.shown == scaledProgress.shown);
}

TEST(Counterpropagation, SecondRunContinuesTheGeneratorAndStopEndsBetweenPairs) {
    RandomSource dataSource, random;
    const Rows X = someValues(4, 3, dataSource), Y = someValues(4, 2, dataSource);
    const CpnParameters par{3, 4, 2, 0.5, 0.5, 5};
    SilentProgress silent;
    const CpnRun first = trainCounterpropagation(par, makeSet(X, Y, 3, 2), random, silent);
    RecordingProgress stopping;
    stopping.stopAfterQuestions = 1;
    const CpnRun second = trainCounterpropagation(par, makeSet(X, Y, 3, 2), random, stopping);
    EXPECT_NE(first.network.HiddenWeights, second.network.HiddenWeights);
    EXPECT_TRUE(second.stopped);
    EXPECT_EQ(stopping.epochs.size(), 2u);

    // A request that comes when the last pair is done stops nothing.
    RecordingProgress late;
    late.stopAfterQuestions = 0;
    EXPECT_FALSE(trainCounterpropagation(par, makeSet({X[0]}, {Y[0]}, 3, 2), random, late).stopped);
}

TEST(Counterpropagation, RefusesSizesBelowOneAndMismatchedData) {
    RandomSource random;
    SilentProgress silent;
    EXPECT_THROW(trainCounterpropagation(CpnParameters{3, 0, 2, 0.5, 0.5, 5}, makeSet({}, {}, 3, 2),
                                         random, silent),
                 UserError);
    EXPECT_THROW(trainCounterpropagation(CpnParameters{3, 2, 2, 0.5, 0.5, 5},
                                         makeSet({{1, 2}}, {{1, 2}}, 2, 2), random, silent),
                 UserError);
}

}  // namespace
}  // namespace vornetica
