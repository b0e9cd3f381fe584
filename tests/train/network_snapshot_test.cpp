#include "train/network_snapshot.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/recording_progress.h"
#include "train/autocorrelator.h"
#include "train/backpropagation.h"
#include "train/brain_state.h"
#include "train/counterpropagation.h"

namespace vornetica {
namespace {

using testing::sameBits;

// Asks for the network after every vector, keeps the newest snapshot and stops
// the run after `stopAfter` questions (never when negative), as the window's
// Stop would.
class SnapshotTaker : public SilentProgress {
  public:
    explicit SnapshotTaker(int stopAfter = -1) : stopAfter_(stopAfter) { snapshots_.request(); }

    NetworkSnapshots* networkSnapshots() override { return &snapshots_; }
    void endOfEpoch(const EpochReport&) override { take(); }
    bool stopRequested() override {
        take();
        return stopAfter_ >= 0 && ++questions_ > stopAfter_;
    }
    void take() {
        if (snapshots_.take(newest)) {
            ++taken;
        }
        snapshots_.request();
    }

    TrainedNetwork newest;
    int taken = 0;

  private:
    NetworkSnapshots snapshots_;
    int stopAfter_;
    int questions_ = 0;
};

TrainingSet randomSet(int P, int I, int O, unsigned seed, double spread) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> value(-spread, spread);
    TrainingSet set;
    set.count = static_cast<std::int16_t>(P);
    set.inputs = Matrix<double>(P, I);
    set.outputs = Matrix<double>(P, O);
    for (double& v : set.inputs.values()) {
        v = value(engine);
    }
    for (double& v : set.outputs.values()) {
        v = value(engine);
    }
    return set;
}

template <typename T>
bool sameMatrix(const Matrix<T>& a, const Matrix<T>& b) {
    if (a.rows() != b.rows() || a.cols() != b.cols()) {
        return false;
    }
    if constexpr (std::is_same_v<T, double>) {
        return sameBits(a.values(), b.values());
    } else {
        return std::equal(a.values().begin(), a.values().end(), b.values().begin());
    }
}

bool sameNetwork(const BpnNetwork& a, const BpnNetwork& b) {
    return sameMatrix(a.HiddenWeights, b.HiddenWeights) &&
           sameMatrix(a.OutputWeights, b.OutputWeights) &&
           sameBits(a.HiddenThresholds, b.HiddenThresholds) &&
           sameBits(a.OutputThresholds, b.OutputThresholds) && a.InputScale == b.InputScale &&
           a.OutputScale == b.OutputScale;
}

struct BpnCase {
    std::string name;
    int I, H, O, P;
};

class BackpropagationSnapshots : public ::testing::TestWithParam<BpnCase> {};

// A run stopped after some vector ends with the network of that vector, so the
// snapshot taken after it must be that network bit for bit: with the hidden
// changes that were still waiting, out of the panels the larger nets train in.
TEST_P(BackpropagationSnapshots, SnapshotIsTheNetworkAfterItsVector) {
    const BpnCase& c = GetParam();
    BpnParameters s;
    s.inputSize = c.I;
    s.hiddenSize = c.H;
    s.outputSize = c.O;
    s.InputScale = 2.0;
    s.OutputScale = 1.0;
    s.MaxIterations = 3;
    s.threshold.function = ThresholdKind::Logistic;
    const TrainingSet data = randomSet(c.P, c.I, c.O, 7u * c.H, 3.0);
    for (const int stopAfter : {0, c.P + 1}) {
        RandomSource random;
        SnapshotTaker taker(stopAfter);
        const BpnRun run = trainBackpropagation(s, data, random, taker);
        ASSERT_TRUE(run.stopped);
        ASSERT_EQ(taker.taken, stopAfter + 1);
        const auto* snapshot = std::get_if<BpnNetwork>(&taker.newest);
        ASSERT_NE(snapshot, nullptr);
        EXPECT_TRUE(sameNetwork(run.network, *snapshot)) << "stopped after " << stopAfter;
    }
}

// Taking snapshots after every vector changes nothing the run computes.
TEST_P(BackpropagationSnapshots, RunWithSnapshotsTrainsTheSameBits) {
    const BpnCase& c = GetParam();
    BpnParameters s;
    s.inputSize = c.I;
    s.hiddenSize = c.H;
    s.outputSize = c.O;
    s.MaxIterations = 2;
    const TrainingSet data = randomSet(c.P, c.I, c.O, 11u * c.H, 3.0);
    RandomSource plainRandom;
    SilentProgress silent;
    const BpnRun plain = trainBackpropagation(s, data, plainRandom, silent);
    RandomSource random;
    SnapshotTaker taker;
    const BpnRun watched = trainBackpropagation(s, data, random, taker);
    EXPECT_EQ(taker.taken, watched.epochs * c.P);  // one after every vector
    EXPECT_TRUE(sameNetwork(plain.network, watched.network));
    EXPECT_EQ(plain.epochs, watched.epochs);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BackpropagationSnapshots,
                         ::testing::Values(BpnCase{"xor", 2, 2, 1, 4},
                                           BpnCase{"default", 1, 100, 1, 5},
                                           BpnCase{"outputPanels", 6, 130, 130, 3},
                                           BpnCase{"bothInPanels", 140, 260, 70, 3}),
                         [](const auto& info) { return info.param.name; });

TEST(NetworkSnapshots, CounterpropagationSnapshotIsTheNetworkAfterItsPair) {
    CpnParameters s;
    s.inputSize = 3;
    s.hiddenSize = 5;
    s.outputSize = 2;
    s.NumberTimeSteps = 4;
    const TrainingSet data = randomSet(6, 3, 2, 5, 1.0);
    RandomSource random;
    SnapshotTaker taker(2);
    const CpnRun run = trainCounterpropagation(s, data, random, taker);
    ASSERT_TRUE(run.stopped);
    const auto* snapshot = std::get_if<CpnNetwork>(&taker.newest);
    ASSERT_NE(snapshot, nullptr);
    EXPECT_TRUE(sameMatrix(run.network.HiddenWeights, snapshot->HiddenWeights));
    EXPECT_TRUE(sameMatrix(run.network.OutputWeights, snapshot->OutputWeights));
}

TEST(NetworkSnapshots, BrainStateSnapshotIsTheNetworkAfterItsVector) {
    BsbParameters s;
    s.inputSize = 4;
    const TrainingSet data = randomSet(5, 4, 0, 3, 1.0);
    RandomSource random;
    SnapshotTaker taker(3);
    const BsbRun run = trainBrainStateInABox(s, data, random, taker);
    ASSERT_TRUE(run.stopped);
    const auto* snapshot = std::get_if<BsbNetwork>(&taker.newest);
    ASSERT_NE(snapshot, nullptr);
    EXPECT_TRUE(sameMatrix(run.network.Weights, snapshot->Weights));
}

TEST(NetworkSnapshots, AutocorrelatorSnapshotsFollowTheSums) {
    TrainingSet data;
    data.count = 2;
    data.inputs = Matrix<double>(2, 3);
    const double vectors[] = {1, -1, 1, 1, 1, -1};
    std::copy(std::begin(vectors), std::end(vectors), data.inputs.values().begin());
    SnapshotTaker taker;
    const DaRun run = trainDiscreteAutocorrelator(3, data, taker);
    EXPECT_EQ(taker.taken, 2);
    const auto* snapshot = std::get_if<DaNetwork>(&taker.newest);
    ASSERT_NE(snapshot, nullptr);
    EXPECT_TRUE(sameMatrix(run.network.CorrelationMatrix, snapshot->CorrelationMatrix));
}

TEST(NetworkSnapshots, GoOutOnlyWhenAskedAndOnlyOnce) {
    NetworkSnapshots snapshots;
    int fills = 0;
    const auto fill = [&fills](TrainedNetwork& into) {
        ++fills;
        snapshotOf<BsbNetwork>(into).Weights = Matrix<double>(1, 1);
    };
    TrainedNetwork taken;
    EXPECT_FALSE(snapshots.wanted());
    EXPECT_FALSE(snapshots.take(taken));
    snapshots.request();
    ASSERT_TRUE(snapshots.wanted());
    snapshots.publish(fill);
    EXPECT_FALSE(snapshots.wanted());
    EXPECT_TRUE(snapshots.take(taken));
    EXPECT_TRUE(std::holds_alternative<BsbNetwork>(taken));
    EXPECT_FALSE(snapshots.take(taken));  // nothing new since
    EXPECT_EQ(fills, 1);
    snapshots.request();
    snapshots.reset();
    EXPECT_FALSE(snapshots.wanted());
}

}  // namespace
}  // namespace vornetica
