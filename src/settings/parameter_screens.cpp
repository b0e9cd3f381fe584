#include "settings/parameter_screens.h"

#include "settings/parameter_text.h"

namespace vornetica {

// Every field is converted before the first one is stored, so a refused text leaves
// the settings exactly as they were. The field names are the labels without the colon.

void storeEncodeBPN(NetworkSettings& settings, const EncodeBPNTexts& texts) {
    const auto inputSize = parseSizeField(texts.InputSize, "Enter size of input vectors");
    const auto hiddenSize = parseSizeField(texts.HiddenSize, "Enter size of hidden layer");
    const auto outputSize = parseSizeField(texts.OutputSize, "Enter size of output vectors");
    const double errorThreshold =
        parseRealField(texts.ErrorThreshold, "Enter error threshold value");
    const auto maxIterations =
        parseCountField(texts.MaxIterations, "Enter maximum number of iterations");
    const double inputScale = parseNonZeroRealField(texts.InputScale, "Enter input scaling factor");
    const double outputScale =
        parseNonZeroRealField(texts.OutputScale, "Enter output scaling factor");
    const double alpha = parseRealField(texts.Alpha, "Enter 'alpha' training value");
    const double beta = parseRealField(texts.Beta, "Enter 'beta' training value");

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
    const auto inputSize = parseSizeField(texts.InputSize, "Enter Size of Input Vectors");
    const auto hiddenSize = parseSizeField(texts.HiddenSize, "Enter Size of Hidden Layer");
    const auto outputSize = parseSizeField(texts.OutputSize, "Enter Size of Output Vectors");
    const double beta = parseRealField(texts.Beta, "Enter 'Beta' Training Value");
    const double gamma = parseRealField(texts.Gamma, "Enter 'Gamma' Training Value");
    const auto timeSteps = parseCountField(texts.NumberTimeSteps, "Enter Number of Time Steps");

    settings.InputSize = inputSize;
    settings.HiddenSize = hiddenSize;
    settings.OutputSize = outputSize;
    settings.Beta = beta;
    settings.Gamma = gamma;
    settings.NumberTimeSteps = timeSteps;
}

void storeEncodeBSB(NetworkSettings& settings, const EncodeBSBTexts& texts) {
    const auto inputSize = parseSizeField(texts.InputSize, "Enter size of input vectors");
    const double alpha = parseRealField(texts.Alpha, "Enter 'alpha' training value");
    const double errorThreshold =
        parseRealField(texts.ErrorThreshold, "Enter error threshold value");

    settings.Alpha = alpha;
    settings.InputSize = inputSize;
    settings.ErrorThreshold = errorThreshold;
}

void storeEncodeDA(NetworkSettings& settings, const EncodeDATexts& texts) {
    settings.InputSize = parseSizeField(texts.InputSize, "Dimension of Input Vectors");
}

void storeChooseThreshold(NetworkSettings& settings, const ChooseThresholdTexts& texts) {
    switch (texts.selected) {
        case ThresholdKind::Linear: {
            const double slope = parseRealField(texts.LinearSlope, "Enter Slope");
            settings.ThresholdFunction = ThresholdKind::Linear;
            settings.LinearSlope = slope;
            return;
        }
        case ThresholdKind::Ramp: {
            const double boundary = parseRealField(texts.RampBoundary, "Enter Boundary");
            settings.ThresholdFunction = ThresholdKind::Ramp;
            settings.RampBoundary = boundary;
            return;
        }
        case ThresholdKind::Step: {
            const double upper = parseRealField(texts.StepUpperBoundary, "Upper Boundary");
            const double lower = parseRealField(texts.StepLowerBoundary, "Lower Boundary");
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
    const double beta = parseRealField(texts.Beta, "Enter 'beta' recall value");
    const double gamma = parsePositiveRealField(texts.Gamma, "Enter 'gamma' recall value");
    const double errorThreshold =
        parseRealField(texts.ErrorThreshold, "Enter error threshold value");

    settings.RecallBeta = beta;
    settings.RecallGamma = gamma;
    settings.RecallErrorThreshold = errorThreshold;
}

}  // namespace vornetica
