#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/scripted_dialogs.h"
#include "ui/wizard.h"

namespace vornetica::testing {

// Stands for the screens that another part of the program provides (training
// window, loading screens, recall window), so the wizard's own rows can be followed.
class PlaceholderScreen : public WizardScreen {
  public:
    explicit PlaceholderScreen(Wizard& wizard) : WizardScreen(wizard) {}
};

// The real wizard screens over a fresh settings record, with scripted dialogs.
struct WizardScreensTest : ::testing::Test {
    NetworkSettings settings;
    RandomSource random;
    ScriptedDialogs dialogs;
    Wizard wizard{settings, random, dialogs};

    WizardScreensTest() {
        registerWizardScreens(wizard);
        for (Screen s : {Screen::EncodeWindow, Screen::RecallBPN, Screen::RecallCPN,
                         Screen::RecallBSB, Screen::RecallDA, Screen::RecallDataEntry}) {
            wizard.registerScreen(s, [](Wizard& w) { return new PlaceholderScreen(w); });
        }
    }

    // The visible screen, checked to be the only visible one.
    Screen visible() const {
        std::optional<Screen> shown;
        for (int i = 0; i <= static_cast<int>(Screen::RecallDataEntry); ++i) {
            WizardScreen* s = wizard.existing(static_cast<Screen>(i));
            if (s != nullptr && s->isVisible()) {
                EXPECT_FALSE(shown.has_value()) << "two screens are visible";
                shown = static_cast<Screen>(i);
            }
        }
        EXPECT_TRUE(shown.has_value()) << "no screen is visible";
        return shown.value_or(Screen::StartForm);
    }

    template <typename T = QWidget>
    T* control(Screen screen, const char* name) {
        T* found = wizard.screen(screen)->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void click(Screen screen, const char* name) {
        QTest::mouseClick(control<QPushButton>(screen, name), Qt::LeftButton);
    }
    void choose(const char* name) {
        QTest::mouseClick(control<QRadioButton>(Screen::ChooseNetwork, name), Qt::LeftButton);
    }
    void type(Screen screen, const char* name, const QString& text) {
        control<QLineEdit>(screen, name)->setText(text);
    }

    // The start screen, then the chooser with the given options, then Next.
    void choose(std::initializer_list<const char*> options) {
        wizard.show(Screen::StartForm);
        click(Screen::StartForm, "cmdNext");
        for (const char* option : options) {
            choose(option);
        }
        click(Screen::ChooseNetwork, "cmdNext");
    }

    // Presses Next on EncodeBPN; the neuron function dialog that opens is set up by
    // `configure` and closed with its Ok button.
    void nextOnBPN(std::function<void(QDialog&)> configure = {}) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->objectName(), "ChooseThreshold");
            seen = true;
            if (configure) {
                configure(*dialog);
            }
            QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOk"), Qt::LeftButton);
        });
        click(Screen::EncodeBPN, "cmdNext");
        EXPECT_TRUE(seen) << "the neuron function screen was not shown";
    }
};

}  // namespace vornetica::testing
