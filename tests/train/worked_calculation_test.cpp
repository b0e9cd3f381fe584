#include "train/worked_calculation.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/user_error.h"
#include "support/kernel_levels.h"
#include "support/recording_progress.h"
#include "support/reference_trainers.h"
#include "support/temp_dir.h"
#include "train/autocorrelator.h"
#include "train/backpropagation.h"
#include "train/brain_state.h"
#include "train/counterpropagation.h"
#include "train/unit_stepper.h"

namespace vornetica {
namespace {

using testing::forEachKernelLevel;
using testing::RecordingProgress;
using testing::Rows;

std::uint64_t bits(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

// Explains `count` units from the end of epoch (pass, pair) `afterEpochs` on, or
// from the start when it is 0, and keeps them; asks for every cell, like the
// reference trainers record them.
class ExplainingProgress : public RecordingProgress {
  public:
    ExplainingProgress(int afterEpochs, long count) : afterEpochs_(afterEpochs), count_(count) {
        explainUnits(afterEpochs_ == 0 && count_ > 0);
    }
    std::vector<WorkedUnit> units;

    void endOfEpoch(const EpochReport& report) override {
        RecordingProgress::endOfEpoch(report);
        if (static_cast<int>(epochs.size()) == afterEpochs_) {
            explainUnits(count_ > 0);
        }
    }
    void unitWorked(WorkedUnit&& unit) override {
        units.push_back(std::move(unit));
        explainUnits(static_cast<long>(units.size()) < count_);
    }

  private:
    int afterEpochs_;
    long count_;
};

// The values of one grid, in the order a run showed them.
std::vector<std::vector<double>> shownIn(const std::vector<testing::ShownCells>& shown,
                                         ProgressGrid grid) {
    std::vector<std::vector<double>> values;
    for (const auto& cells : shown) {
        if (cells.grid == grid) {
            values.push_back(cells.values);
        }
    }
    return values;
}

void expectValues(const WorkedUnit& unit, const char* quantity, const std::vector<double>& expected,
                  int fixedIndex1 = -1) {
    for (std::size_t n = 0; n < expected.size(); ++n) {
        const int index = static_cast<int>(n);
        const double value =
            fixedIndex1 < 0 ? unit.at(quantity, index) : unit.at(quantity, fixedIndex1, index);
        ASSERT_EQ(bits(expected[n]), bits(value))
            << quantity << " " << n << " of unit " << unit.unit;
    }
}

void expectMatrix(const WorkedUnit& unit, const char* quantity, const Rows& expected) {
    for (std::size_t r = 0; r < expected.size(); ++r) {
        expectValues(unit, quantity, expected[r], static_cast<int>(r));
    }
}

void expectSameMatrix(const Matrix<double>& expected, const Matrix<double>& actual) {
    ASSERT_EQ(expected.values().size(), actual.values().size());
    for (std::size_t n = 0; n < expected.values().size(); ++n) {
        ASSERT_EQ(bits(expected.values()[n]), bits(actual.values()[n])) << "element " << n;
    }
}

void expectSameNetwork(const BpnNetwork& expected, const BpnNetwork& actual) {
    expectSameMatrix(expected.HiddenWeights, actual.HiddenWeights);
    expectSameMatrix(expected.OutputWeights, actual.OutputWeights);
    ASSERT_EQ(expected.HiddenThresholds.size(), actual.HiddenThresholds.size());
    for (std::size_t j = 0; j < expected.HiddenThresholds.size(); ++j)
        ASSERT_EQ(bits(expected.HiddenThresholds[j]), bits(actual.HiddenThresholds[j]));
    for (std::size_t k = 0; k < expected.OutputThresholds.size(); ++k)
        ASSERT_EQ(bits(expected.OutputThresholds[k]), bits(actual.OutputThresholds[k]));
}

TrainingSet randomSet(int P, int I, int O, unsigned seed, double spread) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> value(-spread, spread);
    TrainingSet set;
    set.count = static_cast<std::int16_t>(P);
    set.inputs = Matrix<double>(P, I);
    set.outputs = Matrix<double>(P, O);
    for (double& v : set.inputs.values())
        v = value(engine);
    for (double& v : set.outputs.values())
        v = value(engine);
    return set;
}

Rows rowsOf(const Matrix<double>& m) {
    Rows rows;
    for (std::size_t r = 0; r < m.rows(); ++r)
        rows.emplace_back(m.row(r).begin(), m.row(r).end());
    return rows;
}

struct BpnCase {
    const char* name;
    int I, H, O, P, maxIterations;
    ThresholdKind function;
};

void PrintTo(const BpnCase& c, std::ostream* out) {
    *out << c.name;
}

BpnParameters bpnParameters(const BpnCase& c) {
    BpnParameters s;
    s.inputSize = c.I;
    s.hiddenSize = c.H;
    s.outputSize = c.O;
    s.MaxIterations = c.maxIterations;
    s.InputScale = 2.0;
    s.OutputScale = 3.0;
    s.threshold.function = c.function;
    return s;
}

class BpnWorkedCalculation : public ::testing::TestWithParam<BpnCase> {};

// Every explained vector gives the values the plain trainer makes: its outputs,
// error signals and thresholds as shown, and its weights after each vector.
TEST_P(BpnWorkedCalculation, EveryValueMatchesThePlainTrainer) {
    const BpnCase c = GetParam();
    const BpnParameters s = bpnParameters(c);
    const TrainingSet data = randomSet(c.P, c.I, c.O, 7, 2.0);
    forEachKernelLevel([&] {
        RandomSource random, referenceRandom;
        ExplainingProgress progress(0, 1L << 30);
        const BpnRun run = trainBackpropagation(s, data, random, progress);
        const testing::ReferenceBpn ref = testing::referenceBpn(s, data, referenceRandom);
        const auto outputs = shownIn(ref.shown, ProgressGrid::OutputValues);
        const auto errors = shownIn(ref.shown, ProgressGrid::ErrorValues);
        const auto outputThresholds = shownIn(ref.shown, ProgressGrid::OutputNodes);
        const auto hiddenThresholds = shownIn(ref.shown, ProgressGrid::HiddenNodes);
        ASSERT_EQ(progress.units.size(), outputs.size());
        for (std::size_t n = 0; n < outputs.size(); ++n) {
            const WorkedUnit& unit = progress.units[n];
            ASSERT_EQ(unit.unit, static_cast<long>(n));
            ASSERT_EQ(unit.vector, static_cast<int>(n % c.P));
            ASSERT_EQ(unit.epoch, static_cast<int>(n / c.P));
            expectValues(unit, "output_out", outputs[n]);
            expectValues(unit, "output_error", errors[n]);
            expectValues(unit, "output_threshold", outputThresholds[n]);
            expectValues(unit, "hidden_threshold", hiddenThresholds[n]);
            for (int j = 0; j < c.H; ++j) {
                ASSERT_EQ(bits(unit.at("hidden_out", j)),
                          bits(applyThreshold(s.threshold, unit.at("hidden_net", j))));
            }
        }
        // The weights after the first vector and after the last.
        RandomSource firstRandom;
        const testing::ReferenceBpn first = testing::referenceBpn(s, data, firstRandom, 1);
        expectMatrix(progress.units.front(), "hidden_weight", first.HiddenWeights);
        expectMatrix(progress.units.front(), "output_weight", first.OutputWeights);
        expectMatrix(progress.units.back(), "hidden_weight", ref.HiddenWeights);
        expectMatrix(progress.units.back(), "output_weight", ref.OutputWeights);
        // Each weight is the one before plus the change, in the trace's own values.
        const WorkedUnit& last = progress.units.back();
        EXPECT_EQ(
            bits(last.at("hidden_weight", 0, 0)),
            bits(last.at("hidden_weight_before", 0, 0) + last.at("hidden_weight_change", 0, 0)));
        EXPECT_EQ(run.epochs, ref.epochs);
    });
}

INSTANTIATE_TEST_SUITE_P(
    SmallAndPanelled, BpnWorkedCalculation,
    ::testing::Values(BpnCase{"ExclusiveOr", 2, 2, 1, 4, 3, ThresholdKind::Logistic},
                      BpnCase{"SmallTanh", 3, 5, 2, 3, 2, ThresholdKind::Tanh},
                      BpnCase{"LongLayer", 5, 40, 3, 3, 1, ThresholdKind::Logistic},
                      BpnCase{"HiddenPanels", 30, 300, 5, 2, 0, ThresholdKind::Logistic}),
    [](const auto& info) { return std::string(info.param.name); });

// Explaining some vectors in the middle of a run, where a larger net keeps its
// weights in panels with changes waiting, leaves the network an unwatched run leaves.
TEST(WorkedCalculation, PartlyExplainedRunsLeaveTheSameNetworkForEveryKind) {
    forEachKernelLevel([&] {
        for (const BpnCase& c : {BpnCase{"x", 3, 5, 2, 5, 4, ThresholdKind::Logistic},
                                 BpnCase{"y", 40, 300, 5, 4, 2, ThresholdKind::Logistic}}) {
            const BpnParameters s = bpnParameters(c);
            const TrainingSet data = randomSet(c.P, c.I, c.O, 11, 2.0);
            RandomSource plainRandom, watchedRandom;
            SilentProgress silent;
            ExplainingProgress watched(1, 3);
            const BpnRun plain = trainBackpropagation(s, data, plainRandom, silent);
            const BpnRun explained = trainBackpropagation(s, data, watchedRandom, watched);
            ASSERT_EQ(watched.units.size(), 3u);
            EXPECT_EQ(watched.units.front().unit, c.P);
            expectSameNetwork(plain.network, explained.network);
        }
    });
    const CpnParameters cpn{3, 7, 2, 0.5, 0.75, 6};
    const TrainingSet cpnData = randomSet(3, 3, 2, 5, 1.5);
    RandomSource cpnPlainRandom, cpnWatchedRandom;
    SilentProgress silent;
    ExplainingProgress cpnWatched(1, 7);
    const CpnRun cpnPlain = trainCounterpropagation(cpn, cpnData, cpnPlainRandom, silent);
    const CpnRun cpnExplained = trainCounterpropagation(cpn, cpnData, cpnWatchedRandom, cpnWatched);
    ASSERT_EQ(cpnWatched.units.size(), 7u);
    EXPECT_EQ(cpnWatched.units.front().unit, 5);
    expectSameMatrix(cpnPlain.network.HiddenWeights, cpnExplained.network.HiddenWeights);
    expectSameMatrix(cpnPlain.network.OutputWeights, cpnExplained.network.OutputWeights);

    const BsbParameters bsb{20, 0.1, 0.01};
    const TrainingSet bsbData = randomSet(3, 20, 0, 9, 1.0);
    RandomSource bsbPlainRandom, bsbWatchedRandom;
    ExplainingProgress bsbWatched(1, 2);
    const BsbRun bsbPlain = trainBrainStateInABox(bsb, bsbData, bsbPlainRandom, silent);
    const BsbRun bsbExplained = trainBrainStateInABox(bsb, bsbData, bsbWatchedRandom, bsbWatched);
    ASSERT_EQ(bsbWatched.units.size(), 2u);
    EXPECT_EQ(bsbWatched.units.front().epoch, 1);
    expectSameMatrix(bsbPlain.network.Weights, bsbExplained.network.Weights);
    EXPECT_EQ(bsbPlain.passes, bsbExplained.passes);
}

TEST(WorkedCalculation, CounterpropagationStepsMatchThePlainTrainer) {
    const CpnParameters par{4, 6, 3, 0.5, 0.75, 5};
    RandomSource dataSource;
    Rows X(3, std::vector<double>(4)), Y(3, std::vector<double>(3));
    for (auto* rows : {&X, &Y})
        for (auto& row : *rows)
            for (double& v : row)
                v = 4.0 * dataSource.next() - 1.5;
    TrainingSet data;
    data.count = 3;
    data.inputs = Matrix<double>(3, 4);
    data.outputs = Matrix<double>(3, 3);
    for (int p = 0; p < 3; ++p) {
        for (int i = 0; i < 4; ++i)
            data.inputs.at(p, i) = X[p][i];
        for (int k = 0; k < 3; ++k)
            data.outputs.at(p, k) = Y[p][k];
    }
    RandomSource random, referenceRandom;
    ExplainingProgress progress(0, 1000);
    const CpnRun run = trainCounterpropagation(par, data, random, progress);
    const testing::ReferenceCpn ref = testing::referenceCpn(par, X, Y, referenceRandom);
    const auto changes = shownIn(ref.shown, ProgressGrid::ErrorValues);
    const auto outstars = shownIn(ref.shown, ProgressGrid::OutputValues);
    ASSERT_EQ(progress.units.size(), 12u);
    for (std::size_t n = 0; n < progress.units.size(); ++n) {
        const WorkedUnit& unit = progress.units[n];
        const auto winners = unit.all("winner");
        ASSERT_EQ(winners.size(), 1u);
        const int w = winners[0].index1;
        for (int j = 0; j < par.hiddenSize; ++j) {
            // The winner is the nearest unit, the first of equals.
            ASSERT_TRUE(unit.at("distance", w) < unit.at("distance", j) ||
                        (unit.at("distance", w) == unit.at("distance", j) && w <= j));
        }
        expectValues(unit, "outstar_change", changes[n], w);
        expectValues(unit, "outstar_weight", outstars[n], w);
        EXPECT_EQ(unit.vector, static_cast<int>(n / 4));
        EXPECT_EQ(unit.at("time_step"), static_cast<double>(n % 4 + 1));
    }
    const WorkedUnit& last = progress.units.back();
    const int w = last.all("winner")[0].index1;
    for (int i = 0; i < par.inputSize; ++i) {
        ASSERT_EQ(bits(last.at("kohonen_weight", i, w)), bits(ref.U[i][w]));
        ASSERT_EQ(bits(last.at("kohonen_weight", i, w)), bits(run.network.HiddenWeights.at(i, w)));
    }
}

TEST(WorkedCalculation, BrainStateErrorsAndWeightsMatchThePlainTrainer) {
    const BsbParameters par{5, 0.2, 0.01};
    const TrainingSet data = randomSet(4, 5, 0, 3, 1.0);
    const Rows X = rowsOf(data.inputs);
    RandomSource random, referenceRandom;
    ExplainingProgress progress(0, 1L << 30);
    const BsbRun run = trainBrainStateInABox(par, data, random, progress);
    const testing::ReferenceBsb ref = testing::referenceBsb(par, X, referenceRandom);
    const auto errors = shownIn(ref.shown, ProgressGrid::ErrorValues);
    ASSERT_EQ(progress.units.size(), errors.size());
    for (std::size_t n = 0; n < errors.size(); ++n) {
        expectValues(progress.units[n], "error", errors[n]);
        EXPECT_EQ(progress.units[n].epoch, static_cast<int>(n / 4));
    }
    expectMatrix(progress.units.back(), "weight", ref.W);
    EXPECT_EQ(run.passes, ref.passes);
}

TEST(WorkedCalculation, AutocorrelatorAddsTheOuterProductLessTheIdentity) {
    TrainingSet data;
    data.count = 3;
    data.inputs = Matrix<double>(3, 3);
    const std::vector<double> values = {1, -1, 1, -1, -1, 1, 2, 0, -3};
    std::copy(values.begin(), values.end(), data.inputs.values().begin());
    ExplainingProgress progress(0, 10);
    trainDiscreteAutocorrelator(3, data, progress);
    ASSERT_EQ(progress.units.size(), 3u);
    const testing::Ints X = {{1, -1, 1}, {-1, -1, 1}, {2, 0, -3}};
    for (std::size_t p = 0; p < 3; ++p) {
        const auto after = testing::referenceDa(testing::Ints(X.begin(), X.begin() + p + 1), 3);
        const WorkedUnit& unit = progress.units[p];
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                EXPECT_EQ(unit.at("product", i, j), X[p][i] * X[p][j] - (i == j ? 1 : 0));
                EXPECT_EQ(unit.at("matrix", i, j), (*after)[i][j]);
                EXPECT_EQ(unit.at("matrix", i, j),
                          unit.at("matrix_before", i, j) + unit.at("product", i, j));
            }
        }
    }
}

// Step, step, then run on from another thread: the run waits after each stepped
// unit and ends with the network an unpaused run makes.
TEST(WorkedCalculation, SteppedThenContinuedRunLeavesTheUnpausedNetwork) {
    const BpnParameters s = bpnParameters({"", 40, 300, 5, 3, 2, ThresholdKind::Logistic});
    const TrainingSet data = randomSet(3, 40, 5, 13, 2.0);

    class SteppedProgress : public SilentProgress {
      public:
        UnitStepper stepper{*this};
        void unitWorked(WorkedUnit&& unit) override { stepper.unitWorked(std::move(unit)); }
    } stepped;
    const auto waitForUnit = [&] {
        for (;;) {
            if (std::optional<WorkedUnit> unit = stepped.stepper.takeUnit()) {
                return *unit;
            }
            std::this_thread::yield();
        }
    };
    stepped.stepper.step();
    RandomSource steppedRandom;
    BpnRun steppedRun;
    std::thread worker([&] { steppedRun = trainBackpropagation(s, data, steppedRandom, stepped); });
    EXPECT_EQ(waitForUnit().unit, 0);
    stepped.stepper.step();
    EXPECT_EQ(waitForUnit().unit, 1);
    EXPECT_TRUE(stepped.stepper.stepping());
    stepped.stepper.letGo();
    worker.join();
    EXPECT_FALSE(stepped.stepper.takeUnit().has_value());

    RandomSource plainRandom;
    SilentProgress silent;
    const BpnRun plain = trainBackpropagation(s, data, plainRandom, silent);
    expectSameNetwork(plain.network, steppedRun.network);
    EXPECT_EQ(plain.epochs, steppedRun.epochs);
}

TEST(TraceFile, LinesCountFromOneAndLeaveMissingIndicesEmpty) {
    WorkedUnit unit;
    unit.unit = 4;
    unit.epoch = 1;
    unit.vector = 0;
    unit.add("alpha", 0.75);
    unit.add("hidden_net", -0.5, 2);
    unit.add("output_weight", 1e-20, 0, 3);
    EXPECT_EQ(traceLines(unit),
              "5,2,1,alpha,,,0.75\n5,2,1,hidden_net,3,,-0.5\n5,2,1,output_weight,1,4,1E-20\n");
}

TEST(TraceFile, CollectsTheFirstUnitsAndWritesThemWhole) {
    TraceCollector trace(2);
    WorkedUnit unit;
    unit.add("input", 1.0, 0);
    EXPECT_TRUE(trace.keep(WorkedUnit(unit)));
    unit.unit = 1;
    EXPECT_FALSE(trace.keep(WorkedUnit(unit)));
    unit.unit = 2;
    EXPECT_FALSE(trace.keep(WorkedUnit(unit)));
    ASSERT_EQ(trace.units().size(), 2u);

    testing::TempDir dir;
    const std::string path = dir.file("trace.csv");
    writeTraceFile(path, trace.units());
    EXPECT_EQ(testing::readText(path),
              std::string(kTraceHeader) + "\n1,1,1,input,1,,1\n2,1,1,input,1,,1\n");
    EXPECT_THROW(writeTraceFile(dir.file("no such folder/trace.csv"), trace.units()), UserError);
}

}  // namespace
}  // namespace vornetica
