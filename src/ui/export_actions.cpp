#include "ui/export_actions.h"

#include <QAbstractScrollArea>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>

#include "base/user_error.h"
#include "data/export_file.h"
#include "netfile/matrix_export.h"
#include "ui/dialogs.h"

namespace vornetica {

namespace {

bool isContextMenuKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    return (event.key() == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
           (event.key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
}

}  // namespace

void KeyboardMenu::noteEvent(const QEvent& event) {
    if (event.type() == QEvent::ContextMenu && !opening_ &&
        static_cast<const QContextMenuEvent&>(event).reason() == QContextMenuEvent::Keyboard) {
        platformOpened_ = true;
    }
}

bool KeyboardMenu::takeKey(QKeyEvent& event, QAbstractScrollArea& view) {
    if (!isContextMenuKey(event)) {
        return false;
    }
    event.accept();
    if (platformOpened_) {
        platformOpened_ = false;
        return true;
    }
    // A keyboard menu event on the view itself: the scroll area passes it on to the
    // widget's own handling, which shows the actions as the menu.
    const QPoint where = view.viewport()->geometry().center();
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, where, view.mapToGlobal(where));
    opening_ = true;
    QCoreApplication::sendEvent(&view, &menuEvent);
    opening_ = false;
    return true;
}

std::optional<QString> askSavePath(QWidget* parent, const QString& caption,
                                   const QString& suggestedName, const QString& filter) {
    const QString path = QFileDialog::getSaveFileName(
        parent, caption, QDir::current().filePath(suggestedName), filter);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

bool saveExportBytes(QWidget* parent, const QString& path, const QByteArray& bytes) {
    try {
        writeExportFile(
            path.toStdString(),
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        return true;
    } catch (const UserError& error) {
        QMessageBox::warning(parent, QCoreApplication::translate("vornetica::Export", "Save"),
                             QString::fromStdString(error.what()));
        return false;
    }
}

void exportNetworkMatrices(QWidget* parent, Dialogs& dialogs, const TrainedNetwork& network) {
    const std::optional<QString> prefix = dialogs.askText(
        parent,
        QCoreApplication::translate("vornetica::Export",
                                    "Please enter the start of the matrix files' names; each "
                                    "matrix goes to NAME-<matrix>.csv"),
        QCoreApplication::translate("vornetica::Export", "Export Matrices"),
        QStringLiteral("network"));
    if (!prefix) {
        return;
    }
    try {
        const std::vector<std::string> paths = exportMatrices(network, prefix->toStdString());
        QStringList names;
        for (const std::string& path : paths) {
            names.append(QString::fromStdString(path));
        }
        dialogs.message(parent,
                        QCoreApplication::translate("vornetica::Export", "Matrices written to:\n%1")
                            .arg(names.join(QLatin1Char('\n'))),
                        Dialogs::Icon::Information);
    } catch (const UserError& error) {
        dialogs.message(parent, QString::fromStdString(error.what()), Dialogs::Icon::Warning);
    }
}

}  // namespace vornetica
