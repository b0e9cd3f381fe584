#include <QLineEdit>
#include <filesystem>

#include "netfile/network_file.h"
#include "recall/recall_press.h"
#include "support/temp_dir.h"
#include "ui/cell_grid.h"
#include "ui/wizard_fixture.h"

namespace vornetica {
namespace {

// Every screen real: the encode road from the start screen to a saved network, and
// the recall road that loads it under the name the save dialogue proposed.
struct RoadsTest : testing::WizardScreensTest {
    RoadsTest() { registerTrainingAndRecallScreens(wizard); }
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
        std::string inputs = "10\r\n";
        std::string outputs;
        for (int value = 0; value < 10; ++value) {
            inputs += std::to_string(value) + "\r\n";
            outputs += std::to_string(9 - value) + "\r\n";
        }
        testing::writeText("input.dat", inputs);
        testing::writeText("output.dat", outputs);
    }
    void TearDown() override { std::filesystem::current_path(previous); }
    bool waitForMessages(std::size_t count) {
        return QTest::qWaitFor([&] { return dialogs.messages.size() >= count; }, 300000);
    }

    testing::TempDir folder;
    std::filesystem::path previous;
};

TEST_F(RoadsTest, TrainSaveAndRecallABackpropagationNetworkWithTheDefaults) {
    choose({"ChoiceEncode", "ChoiceBPN", "FileEntry"});
    ASSERT_EQ(visible(), Screen::EncodeBPN);
    nextOnBPN();
    ASSERT_EQ(visible(), Screen::TrainingFiles);
    click(Screen::TrainingFiles, "cmdNext");
    ASSERT_EQ(visible(), Screen::EncodeWindow);

    click(Screen::EncodeWindow, "cmdStart");
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(dialogs.messages[0].text, "Done!");

    // Change Parameters leads back to the window without the data screens.
    click(Screen::EncodeWindow, "cmdChangeParameters");
    ASSERT_EQ(visible(), Screen::EncodeBPN);
    nextOnBPN();
    ASSERT_EQ(visible(), Screen::EncodeWindow);
    EXPECT_EQ(settings.ReturnToTraining, 0);

    dialogs.textAnswers = {QStringLiteral("network.vrn")};
    click(Screen::EncodeWindow, "cmdSaveNetwork");
    EXPECT_EQ(dialogs.lastMessage(), "Finished Saving Network");
    click(Screen::EncodeWindow, "cmdStartOver");
    ASSERT_EQ(visible(), Screen::ChooseNetwork);

    choose("ChoiceRecall");
    choose("ManualEntry");
    click(Screen::ChooseNetwork, "cmdNext");
    ASSERT_EQ(visible(), Screen::RecallBPN);
    click(Screen::RecallBPN, "cmdNext");
    ASSERT_EQ(visible(), Screen::RecallDataEntry);
    EXPECT_EQ(dialogs.lastMessage(), "Finished Saving Network");

    auto* inputs = control<CellGrid>(Screen::RecallDataEntry, "InputDataGrid");
    ASSERT_EQ(inputs->cells().valueColumns(), 1);
    const QModelIndex cell = inputs->model()->index(0, 0);
    QTest::mouseClick(inputs->viewport(), Qt::LeftButton, {}, inputs->visualRect(cell).center());
    QTest::keyClicks(inputs, "4");
    click(Screen::RecallDataEntry, "cmdEnterData");

    NetworkSettings reference;
    reference.RecallBPNFlag = 1;
    reference.DataEntryMode = Manual;
    reference.NetworkFilePath = "network.vrn";
    ASSERT_TRUE(loadNetwork(reference).loaded);
    RecallPressRequest request;
    request.cellTexts = {"4"};
    const RecallPressResult expected = recallPress(reference, request);
    ASSERT_EQ(expected.outputTexts.size(), 1u);
    EXPECT_EQ(control<CellGrid>(Screen::RecallDataEntry, "OutputDataGrid")->cells().text(0, 0),
              expected.outputTexts[0]);
}

}  // namespace
}  // namespace vornetica
