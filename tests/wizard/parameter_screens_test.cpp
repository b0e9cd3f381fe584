#include "wizard/parameter_screens.h"

#include <gtest/gtest.h>

#include "base/user_error.h"

namespace vornetica {
namespace {

TEST(EncodeBPNScreen, DefaultTextsStoreTheirValues) {
    NetworkSettings settings;
    storeEncodeBPN(settings, EncodeBPNTexts{});
    EXPECT_EQ(settings.InputSize, 1);
    EXPECT_EQ(settings.HiddenSize, 100);
    EXPECT_EQ(settings.OutputSize, 1);
    EXPECT_EQ(settings.ErrorThreshold, 0.0001);
    EXPECT_EQ(settings.MaxIterations, 100);
    EXPECT_EQ(settings.InputScale, 10.0);
    EXPECT_EQ(settings.OutputScale, 10.0);
    EXPECT_EQ(settings.Alpha, 0.75);
    EXPECT_EQ(settings.Beta, 0.25);
}

TEST(EncodeBPNScreen, HalvesRoundToEven) {
    NetworkSettings settings;
    EncodeBPNTexts texts;
    texts.InputSize = "2.5";
    texts.HiddenSize = "3.5";
    storeEncodeBPN(settings, texts);
    EXPECT_EQ(settings.InputSize, 2);
    EXPECT_EQ(settings.HiddenSize, 4);
}

// A refused text anywhere, even in the last field, leaves every field untouched.
TEST(EncodeBPNScreen, ARefusedFieldStoresNothing) {
    const auto refused = [](auto change) {
        NetworkSettings settings;
        EncodeBPNTexts texts;
        change(texts);
        EXPECT_THROW(storeEncodeBPN(settings, texts), UserError);
        EXPECT_EQ(settings.InputSize, 0);
        EXPECT_EQ(settings.HiddenSize, 0);
        EXPECT_EQ(settings.Alpha, 0.0);
        EXPECT_EQ(settings.MaxIterations, 0);
    };
    refused([](EncodeBPNTexts& t) { t.Beta = "abc"; });
    refused([](EncodeBPNTexts& t) { t.InputSize = "0"; });
    refused([](EncodeBPNTexts& t) { t.OutputSize = "40000"; });
    refused([](EncodeBPNTexts& t) { t.InputScale = "0"; });
    refused([](EncodeBPNTexts& t) { t.OutputScale = "0.0"; });
    refused([](EncodeBPNTexts& t) { t.MaxIterations = "-1"; });
    refused([](EncodeBPNTexts& t) { t.ErrorThreshold = ""; });
}

TEST(EncodeBPNScreen, MessageNamesTheField) {
    NetworkSettings settings;
    EncodeBPNTexts texts;
    texts.Alpha = "fast";
    try {
        storeEncodeBPN(settings, texts);
        FAIL() << "a letter was accepted";
    } catch (const UserError& error) {
        EXPECT_NE(std::string(error.what()).find("'alpha'"), std::string::npos) << error.what();
    }
}

TEST(EncodeCPNScreen, DefaultsAndRefusal) {
    NetworkSettings settings;
    storeEncodeCPN(settings, EncodeCPNTexts{});
    EXPECT_EQ(settings.InputSize, 4);
    EXPECT_EQ(settings.HiddenSize, 50);
    EXPECT_EQ(settings.OutputSize, 4);
    EXPECT_EQ(settings.Beta, 0.5);
    EXPECT_EQ(settings.Gamma, 0.5);
    EXPECT_EQ(settings.NumberTimeSteps, 100);

    EncodeCPNTexts texts;
    texts.InputSize = "7";
    texts.NumberTimeSteps = "-3";
    EXPECT_THROW(storeEncodeCPN(settings, texts), UserError);
    EXPECT_EQ(settings.InputSize, 4);
}

TEST(EncodeBSBAndDAScreens, DefaultsAndRefusal) {
    NetworkSettings settings;
    storeEncodeBSB(settings, EncodeBSBTexts{});
    EXPECT_EQ(settings.InputSize, 4);
    EXPECT_EQ(settings.Alpha, 0.5);
    EXPECT_EQ(settings.ErrorThreshold, 0.01);

    EncodeBSBTexts bsb;
    bsb.Alpha = "0.9";
    bsb.ErrorThreshold = "1,5";
    EXPECT_THROW(storeEncodeBSB(settings, bsb), UserError);
    EXPECT_EQ(settings.Alpha, 0.5);

    storeEncodeDA(settings, EncodeDATexts{"9"});
    EXPECT_EQ(settings.InputSize, 9);
    EXPECT_THROW(storeEncodeDA(settings, EncodeDATexts{"0"}), UserError);
    EXPECT_EQ(settings.InputSize, 9);
}

TEST(ChooseThresholdScreen, OnlyTheSelectedFunctionsBoxesAreRead) {
    NetworkSettings settings;
    setDefaultSettings(settings);
    ChooseThresholdTexts texts;
    texts.LinearSlope = "junk";
    texts.StepUpperBoundary = "junk";
    storeChooseThreshold(settings, texts);  // Logistic, as first shown
    EXPECT_EQ(settings.ThresholdFunction, ThresholdKind::Logistic);
    EXPECT_EQ(settings.LinearSlope, 1.0);

    texts.selected = ThresholdKind::Ramp;
    texts.RampBoundary = "2.5";
    storeChooseThreshold(settings, texts);
    EXPECT_EQ(settings.ThresholdFunction, ThresholdKind::Ramp);
    EXPECT_EQ(settings.RampBoundary, 2.5);
    EXPECT_EQ(settings.StepUpperBoundary, 1.0);
}

TEST(ChooseThresholdScreen, StepReadsBothBoundariesOrNeither) {
    NetworkSettings settings;
    setDefaultSettings(settings);
    ChooseThresholdTexts texts;
    texts.selected = ThresholdKind::Step;
    texts.StepUpperBoundary = "-2";
    texts.StepLowerBoundary = "3";
    storeChooseThreshold(settings, texts);
    EXPECT_EQ(settings.ThresholdFunction, ThresholdKind::Step);
    EXPECT_EQ(settings.StepUpperBoundary, -2.0);
    EXPECT_EQ(settings.StepLowerBoundary, 3.0);

    texts.StepUpperBoundary = "5";
    texts.StepLowerBoundary = "low";
    settings.ThresholdFunction = ThresholdKind::Tanh;
    EXPECT_THROW(storeChooseThreshold(settings, texts), UserError);
    EXPECT_EQ(settings.ThresholdFunction, ThresholdKind::Tanh);
    EXPECT_EQ(settings.StepUpperBoundary, -2.0);
}

TEST(RecallBSBScreen, GammaMustBeAboveZero) {
    NetworkSettings settings;
    storeRecallBSB(settings, RecallBSBTexts{});
    EXPECT_EQ(settings.RecallBeta, 0.5);
    EXPECT_EQ(settings.RecallGamma, 0.5);
    EXPECT_EQ(settings.RecallErrorThreshold, 0.01);

    for (const char* gamma : {"0", "-1"}) {
        RecallBSBTexts texts;
        texts.Beta = "0.7";
        texts.Gamma = gamma;
        EXPECT_THROW(storeRecallBSB(settings, texts), UserError) << gamma;
        EXPECT_EQ(settings.RecallBeta, 0.5);
        EXPECT_EQ(settings.RecallGamma, 0.5);
    }
}

}  // namespace
}  // namespace vornetica
