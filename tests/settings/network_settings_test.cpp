#include "settings/network_settings.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vornetica
