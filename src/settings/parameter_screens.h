#pragma once

#include <string>

#include "settings/network_settings.h"

namespace vornetica {

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
