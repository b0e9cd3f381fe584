#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "train/networks.h"

class QAbstractScrollArea;
class QEvent;
class QKeyEvent;
class QWidget;

namespace vornetica {

class Dialogs;

// Opens a view's context menu from the keyboard, the menu key or Shift+F10, once a
// press: some platforms send a menu event of their own just before the key's press
// (X11 for the menu key, Windows for both), others none, and a second menu would
// follow the first.
class KeyboardMenu {
  public:
    // From the view's event(): notes a menu event the platform sent for a key.
    void noteEvent(const QEvent& event);
    // From the view's keyPressEvent(): whether the key was a menu key, taken here.
    bool takeKey(QKeyEvent& event, QAbstractScrollArea& view);

  private:
    bool platformOpened_ = false;
    bool opening_ = false;
};

// Asks in a save dialogue which file to write, proposing `suggestedName` in the
// current folder; nothing when the dialogue is cancelled.
std::optional<QString> askSavePath(QWidget* parent, const QString& caption,
                                   const QString& suggestedName, const QString& filter);
// Writes `bytes` as the whole file through the atomic writer; a failure is shown in a
// warning box naming the file. Returns whether the file now stands complete.
bool saveExportBytes(QWidget* parent, const QString& path, const QByteArray& bytes);

// The training window's Export Matrices: asks for the start of the file names and
// writes each matrix of `network` to NAME-<matrix>.csv, then names the files written.
void exportNetworkMatrices(QWidget* parent, Dialogs& dialogs, const TrainedNetwork& network);

}  // namespace vornetica
