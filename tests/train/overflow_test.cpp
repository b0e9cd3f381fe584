// Runs whose numbers overflow: they must finish like any other run, show the
// values as NaN or Inf, and leave a network that either saves and loads, or saves
// and is then refused on loading with a message naming the line.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "netfile/network_file.h"
#include "support/recording_progress.h"
#include "support/temp_dir.h"
#include "support/training_settings.h"
#include "train/training_run.h"

namespace vornetica {
namespace {

using testing::readText;
using testing::RecordingProgress;
using testing::TempDir;
using testing::useModestTrainingSettings;
using testing::writeText;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos;
         end = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool isNonFiniteText(const std::string& line) {
    return line == "NAN" || line == "-NAN" || line == "INF" || line == "-INF";
}

class OverflowTest : public ::testing::Test {
  protected:
    TempDir folder;
    NetworkSettings settings;
    RandomSource random;
    RecordingProgress progress;

    void SetUp() override { useModestTrainingSettings(settings, folder); }

    TrainingResult run() { return runTraining(captureTrainingRequest(settings), random, progress); }

    bool progressShowedNonFinite() const {
        for (const auto& cells : progress.shown) {
            for (const double v : cells.values) {
                if (!std::isfinite(v)) {
                    return true;
                }
            }
        }
        return false;
    }

    // Saves the network and loads it for recall. A file with a value the reader
    // cannot take is refused naming the first such line and its text.
    void expectSavedFileIsRefusedAtItsFirstNonFiniteLine(const TrainedNetwork& network,
                                                         NetworkKind kind) {
        const std::string path = folder.file("network.vrn");
        ASSERT_NO_THROW(writeNetworkFile(path, network));
        const std::vector<std::string> lines = linesOf(readText(path));
        std::size_t bad = 0;
        while (bad < lines.size() && !isNonFiniteText(lines[bad])) {
            ++bad;
        }
        ASSERT_LT(bad, lines.size()) << "the run was meant to overflow";

        recallFlag(settings, kind) = 1;
        settings.NetworkFilePath = path;
        settings.RecallInputSize = 7;
        const LoadOutcome outcome = loadNetwork(settings);
        EXPECT_FALSE(outcome.loaded);
        EXPECT_EQ(outcome.message, path + ", line " + std::to_string(bad + 1) + ": \"" +
                                       lines[bad] + "\" is not a number.");
        EXPECT_EQ(settings.RecallInputSize, 7);  // nothing was half loaded
    }
};

TEST_F(OverflowTest, DivergingBackpropagationFinishesAndShowsNaN) {
    settings.EncodeBPNFlag = 1;
    settings.InputSize = 2;
    settings.HiddenSize = 3;
    settings.OutputSize = 1;
    settings.Alpha = 1e300;
    settings.MaxIterations = 5;
    settings.ThresholdFunction = ThresholdKind::Linear;
    settings.LinearSlope = 1.0;
    writeText(settings.InputDataPath, "2\r\n1e300\r\n-1e300\r\n1e300\r\n1e300\r\n");
    writeText(settings.OutputDataPath, "1e300\r\n-1e300\r\n");

    const TrainingResult result = run();
    ASSERT_EQ(result.error, "");
    const auto& network = std::get<BpnNetwork>(result.network);
    const double weight = network.HiddenWeights.at(0, 0);
    ASSERT_FALSE(std::isfinite(weight));
    EXPECT_EQ(numberText(weight), std::isnan(weight) ? " NaN" : (weight > 0 ? " Inf" : "-Inf"));
    EXPECT_TRUE(progressShowedNonFinite());
    expectSavedFileIsRefusedAtItsFirstNonFiniteLine(result.network, NetworkKind::BPN);
}

TEST_F(OverflowTest, BackpropagationWithHugeRatesStaysFiniteSavesAndLoads) {
    // The logistic function saturates, so the weights grow huge but stay finite.
    settings.EncodeBPNFlag = 1;
    settings.InputSize = 2;
    settings.HiddenSize = 3;
    settings.OutputSize = 1;
    settings.Alpha = 1e300;
    settings.MaxIterations = 50;
    settings.ThresholdFunction = ThresholdKind::Logistic;
    writeText(settings.InputDataPath, "4\r\n0\r\n0\r\n0\r\n1\r\n1\r\n0\r\n1\r\n1\r\n");
    writeText(settings.OutputDataPath, "0\r\n1\r\n1\r\n0\r\n");

    const TrainingResult result = run();
    ASSERT_EQ(result.error, "");
    const auto& trained = std::get<BpnNetwork>(result.network);
    const std::string path = folder.file("network.vrn");
    writeNetworkFile(path, result.network);
    const auto loaded = std::get<BpnNetwork>(readNetworkFile(path, NetworkKind::BPN));
    ASSERT_EQ(loaded.OutputWeights.values().size(), trained.OutputWeights.values().size());
    bool anyHuge = false;
    for (std::size_t i = 0; i < loaded.OutputWeights.values().size(); ++i) {
        const double written = trained.OutputWeights.values()[i];
        anyHuge = anyHuge || std::abs(written) > 1e200;
        EXPECT_NEAR(loaded.OutputWeights.values()[i], written, std::abs(written) * 1e-14);
    }
    EXPECT_TRUE(anyHuge);
}

TEST_F(OverflowTest, BoxWithHugeInputsFinishesAndShowsNaN) {
    settings.EncodeBSBFlag = 1;
    settings.InputSize = 2;
    writeText(settings.InputDataPath, "2\r\n1e300\r\n-1e300\r\n1e300\r\n1e300\r\n");

    const TrainingResult result = run();
    ASSERT_EQ(result.error, "");
    const double weight = std::get<BsbNetwork>(result.network).Weights.at(0, 0);
    ASSERT_FALSE(std::isfinite(weight));
    EXPECT_EQ(cutNumberText(weight, 5), std::isnan(weight) ? "NaN" : (weight > 0 ? "Inf" : "-Inf"));
    EXPECT_TRUE(progressShowedNonFinite());
    expectSavedFileIsRefusedAtItsFirstNonFiniteLine(result.network, NetworkKind::BSB);
}

}  // namespace
}  // namespace vornetica
