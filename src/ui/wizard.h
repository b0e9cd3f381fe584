#pragma once

#include <QCoreApplication>
#include <QWidget>
#include <functional>
#include <map>

#include "base/random_source.h"
#include "settings/network_settings.h"
#include "ui/dialogs.h"
#include "wizard/navigator.h"

class QPushButton;

namespace vornetica {

class Wizard;
class HelpViewer;

// A screen of the wizard. It is created the first time it is shown and afterwards
// only hidden and shown, so it keeps what the user typed.
class WizardScreen : public QWidget {
    Q_OBJECT
  public:
    explicit WizardScreen(Wizard& wizard);
    // Called each time the wizard shows the screen, after it became visible.
    virtual void screenShown() {}

  protected:
    Wizard& wizard() { return wizard_; }
    NetworkSettings& settings();
    Dialogs& dialogs();
    // The shared actions of every Cancel and Help button: Cancel asks "Are you sure
    // you wish to exit?" and ends the program on Yes; Help opens the help contents.
    void cancelPressed();
    void helpPressed();
    // Enter presses `next` (the default button) and Esc presses `cancel`; either may
    // be null. F1 opens the help at the section named by the screen's objectName.
    void bindKeys(QPushButton* next, QPushButton* cancel);
    // Enter, Esc and F1 that no control took reach the screen here.
    void keyPressEvent(QKeyEvent* event) override;
    // Closing the window ends the program, so it asks as Exit does; No keeps it open.
    void closeEvent(QCloseEvent* event) override;

  private:
    Wizard& wizard_;
    QPushButton* next_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Owns the screens, creates each on first use and keeps exactly one visible.
class Wizard {
    Q_DECLARE_TR_FUNCTIONS(vornetica::Wizard)

  public:
    using Factory = std::function<WizardScreen*(Wizard&)>;

    Wizard(NetworkSettings& settings, RandomSource& random, Dialogs& dialogs);
    ~Wizard();
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    void registerScreen(Screen screen, Factory factory);
    // Hides the visible screen and shows `screen`, creating it on first use.
    void show(Screen screen);
    // The screen, created on first use (without showing it).
    WizardScreen* screen(Screen screen);
    // The screen if it was created already.
    WizardScreen* existing(Screen screen) const;
    std::optional<Screen> current() const { return current_; }

    NetworkSettings& settings() { return settings_; }
    RandomSource& random() { return random_; }
    Dialogs& dialogs() { return dialogs_; }
    // Opens the help viewer (help file "vornetica.hlp"); `section` names the screen.
    void showHelp(QWidget* parent, const QString& section);
    // The help window once it was opened, else null.
    HelpViewer* helpViewer() const { return help_; }

  private:
    NetworkSettings& settings_;
    RandomSource& random_;
    Dialogs& dialogs_;
    std::map<Screen, Factory> factories_;
    std::map<Screen, WizardScreen*> screens_;
    std::optional<Screen> current_;
    HelpViewer* help_ = nullptr;
};

// Registers every screen's factory; app main and the tests call these.
void registerWizardScreens(Wizard& wizard);             // start, chooser, parameters, data
void registerTrainingAndRecallScreens(Wizard& wizard);  // training, loading, recall

}  // namespace vornetica
