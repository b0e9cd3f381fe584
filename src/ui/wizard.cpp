#include "ui/wizard.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <stdexcept>

#include "ui/help_viewer.h"

namespace vornetica {

WizardScreen::WizardScreen(Wizard& wizard) : QWidget(nullptr), wizard_(wizard) {
    // F1 opens the help at this screen's own section (the Help button opens the contents).
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { wizard_.showHelp(this, objectName()); });
}

NetworkSettings& WizardScreen::settings() {
    return wizard_.settings();
}

Dialogs& WizardScreen::dialogs() {
    return wizard_.dialogs();
}

void WizardScreen::cancelPressed() {
    if (dialogs().confirmExit(this, QStringLiteral("Cancel"))) {
        dialogs().quit();
    }
}

void WizardScreen::helpPressed() {
    wizard_.showHelp(this, QString());
}

void WizardScreen::bindKeys(QPushButton* next, QPushButton* cancel) {
    // Screens are plain windows, not dialogs, so Enter and Esc are wired by hand.
    if (next != nullptr) {
        next->setDefault(true);
        for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
            auto* shortcut = new QShortcut(QKeySequence(key), this);
            connect(shortcut, &QShortcut::activated, next, [next] {
                if (next->isEnabled() && next->isVisible()) {
                    next->click();
                }
            });
        }
    }
    if (cancel != nullptr) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        connect(shortcut, &QShortcut::activated, cancel, [cancel] {
            if (cancel->isEnabled() && cancel->isVisible()) {
                cancel->click();
            }
        });
    }
}

Wizard::Wizard(NetworkSettings& settings, RandomSource& random, Dialogs& dialogs)
    : settings_(settings), random_(random), dialogs_(dialogs) {}

Wizard::~Wizard() {
    for (auto& [screen, widget] : screens_) {
        delete widget;
    }
    delete help_;
}

void Wizard::registerScreen(Screen screen, Factory factory) {
    factories_[screen] = std::move(factory);
}

WizardScreen* Wizard::existing(Screen screen) const {
    const auto found = screens_.find(screen);
    return found == screens_.end() ? nullptr : found->second;
}

WizardScreen* Wizard::screen(Screen screen) {
    if (WizardScreen* made = existing(screen)) {
        return made;
    }
    const auto factory = factories_.find(screen);
    if (factory == factories_.end()) {
        throw std::logic_error("no screen registered for this step of the wizard");
    }
    WizardScreen* made = factory->second(*this);
    screens_[screen] = made;
    return made;
}

void Wizard::show(Screen next) {
    WizardScreen* target = screen(next);
    if (current_ && *current_ != next) {
        if (WizardScreen* visible = existing(*current_)) {
            visible->hide();
        }
    }
    current_ = next;
    target->show();
    target->raise();
    target->activateWindow();
    target->screenShown();
}

void Wizard::showHelp(QWidget* parent, const QString& section) {
    if (help_ == nullptr) {
        help_ = new HelpViewer();
    }
    const std::optional<QString> missing = help_->open(section);
    if (missing) {
        dialogs_.message(parent, QStringLiteral("The help file %1 cannot be opened.").arg(*missing),
                         Dialogs::Icon::Warning);
        return;
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

}  // namespace vornetica
