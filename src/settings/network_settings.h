#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/matrix.h"

namespace vornetica {

enum class NetworkKind { BPN, CPN, BSB, DA };

// The file tag of each kind: "BPN", "CPN", "BSB", "DA".
const char* kindTag(NetworkKind kind);

enum DataEntryModeValue : std::int16_t { Manual = 1, FromFiles = 2 };

enum class ThresholdKind { NoneChosen, Linear, Ramp, Step, Logistic, Tanh, RatioSquares };

// The one program-wide record through which the screens, the training window and
// the recall window talk. Created by main and passed by reference; never copied.
struct NetworkSettings {
    // Every field starts at 0, 0.0 or empty; setDefaultSettings puts in the start values.
    NetworkSettings() = default;
    NetworkSettings(const NetworkSettings&) = delete;
    NetworkSettings& operator=(const NetworkSettings&) = delete;

    std::int16_t InputSize = 0;
    std::int16_t TrainingVectorCount = 0;
    std::int16_t DataEntryMode = 0;
    std::int16_t HiddenSize = 0;
    std::int16_t OutputSize = 0;
    std::int16_t NumberTimeSteps = 0;

    std::int16_t EncodeDAFlag = 0;
    std::int16_t EncodeBPNFlag = 0;
    std::int16_t EncodeCPNFlag = 0;
    std::int16_t EncodeBSBFlag = 0;
    std::int16_t RecallDAFlag = 0;
    std::int16_t RecallBPNFlag = 0;
    std::int16_t RecallCPNFlag = 0;
    std::int16_t RecallBSBFlag = 0;

    ThresholdKind ThresholdFunction = ThresholdKind::NoneChosen;

    std::int16_t RecallInputSize = 0;
    std::int16_t RecallHiddenSize = 0;
    std::int16_t RecallOutputSize = 0;
    Matrix<std::int16_t> RecallMatrix;
    std::int16_t MaxIterations = 0;
    std::int16_t TrainedInputSize = 0;
    std::int16_t TrainedHiddenSize = 0;
    std::int16_t TrainedOutputSize = 0;
    std::int16_t ReturnToTraining = 0;
    double RecallGamma = 0.0;
    double RecallInputScale = 0.0;
    double RecallOutputScale = 0.0;
    double RecallBeta = 0.0;
    double RecallErrorThreshold = 0.0;
    Matrix<double> RecallHiddenWeights;
    Matrix<double> RecallOutputWeights;
    std::vector<double> RecallHiddenThresholds;
    std::vector<double> RecallOutputThresholds;
    std::vector<double> RecallStateVector;
    std::vector<double> RecallHiddenVector;
    std::vector<double> RecallOutputVector;
    std::vector<double> RecallStartVector;
    // The autocorrelator's 16-bit work vectors: the input copy and the state.
    std::vector<std::int16_t> RecallInputCopy;
    std::vector<std::int16_t> RecallStateBits;
    // Which kind the recall fields hold, if any network is loaded at all.
    std::optional<NetworkKind> RecallLoadedKind;

    double InputScale = 0.0;
    double OutputScale = 0.0;
    double Alpha = 0.0;
    double Beta = 0.0;
    double Gamma = 0.0;
    double ErrorThreshold = 0.0;
    double LinearSlope = 0.0;
    double RampBoundary = 0.0;
    double StepUpperBoundary = 0.0;
    double StepLowerBoundary = 0.0;

    std::string InputDataPath;
    std::string OutputDataPath;
    std::string NetworkFilePath;
};

// Puts in the start values: DataEntryMode 1, every kind flag 0, no neuron function
// chosen, the neuron function parameters at their defaults. Touches nothing else.
void setDefaultSettings(NetworkSettings& settings);

// The kind whose encode flag is set, testing in the order BPN, BSB, CPN, DA.
std::optional<NetworkKind> encodeKind(const NetworkSettings& settings);
// The kind whose recall flag is set, testing in the order BPN, BSB, CPN, DA.
std::optional<NetworkKind> recallKind(const NetworkSettings& settings);

// Backpropagation and the brain-state box train until their errors fall to
// ErrorThreshold; the other kinds have no such threshold.
bool trainsToErrorThreshold(NetworkKind kind);

void clearEncodeFlags(NetworkSettings& settings);
void clearRecallFlags(NetworkSettings& settings);
std::int16_t& encodeFlag(NetworkSettings& settings, NetworkKind kind);
std::int16_t& recallFlag(NetworkSettings& settings, NetworkKind kind);

}  // namespace vornetica
