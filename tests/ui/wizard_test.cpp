#include "ui/wizard.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include "support/temp_dir.h"
#include "ui/help_viewer.h"
#include "ui/scripted_dialogs.h"

namespace vornetica {
namespace {

class CountingScreen : public WizardScreen {
  public:
    explicit CountingScreen(Wizard& wizard) : WizardScreen(wizard) {}
    void screenShown() override { ++shown; }
    void pressCancel() { cancelPressed(); }
    void pressHelp() { helpPressed(); }
    int shown = 0;
};

struct WizardFrameworkTest : ::testing::Test {
    NetworkSettings settings;
    RandomSource random;
    testing::ScriptedDialogs dialogs;
    Wizard wizard{settings, random, dialogs};
    int created = 0;

    void SetUp() override {
        for (Screen s : {Screen::StartForm, Screen::ChooseNetwork}) {
            wizard.registerScreen(s, [this](Wizard& w) {
                ++created;
                return new CountingScreen(w);
            });
        }
    }
    CountingScreen* screen(Screen s) { return static_cast<CountingScreen*>(wizard.existing(s)); }
};

TEST_F(WizardFrameworkTest, ScreensAreCreatedOnceAndOnlyOneIsVisible) {
    EXPECT_EQ(wizard.existing(Screen::StartForm), nullptr);
    wizard.show(Screen::StartForm);
    wizard.show(Screen::ChooseNetwork);
    EXPECT_FALSE(screen(Screen::StartForm)->isVisible());
    EXPECT_TRUE(screen(Screen::ChooseNetwork)->isVisible());
    wizard.show(Screen::StartForm);
    EXPECT_TRUE(screen(Screen::StartForm)->isVisible());
    EXPECT_FALSE(screen(Screen::ChooseNetwork)->isVisible());
    EXPECT_EQ(created, 2);
    EXPECT_EQ(screen(Screen::StartForm)->shown, 2);
    EXPECT_EQ(screen(Screen::ChooseNetwork)->shown, 1);
    EXPECT_EQ(wizard.current(), Screen::StartForm);
}

TEST_F(WizardFrameworkTest, CancelAsksAndQuitsOnlyOnYes) {
    wizard.show(Screen::StartForm);
    dialogs.exitAnswers = {false, true};
    screen(Screen::StartForm)->pressCancel();
    EXPECT_EQ(dialogs.quitCount, 0);
    EXPECT_TRUE(screen(Screen::StartForm)->isVisible());
    screen(Screen::StartForm)->pressCancel();
    EXPECT_EQ(dialogs.quitCount, 1);
    EXPECT_EQ(dialogs.confirmTitles, (std::vector<QString>{"Cancel", "Cancel"}));
}

TEST_F(WizardFrameworkTest, HelpWithoutTheFileNamesItsFullPath) {
    testing::TempDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.path().string()));
    wizard.show(Screen::StartForm);
    screen(Screen::StartForm)->pressHelp();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(
        dialogs.messages[0].text.contains(QString::fromStdString(dir.file("vornetica.hlp"))))
        << dialogs.messages[0].text.toStdString();

    testing::writeText(dir.file("vornetica.hlp"),
                       "<html><body><a name=\"contents\"></a><h1>Guide</h1></body></html>");
    screen(Screen::StartForm)->pressHelp();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    QDir::setCurrent(previous);
}

}  // namespace
}  // namespace vornetica
