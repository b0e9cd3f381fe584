#pragma once

#include <string>

#include "settings/network_settings.h"

namespace vornetica {

// The parameter screens' field labels, without the colon a screen shows after each;
// a refused text is named by its field's label. EncodeBPN's labels serve EncodeBSB
// and the brain-state loading screen where they ask the same; the others have their
// own capitals or words.
namespace labels {
// EncodeBPN, EncodeBSB and RecallBSB
inline constexpr char kInputSize[] = "Enter size of input vectors";
inline constexpr char kHiddenSize[] = "Enter size of hidden layer";
inline constexpr char kOutputSize[] = "Enter size of output vectors";
inline constexpr char kErrorThreshold[] = "Enter error threshold value";
inline constexpr char kMaxIterations[] = "Enter maximum number of iterations";
inline constexpr char kInputScale[] = "Enter input scaling factor";
inline constexpr char kOutputScale[] = "Enter output scaling factor";
inline constexpr char kAlpha[] = "Enter 'alpha' training value";
inline constexpr char kBeta[] = "Enter 'beta' training value";
// EncodeCPN
inline constexpr char kCpnInputSize[] = "Enter Size of Input Vectors";
inline constexpr char kCpnHiddenSize[] = "Enter Size of Hidden Layer";
inline constexpr char kCpnOutputSize[] = "Enter Size of Output Vectors";
inline constexpr char kCpnBeta[] = "Enter 'Beta' Training Value";
inline constexpr char kCpnGamma[] = "Enter 'Gamma' Training Value";
inline constexpr char kCpnTimeSteps[] = "Enter Number of Time Steps";
// EncodeDA
inline constexpr char kDaInputSize[] = "Dimension of Input Vectors";
// ChooseThreshold
inline constexpr char kSlope[] = "Enter Slope";
inline constexpr char kBoundary[] = "Enter Boundary";
inline constexpr char kUpperBoundary[] = "Upper Boundary";
inline constexpr char kLowerBoundary[] = "Lower Boundary";
// RecallBSB
inline constexpr char kRecallBeta[] = "Enter 'beta' recall value";
inline constexpr char kRecallGamma[] = "Enter 'gamma' recall value";
}  // namespace labels

// The texts of each parameter screen, with the texts a screen shows when first
// opened. Each store function converts every text strictly (parameter_text.h) and
// stores the values in the screen's own order only when all of them convert;
// otherwise it throws UserError naming the field and the settings stay untouched.

struct EncodeBPNTexts {
    std::string InputSize = "1";
    std::string HiddenSize = "100";
    std::string OutputSize = "1";
    std::string ErrorThreshold = ".0001";
    std::string MaxIterations = "100";
    std::string InputScale = "10.0";
    std::string OutputScale = "10.0";
    std::string Alpha = "0.75";
    std::string Beta = "0.25";
};
void storeEncodeBPN(NetworkSettings& settings, const EncodeBPNTexts& texts);

struct EncodeCPNTexts {
    std::string InputSize = "4";
    std::string HiddenSize = "50";
    std::string OutputSize = "4";
    std::string Beta = "0.5";
    std::string Gamma = "0.5";
    std::string NumberTimeSteps = "100";
};
void storeEncodeCPN(NetworkSettings& settings, const EncodeCPNTexts& texts);

struct EncodeBSBTexts {
    std::string InputSize = "4";
    std::string Alpha = "0.5";
    std::string ErrorThreshold = "0.01";
};
void storeEncodeBSB(NetworkSettings& settings, const EncodeBSBTexts& texts);

struct EncodeDATexts {
    std::string InputSize = "4";
};
void storeEncodeDA(NetworkSettings& settings, const EncodeDATexts& texts);

// The neuron function screen: the selected option and its four boxes. Only the
// selected function's boxes are read.
struct ChooseThresholdTexts {
    ThresholdKind selected = ThresholdKind::Logistic;
    std::string LinearSlope = "1.0";
    std::string RampBoundary = "1.0";
    std::string StepUpperBoundary = "1.0";
    std::string StepLowerBoundary = "-1.0";
};
void storeChooseThreshold(NetworkSettings& settings, const ChooseThresholdTexts& texts);

// The brain-state-in-a-box loading screen's recall parameters (Gamma must be above 0).
struct RecallBSBTexts {
    std::string Beta = "0.5";
    std::string Gamma = "0.5";
    std::string ErrorThreshold = "0.01";
};
void storeRecallBSB(NetworkSettings& settings, const RecallBSBTexts& texts);

}  // namespace vornetica
