#include "ui/wizard.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <stdexcept>

#include "ui/help_viewer.h"

namespace vornetica {

WizardScreen::WizardScreen(Wizard& wizard) : QWidget(nullptr), wizard_(wizard) {}

NetworkSettings& WizardScreen::settings() {
    return wizard_.settings();
}

Dialogs& WizardScreen::dialogs() {
    return wizard_.dialogs();
}

void WizardScreen::cancelPressed() {
    if (dialogs().confirmExit(this, tr("Cancel"))) {
        dialogs().quit();
    }
}

void WizardScreen::helpPressed() {
    wizard_.showHelp(this, QString());
}

void WizardScreen::bindKeys(QPushButton* next, QPushButton* cancel) {
    next_ = next;
    cancel_ = cancel;
    if (next_ != nullptr) {
        next_->setDefault(true);
    }
}

namespace {

void pressIfAvailable(QPushButton* button) {
    if (button != nullptr && button->isEnabled() && button->isVisible()) {
        button->click();
    }
}

}  // namespace

void WizardScreen::keyPressEvent(QKeyEvent* event) {
    // Screens are plain windows, not dialogs: the keys a dialog gives its default and
    // escape buttons are handled here, once the focused control has let them pass.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // On a focused button Enter presses that button; elsewhere it presses Next.
            if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) {
                pressIfAvailable(focused);
            } else {
                pressIfAvailable(next_);
            }
            return;
        case Qt::Key_Escape:
            pressIfAvailable(cancel_);
            return;
        case Qt::Key_F1:
            // F1 opens the help at this screen's own section; Help opens the contents.
            wizard_.showHelp(this, objectName());
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void WizardScreen::closeEvent(QCloseEvent* event) {
    // Yes ends the program at once; a window that merely closed would leave the
    // program running without a screen, or end it without a question.
    event->ignore();
    if (dialogs().confirmExit(this, tr("Exit"))) {
        dialogs().quit();
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
    const bool firstShowing = existing(next) == nullptr;
    WizardScreen* target = screen(next);
    WizardScreen* previous = current_ ? existing(*current_) : nullptr;
    if (firstShowing) {
        // A new screen takes the place of the one it follows, or the screen's middle.
        // It gets the room it asks for, up to the whole screen (adjustSize would stop
        // at two thirds of it, leaving the training window's grids a cell wide).
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        target->resize(target->sizeHint().boundedTo(available.size()));
        const QRect around = previous != nullptr ? previous->frameGeometry() : available;
        QRect placed(QPoint(0, 0), target->frameGeometry().size());
        placed.moveCenter(around.center());
        target->move(placed.topLeft());
    }
    if (previous != nullptr && previous != target) {
        previous->hide();
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
        dialogs_.message(parent, tr("The help file %1 cannot be opened.").arg(*missing),
                         Dialogs::Icon::Warning);
        return;
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

}  // namespace vornetica
