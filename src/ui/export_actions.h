#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "train/networks.h"

class QAbstractScrollArea;
class QKeyEvent;
class QWidget;

namespace vornetica {

class Dialogs;

// The keys that open a context menu from the keyboard: the menu key and Shift+F10.
bool isContextMenuKey(const QKeyEvent& event);
// Opens `view`'s context menu as the keyboard would, at the middle of its viewport.
void openContextMenuFromKeyboard(QAbstractScrollArea& view);

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
