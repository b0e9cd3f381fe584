#include "wizard/parameter_screens.h"

#include "wizard/parameter_text.h"

namespace vornetica {

// Every field is converted before the first one is stored, so a refused text leaves
// the settings exactly as they were.

void storeEncodeBPN(NetworkSettings& settings, const EncodeBPNTexts& texts) {
    const auto inputSize = parseSizeField(texts.InputSize, labels::kInputSize);
    const auto hiddenSize = parseSizeField(texts.HiddenSize, labels::kHiddenSize);
    const auto outputSize = parseSizeField(texts.OutputSize, labels::kOutputSize);
    const double errorThreshold = parseRealField(texts.ErrorThreshold, labels::kErrorThreshold);
    const auto maxIterations = parseCountField(texts.MaxIterations, labels::kMaxIterations);
    const double inputScale = parseNonZeroRealField(texts.InputScale, labels::kInputScale);
    const double outputScale = parseNonZeroRealField(texts.OutputScale, labels::kOutputScale);
    const double alpha = parseRealField(texts.Alpha, labels::kAlpha);
    const double beta = parseRealField(texts.Beta, labels::kBeta);

    settings.InputSize = inputSize;
    settings.HiddenSize = hiddenSize;
    settings.OutputSize = outputSize;
    settings.InputScale = inputScale;
    settings.OutputScale = outputScale;
    settings.Alpha = alpha;
    settings.Beta = beta;
    settings.ErrorThreshold = errorThreshold;
    settings.MaxIterations = maxIterations;
}

void storeEncodeCPN(NetworkSettings& settings, const EncodeCPNTexts& texts) {
    const auto inputSize = parseSizeField(texts.InputSize, labels::kCpnInputSize);
    const auto hiddenSize = parseSizeField(texts.HiddenSize, labels::kCpnHiddenSize);
    const auto outputSize = parseSizeField(texts.OutputSize, labels::kCpnOutputSize);
    const double beta = parseRealField(texts.Beta, labels::kCpnBeta);
    const double gamma = parseRealField(texts.Gamma, labels::kCpnGamma);
    const auto timeSteps = parseCountField(texts.NumberTimeSteps, labels::kCpnTimeSteps);

    settings.InputSize = inputSize;
    settings.HiddenSize = hiddenSize;
    settings.OutputSize = outputSize;
    settings.Beta = beta;
    settings.Gamma = gamma;
    settings.NumberTimeSteps = timeSteps;
}

void storeEncodeBSB(NetworkSettings& settings, const EncodeBSBTexts& texts) {
    const auto inputSize = parseSizeField(texts.InputSize, labels::kInputSize);
    const double alpha = parseRealField(texts.Alpha, labels::kAlpha);
    const double errorThreshold = parseRealField(texts.ErrorThreshold, labels::kErrorThreshold);

    settings.Alpha = alpha;
    settings.InputSize = inputSize;
    settings.ErrorThreshold = errorThreshold;
}

void storeEncodeDA(NetworkSettings& settings, const EncodeDATexts& texts) {
    settings.InputSize = parseSizeField(texts.InputSize, labels::kDaInputSize);
}

void storeChooseThreshold(NetworkSettings& settings, const ChooseThresholdTexts& texts) {
    switch (texts.selected) {
        case ThresholdKind::Linear: {
            const double slope = parseRealField(texts.LinearSlope, labels::kSlope);
            settings.ThresholdFunction = ThresholdKind::Linear;
            settings.LinearSlope = slope;
            return;
        }
        case ThresholdKind::Ramp: {
            const double boundary = parseRealField(texts.RampBoundary, labels::kBoundary);
            settings.ThresholdFunction = ThresholdKind::Ramp;
            settings.RampBoundary = boundary;
            return;
        }
        case ThresholdKind::Step: {
            const double upper = parseRealField(texts.StepUpperBoundary, labels::kUpperBoundary);
            const double lower = parseRealField(texts.StepLowerBoundary, labels::kLowerBoundary);
            settings.ThresholdFunction = ThresholdKind::Step;
            settings.StepUpperBoundary = upper;
            settings.StepLowerBoundary = lower;
            return;
        }
        case ThresholdKind::Logistic:
        case ThresholdKind::Tanh:
        case ThresholdKind::RatioSquares:
        case ThresholdKind::NoneChosen:
            settings.ThresholdFunction = texts.selected;
            return;
    }
}

void storeRecallBSB(NetworkSettings& settings, const RecallBSBTexts& texts) {
    const double beta = parseRealField(texts.Beta, labels::kRecallBeta);
    const double gamma = parsePositiveRealField(texts.Gamma, labels::kRecallGamma);
    const double errorThreshold = parseRealField(texts.ErrorThreshold, labels::kErrorThreshold);

    settings.RecallBeta = beta;
    settings.RecallGamma = gamma;
    settings.RecallErrorThreshold = errorThreshold;
}

}  // namespace vornetica
