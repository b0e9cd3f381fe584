#include "train/progress.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

#include "support/recording_progress.h"
#include "train/autocorrelator.h"
#include "train/backpropagation.h"
#include "train/brain_state.h"
#include "train/counterpropagation.h"

namespace vornetica {
namespace {

using testing::RecordingProgress;
using testing::ShownCells;

// Runs one trainer on a fresh generator, showing to `progress`.
using Trainer = std::function<void(ProgressSink& progress)>;

TrainingSet someSet(int P, int I, int O, bool bipolar) {
    TrainingSet set;
    set.count = static_cast<std::int16_t>(P);
    set.inputs = Matrix<double>(std::size_t(P), std::size_t(I));
    set.outputs = Matrix<double>(std::size_t(P), std::size_t(O));
    RandomSource values;
    for (double& v : set.inputs.values()) {
        const double r = values.next();
        v = bipolar ? (r < 0.5 ? -1.0 : 1.0) : 4.0 * r - 2.0;
    }
    for (double& v : set.outputs.values()) {
        v = 10.0 * values.next();
    }
    return set;
}

Trainer backpropagation(int P, int maxIterations) {
    return [=](ProgressSink& progress) {
        BpnParameters s;
        s.inputSize = 3;
        s.hiddenSize = 5;
        s.outputSize = 2;
        s.MaxIterations = maxIterations;
        s.ErrorThreshold = -1.0;  // never met: MaxIterations + 2 epochs
        RandomSource random;
        trainBackpropagation(s, someSet(P, 3, 2, false), random, progress);
    };
}

Trainer counterpropagation(int P, int timeSteps) {
    return [=](ProgressSink& progress) {
        CpnParameters s;
        s.inputSize = 3;
        s.hiddenSize = 4;
        s.outputSize = 2;
        s.NumberTimeSteps = timeSteps;
        RandomSource random;
        trainCounterpropagation(s, someSet(P, 3, 2, false), random, progress);
    };
}

Trainer brainState(int P) {
    return [=](ProgressSink& progress) {
        BsbParameters s;
        s.inputSize = 4;
        s.Alpha = 0.2;
        RandomSource random;
        trainBrainStateInABox(s, someSet(P, 4, 1, true), random, progress);
    };
}

Trainer autocorrelator(int P) {
    return [=](ProgressSink& progress) {
        trainDiscreteAutocorrelator(5, someSet(P, 5, 1, true), progress);
    };
}

// The last write of every grid a run wrote, in the order of the grids' first writes.
std::vector<ShownCells> lastWrites(const std::vector<ShownCells>& shown) {
    std::vector<ShownCells> last;
    for (const ShownCells& cells : shown) {
        bool replaced = false;
        for (ShownCells& kept : last) {
            if (kept.grid == cells.grid) {
                kept = cells;
                replaced = true;
            }
        }
        if (!replaced) {
            last.push_back(cells);
        }
    }
    return last;
}

struct Case {
    const char* name;
    Trainer train;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class CellsOnRequest : public ::testing::TestWithParam<Case> {};

TEST_P(CellsOnRequest, ReceiverThatNeverAsksGetsExactlyTheLastWritesAtTheEnd) {
    RecordingProgress everything;
    GetParam().train(everything);
    RecordingProgress nothingAsked(false);
    GetParam().train(nothingAsked);

    ASSERT_FALSE(everything.shown.empty());
    EXPECT_EQ(lastWrites(everything.shown), nothingAsked.shown);
    EXPECT_EQ(everything.epochs.size(), nothingAsked.epochs.size());
}

TEST_P(CellsOnRequest, OneRequestGetsOneVectorsCellsThenTheLastWrites) {
    RecordingProgress everything;
    GetParam().train(everything);
    RecordingProgress askedOnce(false);
    askedOnce.requestCells();
    GetParam().train(askedOnce);

    // The first vector's writes are the first ones the full record holds; the
    // request is spent on them, and the end brings the last write of every grid.
    const std::vector<ShownCells> last = lastWrites(everything.shown);
    ASSERT_GT(askedOnce.shown.size(), last.size());
    const std::size_t first = askedOnce.shown.size() - last.size();
    for (std::size_t n = 0; n < first; ++n) {
        EXPECT_EQ(everything.shown[n], askedOnce.shown[n]) << "write " << n;
    }
    const std::vector<ShownCells> end(askedOnce.shown.begin() + long(first), askedOnce.shown.end());
    EXPECT_EQ(last, end);
    EXPECT_FALSE(askedOnce.cellsWanted());
}

INSTANTIATE_TEST_SUITE_P(Trainers, CellsOnRequest,
                         ::testing::Values(Case{"backpropagation", backpropagation(4, 3)},
                                           Case{"counterpropagation", counterpropagation(3, 5)},
                                           Case{"counterpropagation_without_steps",
                                                counterpropagation(3, 1)},
                                           Case{"brain_state", brainState(3)},
                                           Case{"autocorrelator", autocorrelator(4)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CellsOnRequest, RunWithoutVectorsPublishesNothing) {
    for (const Trainer& train :
         {backpropagation(0, 3), counterpropagation(0, 5), brainState(0), autocorrelator(0)}) {
        RecordingProgress nothingAsked(false);
        train(nothingAsked);
        EXPECT_TRUE(nothingAsked.shown.empty());
    }
}

TEST(CellsOnRequest, StoppedRunEndsShowingTheLastVectorItTrained) {
    RecordingProgress everything;
    everything.stopAfterQuestions = 5;
    backpropagation(4, 50)(everything);
    RecordingProgress nothingAsked(false);
    nothingAsked.stopAfterQuestions = 5;
    backpropagation(4, 50)(nothingAsked);

    EXPECT_EQ(6, nothingAsked.questions);
    EXPECT_EQ(lastWrites(everything.shown), nothingAsked.shown);
}

TEST(CellsOnRequest, ReceiverThatAsksForEveryCellKeepsAsking) {
    RecordingProgress progress;
    progress.cellsPublished();
    EXPECT_TRUE(progress.cellsWanted());
    RecordingProgress once(false);
    EXPECT_FALSE(once.cellsWanted());
    once.requestCells();
    EXPECT_TRUE(once.cellsWanted());
    once.cellsPublished();
    EXPECT_FALSE(once.cellsWanted());
}

// A write that went out does not settle an earlier one that did not: the earlier
// one may have written grids the later one leaves alone.
TEST(CellPublisher, PublishesTheLastValuesOnceWhenAnyWriteWasMissed) {
    RecordingProgress progress(false);
    CellPublisher cells(progress);
    int writesShown = 0;
    cells.write([&] { ++writesShown; });
    progress.requestCells();
    cells.write([&] { ++writesShown; });
    EXPECT_EQ(1, writesShown);
    int endings = 0;
    cells.publishLastIfMissed([&] { ++endings; });
    EXPECT_EQ(1, endings);
}

TEST(CellPublisher, PublishesNothingMoreWhenEveryWriteWentOutOrNoneWasMade) {
    RecordingProgress everyCell;
    CellPublisher all(everyCell);
    int writesShown = 0;
    all.write([&] { ++writesShown; });
    all.write([&] { ++writesShown; });
    EXPECT_EQ(2, writesShown);
    int endings = 0;
    all.publishLastIfMissed([&] { ++endings; });
    RecordingProgress nothingAsked(false);
    const CellPublisher none(nothingAsked);
    none.publishLastIfMissed([&] { ++endings; });
    EXPECT_EQ(0, endings);
}

}  // namespace
}  // namespace vornetica
