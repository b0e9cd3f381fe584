#include "settings/network_settings.h"

#include <gtest/gtest.h>

#include "settings/random_source.h"

namespace vornetica {
namespace {

TEST(NetworkSettings, DefaultsTouchOnlyTheirFields) {
    NetworkSettings settings;
    settings.InputSize = 7;
    settings.EncodeCPNFlag = 1;
    settings.RecallDAFlag = 1;
    settings.ThresholdFunction = ThresholdKind::Tanh;
    settings.DataEntryMode = FromFiles;

    setDefaultSettings(settings);

    EXPECT_EQ(settings.DataEntryMode, Manual);
    EXPECT_EQ(encodeKind(settings), std::nullopt);
    EXPECT_EQ(recallKind(settings), std::nullopt);
    EXPECT_EQ(settings.ThresholdFunction, ThresholdKind::NoneChosen);
    EXPECT_EQ(settings.LinearSlope, 1.0);
    EXPECT_EQ(settings.RampBoundary, 1.0);
    EXPECT_EQ(settings.StepUpperBoundary, 1.0);
    EXPECT_EQ(settings.StepLowerBoundary, -1.0);
    EXPECT_EQ(settings.InputSize, 7);
}

TEST(NetworkSettings, KindFlagsAreTestedBpnBsbCpnDa) {
    NetworkSettings settings;
    settings.EncodeDAFlag = 1;
    settings.EncodeCPNFlag = 1;
    EXPECT_EQ(encodeKind(settings), NetworkKind::CPN);
    settings.EncodeBSBFlag = 1;
    EXPECT_EQ(encodeKind(settings), NetworkKind::BSB);
    settings.RecallDAFlag = 1;
    EXPECT_EQ(recallKind(settings), NetworkKind::DA);
    clearEncodeFlags(settings);
    EXPECT_EQ(encodeKind(settings), std::nullopt);
    EXPECT_EQ(recallKind(settings), NetworkKind::DA);
}

TEST(RandomSource, DrawsTheTopTwentyFourBitsOfTheDefaultMersenneTwister) {
    RandomSource random;
    std::mt19937 reference;
    for (int n = 0; n < 1000; ++n) {
        const float expected = static_cast<float>(reference() >> 8) / 16777216.0f;
        const float r = random.next();
        ASSERT_EQ(r, expected);
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
    }
}

}  // namespace
}  // namespace vornetica
