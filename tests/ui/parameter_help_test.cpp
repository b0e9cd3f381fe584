#include "ui/parameter_help.h"

#include <gtest/gtest.h>

#include <QFile>
#include <functional>

#include "recall/recall_computations.h"
#include "support/temp_dir.h"
#include "train/training_run.h"

namespace vornetica {
namespace {

// Each rate's help says what the rate changes, in the box's What's This text and in
// the help file alike; a run with the rate at 0 shows that it changes exactly that.
class RateHelpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        settings.InputDataPath = folder.file("input.dat");
        settings.OutputDataPath = folder.file("output.dat");
        settings.ThresholdFunction = ThresholdKind::Logistic;
        settings.InputScale = settings.OutputScale = 1.0;
        // One epoch or pass: no error is above this threshold.
        settings.ErrorThreshold = 1e9;
    }

    void expectHelpSays(const char* screen, const char* field, const QString& phrase) {
        EXPECT_TRUE(parameterHelp(screen, field).contains(phrase))
            << screen << " " << field << ": " << parameterHelp(screen, field).toStdString();
        QFile file(QStringLiteral(VORNETICA_HELP_FILE));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(QString::fromUtf8(file.readAll()).simplified().contains(phrase))
            << "the help file does not say: " << phrase.toStdString();
    }

    // A run from a fresh generator, so every run of a test starts from the same weights.
    template <typename Network>
    Network train(const std::function<void(NetworkSettings&)>& rates) {
        rates(settings);
        RandomSource random;
        SilentProgress progress;
        TrainingResult result = runTraining(captureTrainingRequest(settings), random, progress);
        EXPECT_EQ(result.error, "");
        epochs = result.epochs;
        return std::get<Network>(result.network);
    }

    testing::TempDir folder;
    NetworkSettings settings;
    int epochs = 0;
};

TEST_F(RateHelpTest, BackpropagationAlphaTeachesTheOutputLayerAndBetaTheHiddenLayer) {
    expectHelpSays("EncodeBPN", "Alpha", "hidden-to-output weights and the output thresholds");
    expectHelpSays("EncodeBPN", "Beta", "input-to-hidden weights and the hidden thresholds");
    settings.EncodeBPNFlag = 1;
    settings.InputSize = 2;
    settings.HiddenSize = 3;
    settings.OutputSize = 1;
    testing::writeText(settings.InputDataPath, "1\r\n1\r\n-.5\r\n");
    testing::writeText(settings.OutputDataPath, ".9\r\n");

    const auto still = train<BpnNetwork>([](auto& s) { s.Alpha = s.Beta = 0.0; });
    const auto alphaOnly = train<BpnNetwork>([](auto& s) { s.Alpha = 0.5; });
    EXPECT_NE(alphaOnly.OutputWeights, still.OutputWeights);
    EXPECT_NE(alphaOnly.OutputThresholds, still.OutputThresholds);
    EXPECT_EQ(alphaOnly.HiddenWeights, still.HiddenWeights);
    EXPECT_EQ(alphaOnly.HiddenThresholds, still.HiddenThresholds);
    const auto betaOnly = train<BpnNetwork>([](auto& s) {
        s.Alpha = 0.0;
        s.Beta = 0.5;
    });
    EXPECT_EQ(betaOnly.OutputWeights, still.OutputWeights);
    EXPECT_EQ(betaOnly.OutputThresholds, still.OutputThresholds);
    EXPECT_NE(betaOnly.HiddenWeights, still.HiddenWeights);
    EXPECT_NE(betaOnly.HiddenThresholds, still.HiddenThresholds);

    expectHelpSays("EncodeBPN", "MaxIterations", "at most this number plus 2 epochs");
    settings.ErrorThreshold = -2.0;  // every error signal stays above it
    settings.MaxIterations = 3;
    train<BpnNetwork>([](auto& s) { s.Alpha = s.Beta = 0.5; });
    EXPECT_EQ(epochs, 5);
}

TEST_F(RateHelpTest, CounterpropagationBetaDecaysTheOutstarAndGammaTeachesIt) {
    expectHelpSays("EncodeCPN", "Beta", "Decay of the winning node's outstar");
    expectHelpSays("EncodeCPN", "Gamma", "Learning factor of the winning node's outstar");
    expectHelpSays("EncodeCPN", "Beta", "fixed rate that no box sets");
    settings.EncodeCPNFlag = 1;
    settings.InputSize = 2;
    settings.HiddenSize = 2;
    settings.OutputSize = 2;
    settings.NumberTimeSteps = 5;
    testing::writeText(settings.InputDataPath, "1\r\n1\r\n.5\r\n");
    testing::writeText(settings.OutputDataPath, "1\r\n-1\r\n");

    const auto still = train<CpnNetwork>([](auto& s) { s.Beta = s.Gamma = 0.0; });
    const auto decayed = train<CpnNetwork>([](auto& s) { s.Beta = 0.5; });
    const auto taught = train<CpnNetwork>([](auto& s) {
        s.Beta = 0.0;
        s.Gamma = 0.5;
    });
    // Neither rate moves the competitive nodes.
    EXPECT_EQ(decayed.HiddenWeights, still.HiddenWeights);
    EXPECT_EQ(taught.HiddenWeights, still.HiddenWeights);
    // Four time steps at a decay of one half leave the winner's outstar a sixteenth.
    int decayedRows = 0;
    for (std::size_t row = 0; row < 2; ++row) {
        const double first = still.OutputWeights.at(row, 0);
        const double second = still.OutputWeights.at(row, 1);
        if (decayed.OutputWeights.at(row, 0) == first / 16 &&
            decayed.OutputWeights.at(row, 1) == second / 16) {
            ++decayedRows;
        } else {
            EXPECT_EQ(decayed.OutputWeights.at(row, 0), first);
            EXPECT_EQ(decayed.OutputWeights.at(row, 1), second);
        }
    }
    EXPECT_EQ(decayedRows, 1);
    EXPECT_NE(taught.OutputWeights, still.OutputWeights);
}

TEST_F(RateHelpTest, BrainStateAlphaScalesEachUnitsErrorTimesTheVector) {
    expectHelpSays("EncodeBSB", "Alpha", "alpha times unit i's error times element j");
    settings.EncodeBSBFlag = 1;
    settings.InputSize = 3;
    const double x[] = {1.0, 1.0, -1.0};
    testing::writeText(settings.InputDataPath, "1\r\n1\r\n1\r\n-1\r\n");

    const auto still = train<BsbNetwork>([](auto& s) { s.Alpha = 0.0; });
    const auto moved = train<BsbNetwork>([](auto& s) { s.Alpha = 0.5; });
    for (std::size_t i = 0; i < 3; ++i) {
        double response = 0.0;
        for (std::size_t m = 0; m < 3; ++m) {
            response = response + still.Weights.at(i, m) * x[m];
        }
        const double error = x[i] - response;
        for (std::size_t j = 0; j < 3; ++j) {
            EXPECT_EQ(moved.Weights.at(i, j), still.Weights.at(i, j) + (0.5 * error) * x[j]);
        }
    }
}

TEST_F(RateHelpTest, BrainStateRecallMakesOneSweepAndItsThresholdOnlyJudgesIt) {
    expectHelpSays("RecallBSB", "ErrorThreshold", "exactly one sweep");
    expectHelpSays("RecallBSB", "ErrorThreshold",
                   "only decides whether the result counts as settled");
    settings.RecallInputSize = 2;
    settings.RecallOutputWeights = Matrix<double>(2, 2);
    settings.RecallOutputWeights.at(0, 1) = settings.RecallOutputWeights.at(1, 0) = 1.0;
    settings.RecallBeta = 1.0;
    settings.RecallGamma = 10.0;
    const double input[] = {1.0, 0.0};
    settings.RecallErrorThreshold = 0.0;
    const BsbRecall strict = recallBrainStateInABox(settings, input);
    settings.RecallErrorThreshold = 1e9;
    const BsbRecall loose = recallBrainStateInABox(settings, input);
    // One sweep gives (1, 1); a second would give (2, 3).
    EXPECT_EQ(strict.state, (std::vector<double>{1.0, 1.0}));
    EXPECT_EQ(loose.state, strict.state);
    EXPECT_FALSE(strict.settled);
    EXPECT_TRUE(loose.settled);
}

}  // namespace
}  // namespace vornetica
