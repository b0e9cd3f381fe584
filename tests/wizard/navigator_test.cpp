#include "wizard/navigator.h"

#include <gtest/gtest.h>

namespace vornetica {
namespace {

using namespace navigation;

class NavigatorTest : public ::testing::Test {
  protected:
    NetworkSettings settings;
    void SetUp() override { setDefaultSettings(settings); }

    ChooserOutcome choose(Operation operation, ChosenType type,
                          std::optional<std::int16_t> mode = Manual) {
        return chooserNext(settings, {operation, type, mode});
    }
};

TEST_F(NavigatorTest, ChooserLeadsToEachKindsParameterOrLoadingScreen) {
    const struct {
        Operation operation;
        ChosenType type;
        Screen next;
        std::int16_t NetworkSettings::*flag;
    } rows[] = {
        {Operation::Encode, ChosenType::BPN, Screen::EncodeBPN, &NetworkSettings::EncodeBPNFlag},
        {Operation::Encode, ChosenType::CPN, Screen::EncodeCPN, &NetworkSettings::EncodeCPNFlag},
        {Operation::Encode, ChosenType::DA, Screen::EncodeDA, &NetworkSettings::EncodeDAFlag},
        {Operation::Encode, ChosenType::BSB, Screen::EncodeBSB, &NetworkSettings::EncodeBSBFlag},
        {Operation::Recall, ChosenType::BPN, Screen::RecallBPN, &NetworkSettings::RecallBPNFlag},
        {Operation::Recall, ChosenType::CPN, Screen::RecallCPN, &NetworkSettings::RecallCPNFlag},
        {Operation::Recall, ChosenType::DA, Screen::RecallDA, &NetworkSettings::RecallDAFlag},
        {Operation::Recall, ChosenType::BSB, Screen::RecallBSB, &NetworkSettings::RecallBSBFlag},
    };
    for (const auto& row : rows) {
        setDefaultSettings(settings);
        const ChooserOutcome outcome = choose(row.operation, row.type, FromFiles);
        EXPECT_EQ(outcome.kind, ChooserOutcome::Kind::Show);
        EXPECT_EQ(outcome.next, row.next);
        EXPECT_EQ(settings.*row.flag, 1);
        const int flagsSet = settings.EncodeBPNFlag + settings.EncodeCPNFlag +
                             settings.EncodeBSBFlag + settings.EncodeDAFlag +
                             settings.RecallBPNFlag + settings.RecallCPNFlag +
                             settings.RecallBSBFlag + settings.RecallDAFlag;
        EXPECT_EQ(flagsSet, 1);
        EXPECT_EQ(settings.DataEntryMode, FromFiles);
    }
}

TEST_F(NavigatorTest, ChooserRefusesMissingChoicesAndKindsWithoutAnEngine) {
    EXPECT_EQ(chooserNext(settings, {std::nullopt, ChosenType::BPN, Manual}).kind,
              ChooserOutcome::Kind::MissingOperation);
    EXPECT_EQ(chooserNext(settings, {Operation::Encode, std::nullopt, Manual}).kind,
              ChooserOutcome::Kind::MissingType);
    EXPECT_EQ(choose(Operation::Encode, ChosenType::BM).kind,
              ChooserOutcome::Kind::NotInThisVersion);
    EXPECT_EQ(choose(Operation::Recall, ChosenType::FAM).kind,
              ChooserOutcome::Kind::NotInThisVersion);
    EXPECT_EQ(encodeKind(settings), std::nullopt);
    EXPECT_EQ(recallKind(settings), std::nullopt);
}

TEST_F(NavigatorTest, NoDataEntryChoiceKeepsTheLastMode) {
    choose(Operation::Encode, ChosenType::BPN, std::nullopt);
    EXPECT_EQ(settings.DataEntryMode, Manual);
    parameterBack(settings);
    choose(Operation::Encode, ChosenType::BPN, FromFiles);
    parameterBack(settings);
    choose(Operation::Encode, ChosenType::CPN, std::nullopt);
    EXPECT_EQ(settings.DataEntryMode, FromFiles);
}

TEST_F(NavigatorTest, ParameterNextGoesToGridsFilesOrBackToTraining) {
    choose(Operation::Encode, ChosenType::BPN);
    EXPECT_EQ(afterParameterNext(settings), Screen::EncodeDataEntry);
    clearEncodeFlags(settings);
    choose(Operation::Encode, ChosenType::CPN);
    EXPECT_EQ(afterParameterNext(settings), Screen::EncodeDataEntry);
    clearEncodeFlags(settings);
    choose(Operation::Encode, ChosenType::BSB);
    EXPECT_EQ(afterParameterNext(settings), Screen::EncodeDataEntry2);
    clearEncodeFlags(settings);
    choose(Operation::Encode, ChosenType::DA, FromFiles);
    EXPECT_EQ(afterParameterNext(settings), Screen::TrainingFiles);

    // Change Parameters comes straight back, whatever the mode.
    EXPECT_EQ(changeParameters(settings), Screen::EncodeDA);
    EXPECT_EQ(settings.ReturnToTraining, -1);
    EXPECT_EQ(afterParameterNext(settings), Screen::EncodeWindow);
}

TEST_F(NavigatorTest, BackAndStartOverClearOnlyTheirOperationsFlags) {
    choose(Operation::Encode, ChosenType::BPN);
    settings.RecallCPNFlag = 1;
    EXPECT_EQ(parameterBack(settings), Screen::ChooseNetwork);
    EXPECT_EQ(encodeKind(settings), std::nullopt);
    EXPECT_EQ(settings.RecallCPNFlag, 1);

    EXPECT_EQ(loadingBack(settings), Screen::ChooseNetwork);
    EXPECT_EQ(recallKind(settings), std::nullopt);

    choose(Operation::Encode, ChosenType::BSB);
    EXPECT_EQ(encodeStartOver(settings), Screen::ChooseNetwork);
    EXPECT_EQ(encodeKind(settings), std::nullopt);

    choose(Operation::Recall, ChosenType::DA);
    EXPECT_EQ(recallBack(settings), Screen::RecallDA);
    EXPECT_EQ(settings.RecallDAFlag, 1);
    EXPECT_EQ(recallStartOver(settings), Screen::ChooseNetwork);
    EXPECT_EQ(recallKind(settings), std::nullopt);
}

TEST_F(NavigatorTest, TrainingWindowDispatchTestsBpnBsbCpnDa) {
    choose(Operation::Encode, ChosenType::CPN);
    EXPECT_EQ(changeData(settings), Screen::EncodeDataEntry);
    settings.DataEntryMode = FromFiles;
    EXPECT_EQ(changeData(settings), Screen::TrainingFiles);
    settings.DataEntryMode = Manual;

    // After a save cleared the flag, nothing is chosen: DA's screens are shown.
    clearEncodeFlags(settings);
    EXPECT_EQ(changeParameters(settings), Screen::EncodeDA);
    EXPECT_EQ(changeData(settings), Screen::EncodeDataEntry2);
}

TEST_F(NavigatorTest, TrainingFilesScreenServesTheRoadOfTheFlagSet) {
    choose(Operation::Encode, ChosenType::CPN, FromFiles);
    EXPECT_FALSE(trainingFilesServesRecall(settings));
    EXPECT_EQ(trainingFilesNext(settings), Screen::EncodeWindow);
    EXPECT_EQ(trainingFilesBack(settings), Screen::EncodeCPN);

    parameterBack(settings);
    choose(Operation::Recall, ChosenType::BSB, FromFiles);
    EXPECT_EQ(afterLoadingNext(settings), Screen::TrainingFiles);
    EXPECT_TRUE(trainingFilesServesRecall(settings));
    EXPECT_EQ(trainingFilesNext(settings), Screen::RecallDataEntry);
    EXPECT_EQ(trainingFilesBack(settings), Screen::RecallBSB);

    settings.DataEntryMode = Manual;
    EXPECT_EQ(afterLoadingNext(settings), Screen::RecallDataEntry);
}

}  // namespace
}  // namespace vornetica
