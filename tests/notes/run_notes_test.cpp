#include "notes/run_notes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <iostream>
#include <string>
#include <vector>

#include "base/random_source.h"
#include "support/temp_dir.h"
#include "train/progress.h"

namespace vornetica {
namespace {

using testing::TempDir;

Matrix<double> rowsOf(std::initializer_list<std::initializer_list<double>> rows) {
    Matrix<double> matrix(rows.size(), rows.begin()->size());
    std::size_t r = 0;
    for (const auto& row : rows) {
        std::copy(row.begin(), row.end(), matrix.row(r++).begin());
    }
    return matrix;
}

const RunNote* findNote(const std::vector<RunNote>& notes, NoteKind kind) {
    const auto found = std::find_if(notes.begin(), notes.end(),
                                    [kind](const RunNote& note) { return note.kind == kind; });
    return found == notes.end() ? nullptr : &*found;
}

bool hasNote(const std::vector<RunNote>& notes, NoteKind kind) {
    return findNote(notes, kind) != nullptr;
}

std::string textOf(const std::vector<RunNote>& notes, NoteKind kind) {
    const RunNote* note = findNote(notes, kind);
    return note == nullptr ? std::string() : note->text;
}

// Keeps the record of the reports, as the window's and the command line's receivers do.
class RecordedProgress : public SilentProgress {
  public:
    void endOfEpoch(const EpochReport& report) override { record.add(report); }
    RunRecord record;
};

BpnParameters logisticBpn(int inputs, int hidden, int outputs) {
    BpnParameters parameters;
    parameters.inputSize = inputs;
    parameters.hiddenSize = hidden;
    parameters.outputSize = outputs;
    parameters.InputScale = 10.0;
    parameters.OutputScale = 10.0;
    parameters.MaxIterations = 20;
    parameters.threshold.function = ThresholdKind::Logistic;
    return parameters;
}

// A run through the files, as the window and the command line make it.
class RunNotesTest : public ::testing::Test {
  protected:
    struct Outcome {
        std::vector<RunNote> before;
        std::vector<RunNote> after;
        TrainingResult result;
    };

    template <typename Parameters>
    Outcome run(NetworkKind kind, const Parameters& parameters, const Matrix<double>& inputs,
                const Matrix<double>* outputs = nullptr) {
        TrainingRequest request;
        request.kind = kind;
        request.parameters = parameters;
        request.inputDataPath = dir.file("input.dat");
        request.outputDataPath = dir.file("output.dat");
        writeTrainingData(request.inputDataPath, inputs, request.outputDataPath, outputs);
        Outcome outcome;
        outcome.before = notesBeforeRun(request);
        RecordedProgress progress;
        outcome.result = runTraining(request, random, progress);
        EXPECT_EQ(outcome.result.error, "");
        outcome.after = notesAfterRun(request, outcome.result, progress.record);
        return outcome;
    }

    Outcome runBpn(const BpnParameters& parameters, const Matrix<double>& inputs,
                   const Matrix<double>& targets) {
        return run(NetworkKind::BPN, parameters, inputs, &targets);
    }

    TempDir dir;
    RandomSource random;
};

TEST_F(RunNotesTest, UnreachableTargetsNameTheFirstAndAnOutputScaleThatFits) {
    const Matrix<double> inputs = rowsOf({{1.0}, {2.0}, {3.0}});
    const Outcome beyond = runBpn(logisticBpn(1, 2, 1), inputs, rowsOf({{5.0}, {12.0}, {10.0}}));
    const std::string text = textOf(beyond.before, NoteKind::UnreachableTargets);
    // 10 / 10 = 1 is an end the function approaches, within reach.
    EXPECT_NE(text.find("1 of the 3 targets"), std::string::npos) << text;
    EXPECT_NE(text.find("output 1 of vector 2: its target 12 becomes 1.2"), std::string::npos)
        << text;
    EXPECT_NE(text.find("above 12, such as 20,"), std::string::npos) << text;

    const Outcome within = runBpn(logisticBpn(1, 2, 1), inputs, rowsOf({{5.0}, {9.0}, {.5}}));
    EXPECT_FALSE(hasNote(within.before, NoteKind::UnreachableTargets));
    // One-hot targets sit at the ends the logistic function approaches: within reach.
    BpnParameters oneHot = logisticBpn(1, 2, 2);
    oneHot.OutputScale = 1.0;
    EXPECT_FALSE(
        hasNote(runBpn(oneHot, inputs, rowsOf({{1.0, 0.0}, {0.0, 1.0}, {1.0, 0.0}})).before,
                NoteKind::UnreachableTargets));

    // Targets on both sides of 0 fit no scale of the logistic function, yet all fit
    // the hyperbolic tangent's range once the scale is large enough.
    const Matrix<double> mixed = rowsOf({{-4.0}, {5.0}, {12.0}});
    const Outcome bothSigns = runBpn(logisticBpn(1, 2, 1), inputs, mixed);
    EXPECT_NE(textOf(bothSigns.before, NoteKind::UnreachableTargets).find("both signs"),
              std::string::npos);
    BpnParameters tanh = logisticBpn(1, 2, 1);
    tanh.threshold.function = ThresholdKind::Tanh;
    tanh.OutputScale = 13.0;
    EXPECT_FALSE(hasNote(runBpn(tanh, inputs, mixed).before, NoteKind::UnreachableTargets));
}

TEST_F(RunNotesTest, InputsBeyondTheSaturationBoundAreNotedUnlessTheFunctionIsLinear) {
    const Matrix<double> targets = rowsOf({{5.0}, {6.0}});
    const Outcome large =
        runBpn(logisticBpn(2, 2, 1), rowsOf({{1.0, 139.0}, {-2.0, 3.0}}), targets);
    const std::string text = textOf(large.before, NoteKind::SaturatedInputs);
    EXPECT_NE(text.find("input 2 of vector 1 is 139"), std::string::npos) << text;
    EXPECT_NE(text.find("at least 139, such as 200,"), std::string::npos) << text;

    // 138 / 10 lies just inside the bound.
    const Outcome inside =
        runBpn(logisticBpn(2, 2, 1), rowsOf({{1.0, -138.0}, {-2.0, 3.0}}), targets);
    EXPECT_FALSE(hasNote(inside.before, NoteKind::SaturatedInputs));

    BpnParameters linear = logisticBpn(2, 2, 1);
    linear.threshold.function = ThresholdKind::Linear;
    linear.Alpha = linear.Beta = 0.0;
    EXPECT_FALSE(
        hasNote(notesBeforeRun(TrainingRequest{NetworkKind::BPN, linear, {}, {}},
                               TrainingSet{2, rowsOf({{1.0, 139.0}, {-2.0, 3.0}}), targets}),
                NoteKind::SaturatedInputs));
}

TEST_F(RunNotesTest, TrainingWithAnotherFunctionThanRecallsLogisticIsNoted) {
    const TrainingSet data{1, rowsOf({{1.0}}), rowsOf({{5.0}})};
    BpnParameters parameters = logisticBpn(1, 1, 1);
    EXPECT_TRUE(
        notesBeforeRun(TrainingRequest{NetworkKind::BPN, parameters, {}, {}}, data).empty());
    parameters.threshold.function = ThresholdKind::Tanh;
    const std::vector<RunNote> notes =
        notesBeforeRun(TrainingRequest{NetworkKind::BPN, parameters, {}, {}}, data);
    EXPECT_NE(textOf(notes, NoteKind::RecallFunctionDiffers).find("hyperbolic tangent"),
              std::string::npos);
}

TEST_F(RunNotesTest, OverflowToInfOrNanNamesTheEpochOrPassAndWhatToLower) {
    BpnParameters wild = logisticBpn(1, 2, 1);
    wild.threshold.function = ThresholdKind::Linear;
    wild.Alpha = wild.Beta = 1e300;
    const Matrix<double> inputs = rowsOf({{1.0}, {2.0}});
    const Matrix<double> targets = rowsOf({{5.0}, {9.0}});
    const std::string text = textOf(runBpn(wild, inputs, targets).after, NoteKind::NonFiniteValues);
    EXPECT_NE(text.find("in epoch 1 (counted from 1)"), std::string::npos) << text;
    EXPECT_NE(text.find("Lower Alpha (now 1E+300)"), std::string::npos) << text;
    EXPECT_FALSE(
        hasNote(runBpn(logisticBpn(1, 2, 1), inputs, targets).after, NoteKind::NonFiniteValues));

    BsbParameters bsb;
    bsb.inputSize = 2;
    bsb.Alpha = 5.0;
    const Matrix<double> vectors = rowsOf({{1.0, -1.0}});
    const std::string pass =
        textOf(run(NetworkKind::BSB, bsb, vectors).after, NoteKind::NonFiniteValues);
    EXPECT_NE(pass.find("in pass "), std::string::npos) << pass;
    EXPECT_NE(pass.find("below 1 (2 over"), std::string::npos) << pass;
    bsb.Alpha = 0.25;
    EXPECT_FALSE(hasNote(run(NetworkKind::BSB, bsb, vectors).after, NoteKind::NonFiniteValues));
}

TEST_F(RunNotesTest, IterationLimitTellsAPlateauFromAnErrorStillFalling) {
    const Matrix<double> inputs = rowsOf({{1.0}, {5.0}, {9.0}});
    const Matrix<double> targets = rowsOf({{9.0}, {1.0}, {9.0}});
    // Rates of 0 learn nothing: the largest error signal stays where it started.
    BpnParameters still = logisticBpn(1, 4, 1);
    still.Alpha = still.Beta = 0.0;
    const Outcome flat = runBpn(still, inputs, targets);
    EXPECT_NE(textOf(flat.after, NoteKind::Plateau).find("(22 epochs)"), std::string::npos);
    EXPECT_FALSE(hasNote(flat.after, NoteKind::LimitWhileFalling));

    // A target near 1 that the output approaches slowly: its error signal, the
    // largest, falls steadily.
    BpnParameters learning = logisticBpn(1, 2, 1);
    learning.MaxIterations = 200;
    learning.ErrorThreshold = 1e-12;
    const Outcome falling = runBpn(learning, rowsOf({{1.0}, {9.0}}), rowsOf({{9.9}, {.1}}));
    EXPECT_NE(textOf(falling.after, NoteKind::LimitWhileFalling).find("raise the iteration limit"),
              std::string::npos);
    EXPECT_FALSE(hasNote(falling.after, NoteKind::Plateau));

    // A run that meets its threshold reached no limit.
    BpnParameters easy = still;
    easy.ErrorThreshold = 1.0;
    const Outcome met = runBpn(easy, inputs, targets);
    EXPECT_FALSE(hasNote(met.after, NoteKind::Plateau));
    EXPECT_FALSE(hasNote(met.after, NoteKind::LimitWhileFalling));
}

TEST_F(RunNotesTest, AStopByTheThresholdWithOutputsAboveTheirTargetsIsNoted) {
    // Targets of .1 divided by 10 lie far below the untrained outputs near .5: every
    // error signal is negative, so the first epoch ends the run.
    BpnParameters parameters = logisticBpn(1, 3, 1);
    parameters.Alpha = parameters.Beta = 0.0;
    const Matrix<double> inputs = rowsOf({{1.0}, {2.0}});
    const Outcome low = runBpn(parameters, inputs, rowsOf({{.1}, {.1}}));
    EXPECT_EQ(low.result.epochs, 1);
    const std::string text = textOf(low.after, NoteKind::Overshoot);
    EXPECT_NE(text.find("2 outputs overshoot"), std::string::npos) << text;
    EXPECT_NE(text.find("against a target of .1"), std::string::npos) << text;

    // The same overshoot within a larger threshold is no note; nor is a run that
    // ended at its limit.
    parameters.ErrorThreshold = 0.5;
    EXPECT_FALSE(
        hasNote(runBpn(parameters, inputs, rowsOf({{.1}, {.1}})).after, NoteKind::Overshoot));
    parameters.ErrorThreshold = 0.0001;
    EXPECT_FALSE(
        hasNote(runBpn(parameters, inputs, rowsOf({{9.9}, {.1}})).after, NoteKind::Overshoot));
}

TEST_F(RunNotesTest, CounterpropagationBeyondTenThousandStepsIsNotedBeforeTheRun) {
    CpnParameters parameters;
    parameters.NumberTimeSteps = 10002;
    const TrainingSet data{1, rowsOf({{1.0, 0.0, 0.0, 0.0}}), rowsOf({{1.0, 0.0, 0.0, 0.0}})};
    const std::vector<RunNote> beyond =
        notesBeforeRun(TrainingRequest{NetworkKind::CPN, parameters, {}, {}}, data);
    EXPECT_NE(textOf(beyond, NoteKind::NegativeKohonenRate).find("runs 10001 time steps"),
              std::string::npos);
    parameters.NumberTimeSteps = 10001;
    EXPECT_TRUE(
        notesBeforeRun(TrainingRequest{NetworkKind::CPN, parameters, {}, {}}, data).empty());
}

TEST_F(RunNotesTest, HiddenUnitsThatNeverWonAreNamed) {
    CpnParameters parameters;
    parameters.inputSize = 2;
    parameters.hiddenSize = 4;
    parameters.outputSize = 1;
    parameters.NumberTimeSteps = 5;
    const Matrix<double> one = rowsOf({{1.0, 0.5}});
    const Outcome outcome = run(NetworkKind::CPN, parameters, one, &one);
    ASSERT_EQ(outcome.result.hiddenUnitWins.size(), 4u);
    int winners = 0;
    for (const int wins : outcome.result.hiddenUnitWins) {
        winners += wins > 0 ? 1 : 0;
    }
    EXPECT_EQ(winners, 1);  // one input: the same unit wins all four steps
    EXPECT_NE(textOf(outcome.after, NoteKind::UnitsNeverWon).find("3 of the 4 hidden units"),
              std::string::npos);

    parameters.hiddenSize = 1;
    EXPECT_FALSE(
        hasNote(run(NetworkKind::CPN, parameters, one, &one).after, NoteKind::UnitsNeverWon));
}

TEST_F(RunNotesTest, BrainStateVectorsTooLongForAlphaAreNamed) {
    BsbParameters parameters;
    parameters.inputSize = 4;
    parameters.Alpha = 0.5;
    // Squared lengths 4 and 1: Alpha times 4 is 2, where the correction no longer settles.
    const TrainingSet data{2, rowsOf({{1.0, -1.0, 1.0, -1.0}, {.5, .5, .5, .5}}), {}};
    const std::vector<RunNote> notes =
        notesBeforeRun(TrainingRequest{NetworkKind::BSB, parameters, {}, {}}, data);
    const std::string text = textOf(notes, NoteKind::VectorsTooLong);
    EXPECT_NE(text.find("Vector 1 is too long"), std::string::npos) << text;
    EXPECT_NE(text.find("below .5, such as .2."), std::string::npos) << text;
    parameters.Alpha = 0.49;
    EXPECT_TRUE(
        notesBeforeRun(TrainingRequest{NetworkKind::BSB, parameters, {}, {}}, data).empty());
}

TEST_F(RunNotesTest, BrainStateRunAtItsPassLimitIsNoted) {
    BsbParameters parameters;
    parameters.inputSize = 2;
    parameters.Alpha = 0.5;
    parameters.ErrorThreshold = -1000.0;  // never met
    const Matrix<double> vectors = rowsOf({{1.0, -1.0}});
    const Outcome limit = run(NetworkKind::BSB, parameters, vectors);
    EXPECT_TRUE(limit.result.passLimitReached);
    EXPECT_NE(textOf(limit.after, NoteKind::PassLimit).find("32767 passes"), std::string::npos);
    parameters.ErrorThreshold = 0.01;
    EXPECT_TRUE(run(NetworkKind::BSB, parameters, vectors).after.empty());
}

TEST_F(RunNotesTest, AutocorrelatorBeyondItsCapacityIsNotedBeforeTheRun) {
    const TrainingSet two{
        2, rowsOf({{1, -1, 1, -1, 1, -1, 1, -1, 1, -1}, {1, 1, -1, -1, 1, 1, -1, -1, 1, 1}}), {}};
    const std::vector<RunNote> notes =
        notesBeforeRun(TrainingRequest{NetworkKind::DA, 10, {}, {}}, two);
    EXPECT_NE(textOf(notes, NoteKind::TooManyPatterns).find("(1.4 here)"), std::string::npos);
    EXPECT_TRUE(notesBeforeRun(TrainingRequest{NetworkKind::DA, 15, {}, {}},
                               TrainingSet{2, Matrix<double>(2, 15), {}})
                    .empty());
}

TEST_F(RunNotesTest, AutocorrelatorPatternsThatOneSweepChangesAreNamed) {
    // Alike patterns cancel each other in the last unit: its sum is 0 for both.
    const Outcome alike = run(NetworkKind::DA, 4, rowsOf({{1, 1, 1, 1}, {1, 1, 1, -1}}));
    EXPECT_NE(textOf(alike.after, NoteKind::UnstablePatterns).find("patterns 1 and 2"),
              std::string::npos);
    const Outcome lone = run(NetworkKind::DA, 4, rowsOf({{1, 1, -1, -1}}));
    EXPECT_FALSE(hasNote(lone.after, NoteKind::UnstablePatterns));
}

TEST_F(RunNotesTest, AFailedRunOrUnreadableFilesGiveNoNotes) {
    TrainingRequest request{NetworkKind::BPN, logisticBpn(1, 1, 1), dir.file("none.dat"),
                            dir.file("none.dat")};
    EXPECT_TRUE(notesBeforeRun(request).empty());
    TrainingResult failed;
    failed.error = "The input data file is missing.";
    EXPECT_TRUE(notesAfterRun(request, failed, RunRecord{}).empty());
}

}  // namespace
}  // namespace vornetica
