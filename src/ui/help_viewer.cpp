#include "ui/help_viewer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace vornetica {

HelpViewer::HelpViewer(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Vornetica Help"));
    setOpenExternalLinks(false);
    resize(720, 640);
}

QString HelpViewer::helpFilePath() {
    return QDir::current().absoluteFilePath(QStringLiteral("vornetica.hlp"));
}

std::optional<QString> HelpViewer::open(const QString& section) {
    const QString path = helpFilePath();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return path;
    }
    // The file is read each time, so an edited help file shows without a restart.
    setSearchPaths({QFileInfo(path).absolutePath()});
    setHtml(QString::fromUtf8(file.readAll()));
    if (section.isEmpty()) {
        scrollToAnchor(QStringLiteral("contents"));
        moveCursor(QTextCursor::Start);
    } else {
        scrollToAnchor(section);
    }
    return std::nullopt;
}

}  // namespace vornetica
