#include "ui/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace vornetica {

namespace {

QMessageBox::Icon boxIcon(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::Information:
            return QMessageBox::Information;
        case Dialogs::Icon::Warning:
            return QMessageBox::Warning;
        case Dialogs::Icon::Critical:
            return QMessageBox::Critical;
        case Dialogs::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtDialogs::message(QWidget* parent, const QString& text, Icon icon, const QString& title) {
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtDialogs::confirmExit(QWidget* parent, const QString& title) {
    QMessageBox box(QMessageBox::Warning, title, Dialogs::tr("Are you sure you wish to exit?"),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool QtDialogs::askYesNo(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::askText(QWidget* parent, const QString& prompt,
                                          const QString& title, const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text;
}

std::optional<QString> QtDialogs::openFile(QWidget* parent, const QString& caption,
                                           const QString& startPath) {
    const QString chosen = QFileDialog::getOpenFileName(parent, caption, startPath);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen;
}

void QtDialogs::quit() {
    // Yes to Cancel ends the program at once, also from inside a nested event loop
    // (a modal box or a handler still running); every file is closed within its own
    // handler, so nothing is left half-written. The windows are not closed first:
    // closing a screen asks whether to exit.
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace vornetica
