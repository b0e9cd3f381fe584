#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <filesystem>

#include "netfile/network_file.h"
#include "recall/recall_press.h"
#include "support/temp_dir.h"
#include "ui/cell_grid.h"
#include "ui/help_viewer.h"
#include "ui/parameter_help.h"
#include "ui/wizard_fixture.h"

namespace vornetica {
namespace {

// Every screen real, driven by keys sent to whatever has the keyboard focus.
struct KeyboardTest : testing::WizardScreensTest {
    KeyboardTest() { registerTrainingAndRecallScreens(wizard); }
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    QWidget* currentScreen() { return wizard.existing(*wizard.current()); }
    // The widget keys go to: the focused control, or the active screen itself.
    QWidget* keyTarget() {
        QWidget* focused = QApplication::focusWidget();
        if (focused != nullptr && focused->window() == currentScreen()) {
            return focused;
        }
        return currentScreen();
    }
    bool screenActive() { return QTest::qWaitForWindowActive(currentScreen()); }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(keyTarget(), static_cast<Qt::Key>(key), modifiers);
    }
    void type(const QString& text) { QTest::keyClicks(keyTarget(), text); }
    QString focusName() { return keyTarget()->objectName(); }
    // Tab until the control named `name` has the focus; the names Tab passed on the way.
    std::vector<QString> tabTo(const QString& name) {
        std::vector<QString> passed;
        for (int step = 0; step < 40 && focusName() != name; ++step) {
            passed.push_back(focusName());
            press(Qt::Key_Tab);
        }
        EXPECT_EQ(focusName(), name) << "Tab never reached it";
        return passed;
    }
    // Tab reaches a group of options at its chosen one (or its first); the arrow keys
    // then move within the group, choosing as they go.
    void chooseOption(const QString& name) {
        auto* target = currentScreen()->findChild<QRadioButton*>(name);
        ASSERT_NE(target, nullptr) << name.toStdString();
        for (int step = 0; step < 40 && keyTarget()->parentWidget() != target->parentWidget();
             ++step) {
            press(Qt::Key_Tab);
        }
        for (const int arrow : {Qt::Key_Down, Qt::Key_Up}) {
            for (int step = 0; step < 8 && focusName() != name; ++step) {
                press(arrow);
            }
        }
        press(Qt::Key_Space);
        EXPECT_TRUE(target->isChecked()) << name.toStdString();
    }
    void replaceBoxText(const QString& name, const QString& text) {
        tabTo(name);
        press(Qt::Key_A, Qt::ControlModifier);
        type(text);
    }
    bool waitForMessages(std::size_t count) {
        return QTest::qWaitFor([&] { return dialogs.messages.size() >= count; }, 300000);
    }

    testing::TempDir folder;
    std::filesystem::path previous;
};

TEST_F(KeyboardTest, EncodeAndRecallABackpropagationNetworkByKeysAlone) {
    wizard.show(Screen::StartForm);
    ASSERT_TRUE(screenActive());
    press(Qt::Key_Return);
    ASSERT_EQ(visible(), Screen::ChooseNetwork);
    ASSERT_TRUE(screenActive());

    chooseOption("ChoiceEncode");
    chooseOption("ChoiceBPN");
    chooseOption("ManualEntry");
    press(Qt::Key_Return);
    ASSERT_EQ(visible(), Screen::EncodeBPN);
    ASSERT_TRUE(screenActive());

    replaceBoxText("InputSize", "2");
    // The boxes follow one another in the order they are listed.
    const std::vector<QString> passed = tabTo("Alpha");
    EXPECT_EQ(passed,
              (std::vector<QString>{"InputSize", "HiddenSize", "OutputSize", "ErrorThreshold",
                                    "MaxIterations", "InputScale", "OutputScale"}));
    replaceBoxText("HiddenSize", "3");
    replaceBoxText("MaxIterations", "50");
    replaceBoxText("InputScale", "1");
    replaceBoxText("OutputScale", "1");
    // Enter presses Next; the neuron function dialog takes Enter as its Ok.
    bool dialogSeen = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialogSeen = dialog->objectName() == "ChooseThreshold";
        QWidget* focused = dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog;
        QTest::keyClick(focused, Qt::Key_Return);
    });
    press(Qt::Key_Return);
    EXPECT_TRUE(dialogSeen);
    ASSERT_EQ(visible(), Screen::EncodeDataEntry);
    ASSERT_TRUE(screenActive());

    // The grids: arrow keys move the current cell, Tab goes to the next grid.
    EXPECT_EQ(focusName(), "InputGrid");
    press(Qt::Key_Right);
    type("1");
    press(Qt::Key_Right);
    type("-.5");
    tabTo("OutputGrid");
    press(Qt::Key_Right);
    type(".5");
    auto* inputGrid = control<CellGrid>(Screen::EncodeDataEntry, "InputGrid");
    EXPECT_EQ(inputGrid->cells().text(0, 0), "1");
    EXPECT_EQ(inputGrid->cells().text(0, 1), "-.5");
    press(Qt::Key_Left);
    EXPECT_EQ(control<CellGrid>(Screen::EncodeDataEntry, "OutputGrid")->cells().text(0, 0), ".5");
    // Enter in a grid belongs to the typing; on a button it presses that button.
    press(Qt::Key_Return);
    ASSERT_EQ(visible(), Screen::EncodeDataEntry);
    tabTo("cmdNext");
    press(Qt::Key_Return);
    ASSERT_EQ(visible(), Screen::EncodeWindow);
    ASSERT_TRUE(screenActive());

    tabTo("cmdStart");
    press(Qt::Key_Space);
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(dialogs.messages[0].text, "Done!");
    dialogs.textAnswers = {QStringLiteral("network.vrn")};
    tabTo("cmdSaveNetwork");
    press(Qt::Key_Space);
    EXPECT_EQ(dialogs.lastMessage(), "Finished Saving Network");
    // Esc presses Exit, which asks; No stays.
    press(Qt::Key_Escape);
    ASSERT_EQ(dialogs.confirmTitles.size(), 1u);
    EXPECT_EQ(dialogs.confirmTitles.back(), "Exit");
    EXPECT_EQ(dialogs.quitCount, 0);
    tabTo("cmdStartOver");
    press(Qt::Key_Return);  // Enter presses the focused button
    ASSERT_EQ(visible(), Screen::ChooseNetwork);
    ASSERT_TRUE(screenActive());

    chooseOption("ChoiceRecall");
    press(Qt::Key_Return);
    ASSERT_EQ(visible(), Screen::RecallBPN);
    ASSERT_TRUE(screenActive());
    EXPECT_EQ(control<QLineEdit>(Screen::RecallBPN, "InputPath")->text(), "network.vrn");
    press(Qt::Key_Return);
    ASSERT_EQ(visible(), Screen::RecallDataEntry);
    ASSERT_TRUE(screenActive());

    tabTo("InputDataGrid");
    press(Qt::Key_Right);
    press(Qt::Key_Left);
    type("1");
    press(Qt::Key_Right);
    type("-.5");
    tabTo("cmdEnterData");
    press(Qt::Key_Space);
    auto* inputs = control<CellGrid>(Screen::RecallDataEntry, "InputDataGrid");
    EXPECT_EQ(inputs->cells().text(0, 0), "1");
    EXPECT_EQ(inputs->cells().text(0, 1), "-.5");

    NetworkSettings reference;
    reference.RecallBPNFlag = 1;
    reference.DataEntryMode = Manual;
    reference.NetworkFilePath = "network.vrn";
    ASSERT_TRUE(loadNetwork(reference).loaded);
    RecallPressRequest request;
    request.cellTexts = {"1", "-.5"};
    const RecallPressResult expected = recallPress(reference, request);
    ASSERT_EQ(expected.outputTexts.size(), 1u);
    EXPECT_EQ(control<CellGrid>(Screen::RecallDataEntry, "OutputDataGrid")->cells().text(0, 0),
              expected.outputTexts[0]);

    press(Qt::Key_Escape);
    ASSERT_EQ(dialogs.confirmTitles.size(), 2u);
    EXPECT_EQ(dialogs.confirmTitles.back(), "Exit");
}

TEST_F(KeyboardTest, F1OpensTheHelpAtTheSectionOfEachScreen) {
    QFile::copy(QStringLiteral(VORNETICA_HELP_FILE), QStringLiteral("vornetica.hlp"));
    QFile file(QStringLiteral("vornetica.hlp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString help = QString::fromUtf8(file.readAll());
    for (const Screen screen :
         {Screen::StartForm, Screen::ChooseNetwork, Screen::EncodeBPN, Screen::EncodeCPN,
          Screen::EncodeBSB, Screen::EncodeDA, Screen::EncodeDataEntry, Screen::EncodeDataEntry2,
          Screen::TrainingFiles, Screen::EncodeWindow, Screen::RecallBPN, Screen::RecallCPN,
          Screen::RecallBSB, Screen::RecallDA, Screen::RecallDataEntry}) {
        wizard.show(screen);
        const QString name = wizard.existing(screen)->objectName();
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(screenActive());
        press(Qt::Key_F1);
        HelpViewer* viewer = wizard.helpViewer();
        ASSERT_NE(viewer, nullptr);
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_EQ(viewer->section(), name);
        EXPECT_TRUE(help.contains(QStringLiteral("<a name=\"%1\">").arg(name)));
        viewer->hide();
    }
    for (const auto& shown : dialogs.messages) {
        EXPECT_FALSE(shown.text.contains("help file")) << shown.text.toStdString();
    }
}

TEST_F(KeyboardTest, HelpFileIsLookedUpInTheCurrentFolderFirstThenBesideTheInstalledData) {
    const QStringList folders = HelpViewer::dataFolders();
    ASSERT_EQ(folders.size(), 3);
    EXPECT_EQ(folders[0], QDir::currentPath());
    EXPECT_EQ(folders[1], QStringLiteral(VORNETICA_INSTALLED_DATA_DIR));
    EXPECT_EQ(QDir::cleanPath(folders[2]),
              QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/vornetica"));

    std::filesystem::create_directories("installed");
    testing::writeText("installed/vornetica.hlp", "installed");
    const QStringList here{QDir::currentPath(), QDir::current().absoluteFilePath("installed")};
    EXPECT_EQ(HelpViewer::findIn(here, "vornetica.hlp"),
              QDir::current().absoluteFilePath("installed/vornetica.hlp"));
    testing::writeText("vornetica.hlp", "here");
    EXPECT_EQ(HelpViewer::findIn(here, "vornetica.hlp"),
              QDir::current().absoluteFilePath("vornetica.hlp"));
    EXPECT_EQ(HelpViewer::findIn(here, "missing.hlp"), std::nullopt);
}

TEST_F(KeyboardTest, EveryParameterBoxSaysWhatItDoesAndItsRangeAndSpecTooltipsStay) {
    const struct {
        Screen screen;
        const char* box;
        const char* tooltip;  // the fixed tooltip, or null when the help is the tooltip
    } boxes[] = {
        {Screen::EncodeBPN, "InputSize", "Dimension of the input vectors."},
        {Screen::EncodeBPN, "Alpha", "Controls input layer learning rate."},
        {Screen::EncodeBPN, "MaxIterations", nullptr},
        {Screen::EncodeBPN, "OutputScale", nullptr},
        {Screen::EncodeCPN, "Beta", "Controls input layer learnng rate."},
        {Screen::EncodeCPN, "NumberTimeSteps", nullptr},
        {Screen::EncodeBSB, "ErrorThreshold", nullptr},
        {Screen::EncodeDA, "InputSize", nullptr},
        {Screen::RecallBSB, "Gamma", nullptr},
    };
    for (const auto& each : boxes) {
        SCOPED_TRACE(each.box);
        auto* box = control<QLineEdit>(each.screen, each.box);
        const QString help = parameterHelp(wizard.existing(each.screen)->objectName(), each.box);
        EXPECT_TRUE(help.contains("usually") || help.contains(" to ")) << help.toStdString();
        EXPECT_EQ(box->whatsThis(), help);
        EXPECT_EQ(box->toolTip(),
                  each.tooltip != nullptr ? QString::fromLatin1(each.tooltip) : help);
    }
}

}  // namespace
}  // namespace vornetica
