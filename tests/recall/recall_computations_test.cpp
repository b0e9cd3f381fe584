#include "recall/recall_computations.h"
#include "base/rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/random_source.h"
#include "base/user_error.h"
#include "support/recording_progress.h"

namespace vornetica {
namespace {

using testing::sameBits;
using Rows = std::vector<std::vector<double>>;

Matrix<double> toMatrix(const Rows& rows) {
    Matrix<double> m(rows.size(), rows.empty() ? 0 : rows[0].size());
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            m.at(r, c) = rows[r][c];
    return m;
}

Rows randomRows(int rows, int cols, RandomSource& source) {
    Rows values(rows, std::vector<double>(cols));
    for (auto& row : values)
        for (double& v : row)
            v = 2.0 * source.next() - 1.0;
    return values;
}

// ---- Counterpropagation ----

void loadCpn(NetworkSettings& settings, const Rows& U, const Rows& V) {
    settings.RecallInputSize = static_cast<std::int16_t>(U.size());
    settings.RecallHiddenSize = static_cast<std::int16_t>(V.size());
    settings.RecallOutputSize = static_cast<std::int16_t>(V[0].size());
    settings.RecallHiddenWeights = toMatrix(U);
    settings.RecallOutputWeights = toMatrix(V);
}

std::vector<double> referenceCpnRecall(const Rows& U, const Rows& V, const std::vector<double>& x) {
    const std::size_t H = V.size();
    std::vector<double> net(H);
    for (std::size_t j = 0; j < H; ++j) {
        double s = 0.0;
        for (std::size_t i = 0; i < U.size(); ++i)
            s = s + x[i] * U[i][j];
        net[j] = s;
    }
    double best = 0.0;
    std::size_t w = 0;
    for (std::size_t j = 0; j < H; ++j)
        if (net[j] > best) {
            best = net[j];
            w = j;
        }
    return V[w];
}

TEST(CounterpropagationRecall, MatchesTheStraightforwardLoopsAndLeavesOneHotHidden) {
    RandomSource source;
    for (const auto& [I, H, O] :
         {std::tuple{4, 50, 4}, std::tuple{1, 1, 1}, std::tuple{37, 300, 9}}) {
        const Rows U = randomRows(I, H, source), V = randomRows(H, O, source);
        NetworkSettings settings;
        loadCpn(settings, U, V);
        for (int press = 0; press < 5; ++press) {
            const std::vector<double> x = randomRows(1, I, source)[0];
            const std::vector<double> output = recallCounterpropagation(settings, x);
            EXPECT_TRUE(sameBits(output, referenceCpnRecall(U, V, x)));
            EXPECT_TRUE(sameBits(settings.RecallOutputVector, output));
            EXPECT_TRUE(sameBits(settings.RecallStateVector, x));
            int ones = 0;
            for (const double h : settings.RecallHiddenVector) {
                EXPECT_TRUE(h == 0.0 || h == 1.0);
                ones += h == 1.0;
            }
            EXPECT_EQ(ones, 1);
        }
    }
}

TEST(CounterpropagationRecall, WinnerRules) {
    NetworkSettings settings;
    const Rows V{{10, 11}, {20, 21}, {30, 31}};
    loadCpn(settings, {{1, 2, 2}, {-1, 1, 1}}, V);
    // All-zero input and all-negative net inputs: unit 0.
    EXPECT_EQ(recallCounterpropagation(settings, std::vector<double>{0, 0}), V[0]);
    EXPECT_EQ(recallCounterpropagation(settings, std::vector<double>{-1, -5}), V[0]);
    // Units 1 and 2 tie at 3: the lower index wins.
    EXPECT_EQ(recallCounterpropagation(settings, std::vector<double>{1, 1}), V[1]);
    // A positive factor keeps the winner; a negative one can change it.
    EXPECT_EQ(recallCounterpropagation(settings, std::vector<double>{-1, 3}), V[1]);
    EXPECT_EQ(recallCounterpropagation(settings, std::vector<double>{-7, 21}), V[1]);
    EXPECT_EQ(recallCounterpropagation(settings, std::vector<double>{1, -3}), V[0]);
    // A one-unit network always answers with its only row.
    loadCpn(settings, {{-3}, {2}}, {{5, 6}});
    EXPECT_EQ(recallCounterpropagation(settings, std::vector<double>{1, -1}),
              (std::vector<double>{5, 6}));
    EXPECT_THROW(recallCounterpropagation(settings, std::vector<double>{1}), UserError);
}

// ---- Brain-state-in-a-box ----

void loadBsb(NetworkSettings& settings, const Rows& W, double beta, double gamma,
             double threshold) {
    settings.RecallInputSize = static_cast<std::int16_t>(W.size());
    settings.RecallOutputWeights = toMatrix(W);
    settings.RecallBeta = beta;
    settings.RecallGamma = gamma;
    settings.RecallErrorThreshold = threshold;
}

std::vector<double> referenceBsbRecall(const Rows& W, double beta, double gamma,
                                       std::vector<double> a) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        double net = 0.0;
        for (std::size_t m = 0; m < a.size(); ++m)
            net = net + W[i][m] * a[m];
        const double v = beta * net + a[i];
        if (v >= gamma)
            a[i] = gamma;
        if (std::abs(v) < gamma)
            a[i] = v;
        if (v <= -gamma)
            a[i] = -gamma;
    }
    return a;
}

TEST(BrainStateInABoxRecall, MatchesTheSequentialSweepAndStaysInTheBox) {
    RandomSource source;
    for (const int I : {1, 4, 64, 300}) {
        const Rows W = randomRows(I, I, source);
        NetworkSettings settings;
        loadBsb(settings, W, 0.5, 0.5, 0.01);
        for (int press = 0; press < 3; ++press) {
            std::vector<double> x = randomRows(1, I, source)[0];
            for (double& v : x)
                v *= 3.0;
            const BsbRecall result = recallBrainStateInABox(settings, x);
            EXPECT_TRUE(sameBits(result.state, referenceBsbRecall(W, 0.5, 0.5, x)));
            EXPECT_TRUE(sameBits(settings.RecallStartVector, x));
            EXPECT_TRUE(sameBits(settings.RecallStateVector, result.state));
            for (const double v : result.state) {
                EXPECT_LE(v, 0.5);
                EXPECT_GE(v, -0.5);
            }
        }
    }
}

TEST(BrainStateInABoxRecall, ExamplesOfTheBoxAndTheSweep) {
    NetworkSettings settings;
    loadBsb(settings, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, 0.0, 0.5, 0.01);
    const BsbRecall limited = recallBrainStateInABox(settings, std::vector<double>{0.2, 0.7, -3});
    EXPECT_EQ(limited.state, (std::vector<double>{0.2, 0.5, -0.5}));
    EXPECT_FALSE(limited.settled);  // 0.7 -> 0.5 is a change of 0.4 relative to 0.5
    EXPECT_EQ(recallBrainStateInABox(settings, std::vector<double>{0.2, 0.7, -3}).state,
              limited.state);  // the same input twice gives the same output

    settings.RecallErrorThreshold = 5.0;  // the largest relative change is exactly 5
    EXPECT_TRUE(recallBrainStateInABox(settings, std::vector<double>{0.2, 0.7, -3}).settled);

    loadBsb(settings, {{0, 1}, {1, 0}}, 1.0, 10.0, 0.01);
    EXPECT_EQ(recallBrainStateInABox(settings, std::vector<double>{1, 0}).state,
              (std::vector<double>{1, 1}));  // unit 1 already sees unit 0's new value

    const BsbRecall zero = recallBrainStateInABox(settings, std::vector<double>{0, 0});
    EXPECT_EQ(zero.state, (std::vector<double>{0, 0}));
    EXPECT_TRUE(zero.settled);

    // Unit 0 goes from 1 to 0: no relative change exists, and it has not settled.
    loadBsb(settings, {{-1, 0}, {0, 0}}, 1.0, 10.0, 1e300);
    const BsbRecall fallen = recallBrainStateInABox(settings, std::vector<double>{1, 0});
    EXPECT_EQ(fallen.state, (std::vector<double>{0, 0}));
    EXPECT_FALSE(fallen.settled);
}

TEST(BrainStateInABoxRecall, RefusesAGammaOfZeroOrBelow) {
    NetworkSettings settings;
    for (const double gamma : {0.0, -0.5, std::nan("")}) {
        loadBsb(settings, {{0.5}}, 0.5, gamma, 0.01);
        EXPECT_THROW(recallBrainStateInABox(settings, std::vector<double>{1}), UserError);
        EXPECT_TRUE(settings.RecallStateVector.empty());
    }
}

// ---- Discrete autocorrelator ----

void loadDa(NetworkSettings& settings, const std::vector<std::vector<int>>& T) {
    settings.RecallInputSize = static_cast<std::int16_t>(T.size());
    settings.RecallMatrix = Matrix<std::int16_t>(T.size(), T.size());
    for (std::size_t j = 0; j < T.size(); ++j)
        for (std::size_t k = 0; k < T.size(); ++k)
            settings.RecallMatrix.at(j, k) = static_cast<std::int16_t>(T[j][k]);
}

std::vector<std::int16_t> recallDa(NetworkSettings& settings, std::vector<std::int16_t> x) {
    return recallDiscreteAutocorrelator(settings, x);
}

using Bits = std::vector<std::int16_t>;

TEST(DiscreteAutocorrelatorRecall, ExamplesWithTheMatrixOfOneBipolarVector) {
    NetworkSettings settings;
    loadDa(settings, {{0, -1, 1}, {-1, 0, -1}, {1, -1, 0}});
    EXPECT_EQ(recallDa(settings, {1, -1, 1}), (Bits{1, -1, 1}));
    EXPECT_EQ(recallDa(settings, {-1, 1, -1}), (Bits{-1, 1, -1}));
    EXPECT_EQ(recallDa(settings, {1, 1, 1}), (Bits{0, -1, 1}));
    EXPECT_EQ(settings.RecallInputCopy, (Bits{1, 1, 1}));
    EXPECT_EQ(settings.RecallStateBits, (Bits{0, -1, 1}));
    EXPECT_EQ(recallDa(settings, {0, 0, 0}), (Bits{0, 0, 0}));
}

TEST(DiscreteAutocorrelatorRecall, ReadsTheMatrixByColumnsAndUpdatesInPlace) {
    NetworkSettings settings;
    // Column 0 is (0, 1): b(0) follows b(1). Column 1 is (-1, 0): b(1) follows -b(0)
    // with b(0) already new. Row-wise reading would give another answer.
    loadDa(settings, {{0, -1}, {1, 0}});
    EXPECT_EQ(recallDa(settings, {5, 3}), (Bits{1, -1}));
    EXPECT_EQ(recallDa(settings, {5, -3}), (Bits{-1, 1}));
}

TEST(DiscreteAutocorrelatorRecall, SixteenBitOverflowIsReportedAndChangesNothing) {
    NetworkSettings settings;
    loadDa(settings, {{0, 200}, {300, 0}});
    recallDa(settings, {1, 1});
    const Bits before = settings.RecallStateBits;
    try {
        recallDa(settings, {1, 200});  // column 0: 300 * 200
        FAIL() << "300 * 200 leaves 16 bits";
    } catch (const UserError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("product"), std::string::npos) << message;
        EXPECT_NE(message.find("(2, 1)"), std::string::npos) << message;
    }
    EXPECT_EQ(settings.RecallStateBits, before);
    EXPECT_EQ(settings.RecallInputCopy, (Bits{1, 1}));

    loadDa(settings, {{30000, 0}, {30000, 0}});
    try {
        recallDa(settings, {1, 1});  // 30000 + 30000 in column 0
        FAIL() << "the partial sum leaves 16 bits";
    } catch (const UserError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("partial sum"), std::string::npos) << message;
        EXPECT_NE(message.find("(2, 1)"), std::string::npos) << message;
    }
}

TEST(DiscreteAutocorrelatorRecall, RoundsHalvesToEvenWithinSixteenBits) {
    EXPECT_EQ(toInt16RoundingHalfEven(2.5), 2);
    EXPECT_EQ(toInt16RoundingHalfEven(3.5), 4);
    EXPECT_EQ(toInt16RoundingHalfEven(-2.5), -2);
    EXPECT_EQ(toInt16RoundingHalfEven(-3.5), -4);
    EXPECT_EQ(toInt16RoundingHalfEven(0.49999999999999994), 0);
    EXPECT_EQ(toInt16RoundingHalfEven(-0.7), -1);
    EXPECT_EQ(toInt16RoundingHalfEven(32767.4), 32767);
    EXPECT_EQ(toInt16RoundingHalfEven(-32768.5), -32768);
    EXPECT_THROW(toInt16RoundingHalfEven(32767.5), UserError);
    EXPECT_THROW(toInt16RoundingHalfEven(-32769), UserError);
    EXPECT_THROW(toInt16RoundingHalfEven(std::nan("")), UserError);
    EXPECT_THROW(toInt16RoundingHalfEven(INFINITY), UserError);
}

}  // namespace
}  // namespace vornetica
