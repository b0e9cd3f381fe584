#include <QGroupBox>
#include <QLabel>

#include "ui/wizard_fixture.h"

namespace vornetica {
namespace {

using testing::WizardScreensTest;

TEST_F(WizardScreensTest, StartNextShowsAnEmptyChooserAndAppliesTheDefaults) {
    wizard.show(Screen::StartForm);
    EXPECT_EQ(wizard.screen(Screen::StartForm)->windowTitle(), "Vornetica");
    click(Screen::StartForm, "cmdNext");
    EXPECT_EQ(visible(), Screen::ChooseNetwork);
    EXPECT_EQ(wizard.screen(Screen::ChooseNetwork)->windowTitle(), "Choose Network Type");
    for (QRadioButton* option :
         wizard.screen(Screen::ChooseNetwork)->findChildren<QRadioButton*>()) {
        EXPECT_FALSE(option->isChecked()) << option->objectName().toStdString();
    }
    EXPECT_EQ(settings.DataEntryMode, Manual);
    EXPECT_EQ(settings.StepLowerBoundary, -1.0);
    EXPECT_EQ(settings.RampBoundary, 1.0);
}

TEST_F(WizardScreensTest, DefaultsAreAppliedOnTheFirstShowingOnly) {
    choose({"ChoiceEncode", "ChoiceDA", "FileEntry"});
    ASSERT_EQ(visible(), Screen::EncodeDA);
    settings.LinearSlope = 3.0;
    click(Screen::EncodeDA, "cmdBack");
    EXPECT_EQ(visible(), Screen::ChooseNetwork);
    EXPECT_EQ(settings.LinearSlope, 3.0);
    EXPECT_EQ(settings.DataEntryMode, FromFiles);
    // The chooser shows the options of the last pass.
    EXPECT_TRUE(control<QRadioButton>(Screen::ChooseNetwork, "ChoiceDA")->isChecked());
}

struct KindRoad {
    const char* option;
    Screen parameterScreen;
    Screen gridScreen;
    std::int16_t NetworkSettings::*encodeFlag;
    Screen recallScreen;
    std::int16_t NetworkSettings::*recallFlag;
};

const KindRoad kRoads[] = {
    {"ChoiceBPN", Screen::EncodeBPN, Screen::EncodeDataEntry, &NetworkSettings::EncodeBPNFlag,
     Screen::RecallBPN, &NetworkSettings::RecallBPNFlag},
    {"ChoiceCPN", Screen::EncodeCPN, Screen::EncodeDataEntry, &NetworkSettings::EncodeCPNFlag,
     Screen::RecallCPN, &NetworkSettings::RecallCPNFlag},
    {"ChoiceBSB", Screen::EncodeBSB, Screen::EncodeDataEntry2, &NetworkSettings::EncodeBSBFlag,
     Screen::RecallBSB, &NetworkSettings::RecallBSBFlag},
    {"ChoiceDA", Screen::EncodeDA, Screen::EncodeDataEntry2, &NetworkSettings::EncodeDAFlag,
     Screen::RecallDA, &NetworkSettings::RecallDAFlag},
};

int flagsSet(const NetworkSettings& s) {
    return s.EncodeBPNFlag + s.EncodeCPNFlag + s.EncodeBSBFlag + s.EncodeDAFlag + s.RecallBPNFlag +
           s.RecallCPNFlag + s.RecallBSBFlag + s.RecallDAFlag;
}

void nextOnParameterScreen(WizardScreensTest& f, Screen screen) {
    if (screen == Screen::EncodeBPN) {
        f.nextOnBPN();
    } else {
        f.click(screen, "cmdNext");
    }
}

TEST_F(WizardScreensTest, EncodeManualLeadsThroughTheKindsParameterScreenToItsGrid) {
    for (const KindRoad& road : kRoads) {
        SCOPED_TRACE(road.option);
        choose({"ChoiceEncode", road.option, "ManualEntry"});
        ASSERT_EQ(visible(), road.parameterScreen);
        EXPECT_EQ(settings.*road.encodeFlag, 1);
        EXPECT_EQ(flagsSet(settings), 1);
        EXPECT_EQ(settings.DataEntryMode, Manual);
        nextOnParameterScreen(*this, road.parameterScreen);
        EXPECT_EQ(visible(), road.gridScreen);
        click(road.gridScreen, "cmdBack");
        EXPECT_EQ(visible(), road.parameterScreen);
        click(road.parameterScreen, "cmdBack");
        EXPECT_EQ(visible(), Screen::ChooseNetwork);
        EXPECT_EQ(flagsSet(settings), 0);
    }
}

TEST_F(WizardScreensTest, EncodeFromFilesLeadsToTheTrainingFilesScreen) {
    for (const KindRoad& road : kRoads) {
        SCOPED_TRACE(road.option);
        choose({"ChoiceEncode", road.option, "FileEntry"});
        nextOnParameterScreen(*this, road.parameterScreen);
        ASSERT_EQ(visible(), Screen::TrainingFiles);
        EXPECT_TRUE(control(Screen::TrainingFiles, "cmdBrowseOut")->isEnabled());
        click(Screen::TrainingFiles, "cmdNext");
        EXPECT_EQ(visible(), Screen::EncodeWindow);
        wizard.show(Screen::TrainingFiles);
        click(Screen::TrainingFiles, "cmdBack");
        EXPECT_EQ(visible(), road.parameterScreen);
        click(road.parameterScreen, "cmdBack");
    }
}

TEST_F(WizardScreensTest, RecallLeadsToTheKindsLoadingScreen) {
    for (const KindRoad& road : kRoads) {
        SCOPED_TRACE(road.option);
        choose({"ChoiceRecall", road.option, "FileEntry"});
        EXPECT_EQ(visible(), road.recallScreen);
        EXPECT_EQ(settings.*road.recallFlag, 1);
        EXPECT_EQ(flagsSet(settings), 1);
        // The training files screen on the recall road names one file only.
        wizard.show(Screen::TrainingFiles);
        EXPECT_FALSE(control(Screen::TrainingFiles, "cmdBrowseOut")->isEnabled());
        click(Screen::TrainingFiles, "cmdNext");
        EXPECT_EQ(visible(), Screen::RecallDataEntry);
        wizard.show(Screen::TrainingFiles);
        click(Screen::TrainingFiles, "cmdBack");
        EXPECT_EQ(visible(), road.recallScreen);
        clearRecallFlags(settings);
    }
}

TEST_F(WizardScreensTest, BackThenAnotherKindLeavesOnlyTheNewFlag) {
    choose({"ChoiceEncode", "ChoiceBPN", "ManualEntry"});
    nextOnBPN();
    click(Screen::EncodeDataEntry, "cmdBack");
    click(Screen::EncodeBPN, "cmdBack");
    choose("ChoiceCPN");
    click(Screen::ChooseNetwork, "cmdNext");
    EXPECT_EQ(visible(), Screen::EncodeCPN);
    EXPECT_EQ(settings.EncodeCPNFlag, 1);
    EXPECT_EQ(flagsSet(settings), 1);
    click(Screen::EncodeCPN, "cmdNext");
    EXPECT_EQ(visible(), Screen::EncodeDataEntry);
}

TEST_F(WizardScreensTest, ReturnToTrainingLeadsStraightBackToTheTrainingWindow) {
    choose({"ChoiceEncode", "ChoiceBPN", "ManualEntry"});
    settings.ReturnToTraining = -1;
    nextOnBPN();  // the neuron function screen is still asked
    EXPECT_EQ(visible(), Screen::EncodeWindow);
}

TEST_F(WizardScreensTest, KindsWithoutAnEngineEndTheProgram) {
    for (const char* kind : {"ChoiceBM", "ChoiceFAM"}) {
        for (const char* operation : {"ChoiceEncode", "ChoiceRecall"}) {
            dialogs.messages.clear();
            dialogs.quitCount = 0;
            choose({operation, kind});
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].text, "Not in this version");
            EXPECT_EQ(dialogs.messages[0].title, "Vornetica");
            EXPECT_EQ(dialogs.quitCount, 1);
            EXPECT_EQ(flagsSet(settings), 0);
        }
    }
}

TEST_F(WizardScreensTest, ChooserWithAMissingChoiceSaysSoAndStays) {
    choose({"ChoiceBPN"});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.lastMessage().contains("operation")) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(visible(), Screen::ChooseNetwork);

    wizard.show(Screen::StartForm);
    wizard.show(Screen::ChooseNetwork);
    control<QRadioButton>(Screen::ChooseNetwork, "ChoiceBPN")->setAutoExclusive(false);
    control<QRadioButton>(Screen::ChooseNetwork, "ChoiceBPN")->setChecked(false);
    choose("ChoiceRecall");
    click(Screen::ChooseNetwork, "cmdNext");
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.lastMessage().contains("network type"))
        << dialogs.lastMessage().toStdString();
    EXPECT_EQ(visible(), Screen::ChooseNetwork);
    EXPECT_EQ(flagsSet(settings), 0);
    EXPECT_EQ(dialogs.quitCount, 0);
}

TEST_F(WizardScreensTest, ClosingAnyScreenAsksAsExitDoesAndNoKeepsItOpen) {
    for (int index = 0; index <= static_cast<int>(Screen::RecallDataEntry); ++index) {
        const auto screen = static_cast<Screen>(index);
        if (screen == Screen::ChooseThreshold) {
            continue;  // a dialog over EncodeBPN: closing it is its Esc
        }
        wizard.show(screen);
        WizardScreen* shown = wizard.existing(screen);
        SCOPED_TRACE(shown->objectName().toStdString());
        dialogs.confirmTitles.clear();
        dialogs.exitAnswers = {false};
        EXPECT_FALSE(shown->close());
        EXPECT_TRUE(shown->isVisible());
        EXPECT_EQ(dialogs.confirmTitles, (std::vector<QString>{"Exit"}));
        EXPECT_EQ(dialogs.quitCount, 0);
    }
    dialogs.exitAnswers = {true};
    wizard.existing(Screen::StartForm)->close();
    EXPECT_EQ(dialogs.quitCount, 1);
}

TEST_F(WizardScreensTest, CancelAsksUnderTheTitleCancelAndEndsOnlyOnYes) {
    choose({"ChoiceEncode", "ChoiceBSB", "ManualEntry"});
    dialogs.exitAnswers = {false};
    click(Screen::EncodeBSB, "cmdCancel");
    EXPECT_EQ(dialogs.quitCount, 0);
    EXPECT_EQ(visible(), Screen::EncodeBSB);
    EXPECT_EQ(settings.EncodeBSBFlag, 1);

    dialogs.exitAnswers = {true};
    // Esc presses Cancel.
    QTest::keyClick(wizard.screen(Screen::EncodeBSB), Qt::Key_Escape);
    EXPECT_EQ(dialogs.quitCount, 1);
    EXPECT_EQ(dialogs.confirmTitles, (std::vector<QString>{"Cancel", "Cancel"}));
}

TEST_F(WizardScreensTest, EnterPressesNextOrTheFocusedButton) {
    wizard.show(Screen::StartForm);
    QTest::keyClick(wizard.screen(Screen::StartForm), Qt::Key_Return);
    EXPECT_EQ(visible(), Screen::ChooseNetwork);
    choose("ChoiceEncode");
    choose("ChoiceDA");
    QTest::keyClick(control(Screen::ChooseNetwork, "ChoiceDA"), Qt::Key_Enter);
    EXPECT_EQ(visible(), Screen::EncodeDA);
    control(Screen::EncodeDA, "cmdBack")->setFocus();
    QTest::keyClick(wizard.screen(Screen::EncodeDA), Qt::Key_Return);
    EXPECT_EQ(visible(), Screen::ChooseNetwork);
}

TEST_F(WizardScreensTest, ChooserTextsAreTheFormsOwn) {
    wizard.show(Screen::ChooseNetwork);
    const std::pair<const char*, const char*> captions[] = {
        {"ChoiceEncode", "Encode Network"},        {"ChoiceRecall", "Recall Network"},
        {"ChoiceBPN", "Backpropagation"},          {"ChoiceCPN", "Counterpropagation"},
        {"ChoiceDA", "Discrete Autocorrelator"},   {"ChoiceBSB", "Brain-State-in-a-Box"},
        {"ChoiceFAM", "Fuzzy Associative Memory"}, {"ChoiceBM", "Boltzmann Machine"},
        {"ManualEntry", "Manual Data Entry"},      {"FileEntry", "Data From File"},
    };
    for (const auto& [name, caption] : captions) {
        EXPECT_EQ(control<QRadioButton>(Screen::ChooseNetwork, name)->text(), caption);
    }
    auto* type = control<QGroupBox>(Screen::ChooseNetwork, "NetworkType");
    EXPECT_EQ(type->title(), "Network Type");
    EXPECT_EQ(type->toolTip(), "Select type of network to encode or recall.");
    EXPECT_EQ(control<QGroupBox>(Screen::ChooseNetwork, "DesiredOperation")->title(),
              "Desired Operation");
    EXPECT_EQ(control<QGroupBox>(Screen::ChooseNetwork, "DataEntry")->title(), "Data Entry Type");
}

}  // namespace
}  // namespace vornetica
