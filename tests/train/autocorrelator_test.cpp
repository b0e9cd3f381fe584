#include "train/autocorrelator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/random_source.h"
#include "base/user_error.h"
#include "support/kernel_levels.h"
#include "support/recording_progress.h"
#include "support/reference_trainers.h"

namespace vornetica {
namespace {

using testing::forEachKernelLevel;

using testing::Ints;
using testing::RecordingProgress;
using testing::referenceDa;

TrainingSet makeSet(const std::vector<std::vector<double>>& X, int n) {
    TrainingSet set;
    set.count = static_cast<std::int16_t>(X.size());
    set.inputs = Matrix<double>(X.size(), std::size_t(n));
    for (std::size_t p = 0; p < X.size(); ++p)
        for (int i = 0; i < n; ++i)
            set.inputs.at(p, std::size_t(i)) = X[p][i];
    return set;
}

TrainingSet makeSet(const Ints& X, int n) {
    std::vector<std::vector<double>> values;
    for (const auto& x : X)
        values.emplace_back(x.begin(), x.end());
    return makeSet(values, n);
}

std::vector<int> matrixOf(const DaRun& run) {
    const auto& cells = run.network.CorrelationMatrix.values();
    return {cells.begin(), cells.end()};
}

std::vector<int> flatten(const Ints& T) {
    std::vector<int> flat;
    for (const auto& row : T)
        flat.insert(flat.end(), row.begin(), row.end());
    return flat;
}

std::string failureOf(const Ints& X, int n) {
    SilentProgress silent;
    try {
        trainDiscreteAutocorrelator(n, makeSet(X, n), silent);
    } catch (const UserError& error) {
        return error.what();
    }
    return "";
}

TEST(DiscreteAutocorrelator, MatchesTheThreeStepComputationOnManyVectors) {
    forEachKernelLevel([&] {
        RandomSource source;
        for (const int n : {2, 3, 16, 181}) {
            for (const int range : {1, 3}) {  // bipolar, and small integers of either sign
                Ints X(2 * n + 3, std::vector<int>(n));
                for (auto& x : X)
                    for (int& v : x)
                        v = range == 1 ? (source.next() < 0.5 ? -1 : 1)
                                       : int(source.next() * 7.0f) - range;
                RecordingProgress progress;
                const DaRun run = trainDiscreteAutocorrelator(n, makeSet(X, n), progress);
                const auto expected = referenceDa(X, n);
                ASSERT_TRUE(expected.has_value());
                EXPECT_EQ(matrixOf(run), flatten(*expected)) << n;
                ASSERT_EQ(progress.epochs.size(), X.size());
                const std::vector<double> last =
                    progress.of(ProgressGrid::OutputValues).back().values;
                EXPECT_EQ(std::vector<int>(last.begin(), last.end()), flatten(*expected));
                const auto& T = run.network.CorrelationMatrix;
                for (int i = 0; i < n; ++i)
                    for (int j = 0; j < n; ++j)
                        EXPECT_EQ(T.at(i, j), T.at(j, i));
            }
        }
    });
}

TEST(DiscreteAutocorrelator, OneBipolarVectorGivesItsOuterProductLessTheIdentity) {
    RecordingProgress progress;
    const DaRun run = trainDiscreteAutocorrelator(3, makeSet(Ints{{1, -1, 1}}, 3), progress);
    const std::vector<int> expected{0, -1, 1, -1, 0, -1, 1, -1, 0};
    EXPECT_EQ(matrixOf(run), expected);
    const auto grid = progress.of(ProgressGrid::OutputValues);
    ASSERT_EQ(grid.size(), 1u);
    EXPECT_EQ(grid[0].firstColumn, 0);
    EXPECT_EQ(std::vector<int>(grid[0].values.begin(), grid[0].values.end()), expected);
    const auto iterations = progress.of(ProgressGrid::Iterations);
    ASSERT_EQ(iterations.size(), 1u);
    EXPECT_EQ(iterations[0].values[0], 0.0);
}

TEST(DiscreteAutocorrelator, SmallCasesFromTheirDefinition) {
    RecordingProgress progress;
    const DaRun cancelling =
        trainDiscreteAutocorrelator(2, makeSet(Ints{{1, 1}, {1, -1}}, 2), progress);
    EXPECT_EQ(matrixOf(cancelling), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(progress.of(ProgressGrid::Iterations).back().values[0], 1.0);

    SilentProgress silent;
    // 0/1 vectors are not made bipolar.
    EXPECT_EQ(matrixOf(trainDiscreteAutocorrelator(2, makeSet(Ints{{1, 0}}, 2), silent)),
              (std::vector<int>{0, 0, 0, -1}));
    // 2.5 is taken as 2 and 3.5 as 4: T = [[3, 8], [8, 15]].
    EXPECT_EQ(matrixOf(trainDiscreteAutocorrelator(
                  2, makeSet(std::vector<std::vector<double>>{{2.5, 3.5}}, 2), silent)),
              (std::vector<int>{3, 8, 8, 15}));
    EXPECT_EQ(matrixOf(trainDiscreteAutocorrelator(
                  2, makeSet(std::vector<std::vector<double>>{{-2.5, 0.4999}}, 2), silent)),
              (std::vector<int>{3, 0, 0, -1}));
    // Five vectors of two elements: all of them count.
    const Ints five{{1, 1}, {1, 1}, {1, -1}, {1, 1}, {-1, -1}};
    EXPECT_EQ(matrixOf(trainDiscreteAutocorrelator(2, makeSet(five, 2), silent)),
              flatten(*referenceDa(five, 2)));
    // No vectors: a zero matrix.
    EXPECT_EQ(matrixOf(trainDiscreteAutocorrelator(2, makeSet(Ints{}, 2), silent)),
              (std::vector<int>{0, 0, 0, 0}));
}

TEST(DiscreteAutocorrelator, SixteenBitOverflowNamesTheVectorAndElement) {
    // 200 * 200 leaves 16 bits in the second vector's product of element 2 with itself.
    const std::string product = failureOf({{1, 1}, {1, 200}}, 2);
    EXPECT_NE(product.find("Training vector 2"), std::string::npos) << product;
    EXPECT_NE(product.find("elements 2 and 2"), std::string::npos) << product;

    // 4 * (100 * 100 - 1) = 39996: the fourth vector's sum at (1, 1).
    const Ints hundreds(4, std::vector<int>{100, 1});
    ASSERT_FALSE(referenceDa(hundreds, 2).has_value());
    const std::string sum = failureOf(hundreds, 2);
    EXPECT_NE(sum.find("Training vector 4"), std::string::npos) << sum;
    EXPECT_NE(sum.find("(1, 1)"), std::string::npos) << sum;

    // The products are all taken before any sum, so a product beyond 16 bits is
    // what the fourth vector reports even though the sum at (1, 1) overflows first.
    Ints mixed(3, std::vector<int>{100, 1});
    mixed.push_back({100, 200});
    const std::string first = failureOf(mixed, 2);
    EXPECT_NE(first.find("Training vector 4"), std::string::npos) << first;
    EXPECT_NE(first.find("elements 2 and 2"), std::string::npos) << first;

    // Just inside: 181 * 181 = 32761 fits, and its diagonal 32760 too.
    EXPECT_EQ(failureOf({{181}}, 1), "");
    // 32399 + 8 + 19 * 19 = 32768 is out of range, but less the identity it is 32767.
    SilentProgress silent;
    EXPECT_EQ(
        matrixOf(trainDiscreteAutocorrelator(1, makeSet(Ints{{180}, {3}, {19}, {1}}, 1), silent)),
        (std::vector<int>{32767}));
    EXPECT_NE(failureOf({{180}, {3}, {19}, {1}, {2}}, 1).find("Training vector 5"),
              std::string::npos);
    EXPECT_EQ(failureOf({{-182, 1}}, 2).find("Training vector 1"), 0u);
}

TEST(DiscreteAutocorrelator, RefusesValuesAndSizesBeyondSixteenBits) {
    SilentProgress silent;
    try {
        trainDiscreteAutocorrelator(
            2, makeSet(std::vector<std::vector<double>>{{1, 1}, {1, 32767.5}}, 2), silent);
        FAIL() << "32767.5 rounds to 32768";
    } catch (const UserError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("Training vector 2, element 2"), std::string::npos) << message;
    }
    // -32768.5 rounds to -32768, a 16-bit value: what fails is its square.
    try {
        trainDiscreteAutocorrelator(1, makeSet(std::vector<std::vector<double>>{{-32768.5}}, 1),
                                    silent);
        FAIL() << "the square of -32768 leaves 16 bits";
    } catch (const UserError& error) {
        EXPECT_NE(std::string(error.what()).find("product"), std::string::npos) << error.what();
    }
    EXPECT_THROW(trainDiscreteAutocorrelator(182, makeSet(Ints{}, 182), silent), UserError);
    EXPECT_NO_THROW(trainDiscreteAutocorrelator(181, makeSet(Ints{}, 181), silent));
    EXPECT_THROW(trainDiscreteAutocorrelator(0, makeSet(Ints{}, 0), silent), UserError);
}

}  // namespace
}  // namespace vornetica
