#include "train/training_run.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "support/file_faults.h"
#include "support/recording_progress.h"
#include "support/temp_dir.h"

namespace vornetica {
namespace {

using testing::RecordingProgress;
using testing::TempDir;
using testing::writeText;

class TrainingRunTest : public ::testing::Test {
  protected:
    TempDir folder;
    NetworkSettings settings;
    RandomSource random;
    SilentProgress silent;

    void SetUp() override {
        setDefaultSettings(settings);
        settings.InputDataPath = folder.file("input.dat");
        settings.OutputDataPath = folder.file("output.dat");
    }

    void chooseBpn(int I, int H, int O) {
        settings.EncodeBPNFlag = 1;
        settings.InputSize = static_cast<std::int16_t>(I);
        settings.HiddenSize = static_cast<std::int16_t>(H);
        settings.OutputSize = static_cast<std::int16_t>(O);
        settings.InputScale = 10.0;
        settings.OutputScale = 10.0;
        settings.Alpha = 0.75;
        settings.Beta = 0.25;
        settings.ErrorThreshold = 0.0001;
        settings.MaxIterations = 20;
        settings.ThresholdFunction = ThresholdKind::Logistic;
    }

    void writeXorFiles() {
        writeText(settings.InputDataPath, "4\r\n0\r\n0\r\n0\r\n1\r\n1\r\n0\r\n1\r\n1\r\n");
        writeText(settings.OutputDataPath, "0\r\n1\r\n1\r\n0\r\n");
    }

    TrainingResult run() { return runTraining(captureTrainingRequest(settings), random, silent); }
};

TEST_F(TrainingRunTest, CapturesEachKindsParameters) {
    chooseBpn(3, 5, 2);
    settings.ThresholdFunction = ThresholdKind::Ramp;
    settings.RampBoundary = 0.5;
    TrainingRequest request = captureTrainingRequest(settings);
    ASSERT_EQ(NetworkKind::BPN, request.kind);
    const auto& bpn = std::get<BpnParameters>(request.parameters);
    EXPECT_EQ(3, bpn.inputSize);
    EXPECT_EQ(5, bpn.hiddenSize);
    EXPECT_EQ(2, bpn.outputSize);
    EXPECT_EQ(0.75, bpn.Alpha);
    EXPECT_EQ(0.25, bpn.Beta);
    EXPECT_EQ(20, bpn.MaxIterations);
    EXPECT_EQ(ThresholdKind::Ramp, bpn.threshold.function);
    EXPECT_EQ(0.5, bpn.threshold.RampBoundary);
    EXPECT_EQ(settings.OutputDataPath, request.outputDataPath);

    settings.EncodeBPNFlag = 0;
    settings.EncodeCPNFlag = 1;
    settings.Gamma = 0.125;
    settings.NumberTimeSteps = 7;
    request = captureTrainingRequest(settings);
    const auto& cpn = std::get<CpnParameters>(request.parameters);
    EXPECT_EQ(5, cpn.hiddenSize);
    EXPECT_EQ(0.25, cpn.Beta);
    EXPECT_EQ(0.125, cpn.Gamma);
    EXPECT_EQ(7, cpn.NumberTimeSteps);

    settings.EncodeCPNFlag = 0;
    settings.EncodeBSBFlag = 1;
    request = captureTrainingRequest(settings);
    const auto& bsb = std::get<BsbParameters>(request.parameters);
    EXPECT_EQ(3, bsb.inputSize);
    EXPECT_EQ(0.75, bsb.Alpha);
    EXPECT_EQ(0.0001, bsb.ErrorThreshold);

    settings.EncodeBSBFlag = 0;
    settings.EncodeDAFlag = 1;
    EXPECT_EQ(3, std::get<int>(captureTrainingRequest(settings).parameters));

    settings.EncodeDAFlag = 0;
    request = captureTrainingRequest(settings);
    EXPECT_FALSE(request.kind);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(request.parameters));
}

TEST_F(TrainingRunTest, BpnRunFromFilesTrainsAndCommits) {
    chooseBpn(2, 2, 1);
    settings.InputScale = settings.OutputScale = 1.0;
    writeXorFiles();
    settings.TrainingVectorCount = 9;  // what a grid screen stored; the file's count wins

    TrainingResult result = run();
    ASSERT_EQ("", result.error);
    EXPECT_EQ(4, result.vectorCount);
    EXPECT_EQ(22, result.epochs);  // the error stays above .0001 for MaxIterations + 2 epochs

    // The same run over the same values in memory gives the same network.
    TrainingSet set;
    set.count = 4;
    set.inputs = Matrix<double>(4, 2);
    set.outputs = Matrix<double>(4, 1);
    set.inputs.values() = {0, 0, 0, 1, 1, 0, 1, 1};
    set.outputs.values() = {0, 1, 1, 0};
    RandomSource fresh;
    const BpnRun expected = trainBackpropagation(
        std::get<BpnParameters>(captureTrainingRequest(settings).parameters), set, fresh, silent);
    const auto& network = std::get<BpnNetwork>(result.network);
    EXPECT_EQ(expected.network.HiddenWeights, network.HiddenWeights);
    EXPECT_EQ(expected.network.OutputWeights, network.OutputWeights);
    EXPECT_EQ(expected.network.OutputThresholds, network.OutputThresholds);

    TrainedNetwork storage;
    commitTrainingResult(settings, storage, std::move(result));
    EXPECT_EQ(4, settings.TrainingVectorCount);
    EXPECT_EQ(2, settings.TrainedInputSize);
    EXPECT_EQ(2, settings.TrainedHiddenSize);
    EXPECT_EQ(1, settings.TrainedOutputSize);
    EXPECT_EQ(expected.network.HiddenThresholds, std::get<BpnNetwork>(storage).HiddenThresholds);
}

TEST_F(TrainingRunTest, EmptyTrainingSetRunsOneEpoch) {
    chooseBpn(2, 3, 1);
    writeText(settings.InputDataPath, "0\r\n");
    writeText(settings.OutputDataPath, "");
    TrainingResult result = run();
    ASSERT_EQ("", result.error);
    EXPECT_EQ(0, result.vectorCount);
    EXPECT_EQ(1, result.epochs);
    EXPECT_EQ(2, std::get<BpnNetwork>(result.network).inputSize());
}

TEST_F(TrainingRunTest, RefusedRunsChangeNothing) {
    writeXorFiles();
    struct Refusal {
        const char* what;
        void (*spoil)(NetworkSettings&);
    };
    const Refusal refusals[] = {
        {"input scale", [](NetworkSettings& s) { s.InputScale = 0.0; }},
        {"output scale", [](NetworkSettings& s) { s.OutputScale = -0.0; }},
        {"hidden size", [](NetworkSettings& s) { s.HiddenSize = 0; }},
        {"input size", [](NetworkSettings& s) { s.InputSize = -3; }},
        {"output size", [](NetworkSettings& s) { s.OutputSize = 0; }},
        {"input.dat", [](NetworkSettings& s) { s.InputDataPath += ".missing"; }},
        {"output.dat", [](NetworkSettings& s) { s.OutputDataPath += ".missing"; }},
        {"input.dat", [](NetworkSettings& s) { s.InputSize = 3; }},  // file too short
        {"181",
         [](NetworkSettings& s) {
             s.EncodeBPNFlag = 0;
             s.EncodeDAFlag = 1;
             s.InputSize = 182;
         }},
    };
    for (const Refusal& refusal : refusals) {
        chooseBpn(2, 2, 1);
        settings.InputDataPath = folder.file("input.dat");
        settings.OutputDataPath = folder.file("output.dat");
        refusal.spoil(settings);
        settings.TrainingVectorCount = 9;
        settings.TrainedInputSize = 5;
        TrainedNetwork storage = BsbNetwork{Matrix<double>(1, 1)};

        TrainingResult result = run();
        EXPECT_NE(std::string::npos, result.error.find(refusal.what))
            << refusal.what << ": " << result.error;
        EXPECT_TRUE(std::holds_alternative<std::monostate>(result.network));
        commitTrainingResult(settings, storage, std::move(result));
        EXPECT_EQ(9, settings.TrainingVectorCount);
        EXPECT_EQ(5, settings.TrainedInputSize);
        EXPECT_TRUE(std::holds_alternative<BsbNetwork>(storage)) << refusal.what;
    }
    // None of the refused runs drew a random number.
    RandomSource fresh;
    EXPECT_EQ(fresh.next(), random.next());
}

TEST_F(TrainingRunTest, NoKindChosenTrainsNothing) {
    chooseBpn(2, 2, 1);
    settings.EncodeBPNFlag = 0;
    TrainingResult result = run();
    EXPECT_FALSE(result.kind);
    EXPECT_EQ("", result.error);
    TrainedNetwork storage = BsbNetwork{};
    commitTrainingResult(settings, storage, std::move(result));
    EXPECT_TRUE(std::holds_alternative<BsbNetwork>(storage));
}

TEST_F(TrainingRunTest, KindsWithoutTargetsNeverReadTheOutputFile) {
    writeText(settings.InputDataPath, "2\r\n1\r\n-1\r\n1\r\n1\r\n-1\r\n1\r\n");
    settings.OutputDataPath = folder.file("absent.dat");
    settings.InputSize = 3;
    settings.EncodeDAFlag = 1;
    TrainingResult result = run();
    ASSERT_EQ("", result.error);
    TrainedNetwork storage;
    commitTrainingResult(settings, storage, std::move(result));
    EXPECT_EQ(2, settings.TrainingVectorCount);
    EXPECT_EQ(3, settings.TrainedInputSize);
    EXPECT_EQ(3, std::get<DaNetwork>(storage).inputSize());

    settings.EncodeDAFlag = 0;
    settings.EncodeBSBFlag = 1;
    settings.Alpha = 0.5;
    settings.ErrorThreshold = 0.5;
    result = run();
    ASSERT_EQ("", result.error);
    commitTrainingResult(settings, storage, std::move(result));
    EXPECT_EQ(3, std::get<BsbNetwork>(storage).inputSize());
}

TEST_F(TrainingRunTest, AutocorrelatorOverflowLeavesTheStoredNetwork) {
    // An overflow is found part way through the sums, after progress was shown.
    writeText(settings.InputDataPath, "1\r\n200\r\n200\r\n");
    settings.InputSize = 2;
    settings.EncodeDAFlag = 1;
    settings.TrainedInputSize = 3;
    TrainingResult result = run();
    EXPECT_NE("", result.error);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(result.network));
    TrainedNetwork storage = DaNetwork{Matrix<std::int16_t>(3, 3)};
    commitTrainingResult(settings, storage, std::move(result));
    ASSERT_TRUE(std::holds_alternative<DaNetwork>(storage));
    EXPECT_EQ(3, std::get<DaNetwork>(storage).inputSize());
    EXPECT_EQ(3, settings.TrainedInputSize);
}

TEST_F(TrainingRunTest, StoppedRunKeepsItsNetwork) {
    chooseBpn(2, 2, 1);
    writeXorFiles();
    RecordingProgress progress;
    progress.stopAfterQuestions = 1;
    TrainingResult result = runTraining(captureTrainingRequest(settings), random, progress);
    ASSERT_EQ("", result.error);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(2, progress.questions);
    TrainedNetwork storage;
    commitTrainingResult(settings, storage, std::move(result));
    EXPECT_TRUE(std::holds_alternative<BpnNetwork>(storage));
}

TEST_F(TrainingRunTest, NetworkTooLargeForMemoryIsRefused) {
    chooseBpn(1, 32000, 32000);  // about 8 GB of output weights
    writeText(settings.InputDataPath, "0\r\n");
    writeText(settings.OutputDataPath, "");
    TrainingResult result;
    {
        testing::AddressSpaceRoom limit(std::uint64_t{2} << 30);
        result = run();
    }
    EXPECT_NE(std::string::npos, result.error.find("memory")) << result.error;
    EXPECT_NE(std::string::npos, result.error.find("1-32000-32000")) << result.error;
    EXPECT_TRUE(std::holds_alternative<std::monostate>(result.network));
}

}  // namespace
}  // namespace vornetica
