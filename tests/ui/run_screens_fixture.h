#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/random_source.h"
#include "settings/network_settings.h"
#include "support/temp_dir.h"
#include "ui/cell_grid.h"
#include "ui/scripted_dialogs.h"
#include "ui/wizard.h"

namespace vornetica::testing {

class PlainScreen : public WizardScreen {
  public:
    explicit PlainScreen(Wizard& wizard) : WizardScreen(wizard) {}
};

// The wizard over a scripted dialog seam, working in a fresh folder.
class RunScreensTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
        setDefaultSettings(settings);
        wizard = std::make_unique<Wizard>(settings, random, dialogs);
        // The screens before the training window stand in as plain screens: these
        // tests look only at which one the wizard shows.
        for (const Screen screen :
             {Screen::StartForm, Screen::ChooseNetwork, Screen::EncodeBPN, Screen::EncodeCPN,
              Screen::EncodeBSB, Screen::EncodeDA, Screen::EncodeDataEntry,
              Screen::EncodeDataEntry2, Screen::TrainingFiles}) {
            wizard->registerScreen(screen, [](Wizard& w) { return new PlainScreen(w); });
        }
        registerTrainingAndRecallScreens(*wizard);
    }
    void TearDown() override {
        wizard.reset();
        std::filesystem::current_path(previous_);
    }

    template <typename T>
    T* control(Screen screen, const char* name) {
        T* found = wizard->screen(screen)->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    CellGrid* grid(Screen screen, const char* name) { return control<CellGrid>(screen, name); }
    void click(Screen screen, const char* name) {
        QTest::mouseClick(control<QAbstractButton>(screen, name), Qt::LeftButton);
    }
    // Lets the event loop run until `count` messages were shown (a run ends with one).
    bool waitForMessages(std::size_t count) {
        return QTest::qWaitFor([&] { return dialogs.messages.size() >= count; }, 300000);
    }
    std::vector<std::string> rowTexts(CellGrid* cells) {
        std::vector<std::string> texts;
        for (int column = 0; column < cells->cells().valueColumns(); ++column) {
            texts.push_back(cells->cells().text(0, column));
        }
        return texts;
    }
    // Makes cell `column` of row 0 current with the mouse and types `keys` into it.
    void typeInto(CellGrid* cells, int column, const QString& keys) {
        const QModelIndex index = cells->model()->index(0, column);
        cells->scrollTo(index);
        QTest::mouseClick(cells->viewport(), Qt::LeftButton, {}, cells->visualRect(index).center());
        QTest::keyClicks(cells, keys);
    }

    TempDir folder;
    NetworkSettings settings;
    RandomSource random;
    ScriptedDialogs dialogs;
    std::unique_ptr<Wizard> wizard;

  private:
    std::filesystem::path previous_;
};

}  // namespace vornetica::testing
