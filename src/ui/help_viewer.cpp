#include "ui/help_viewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace vornetica {

namespace {

const QString HelpFileName = QStringLiteral("vornetica.hlp");

}  // namespace

HelpViewer::HelpViewer(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(tr("Vornetica Help"));
    setOpenExternalLinks(false);
    resize(720, 640);
}

QStringList HelpViewer::dataFolders() {
    QStringList folders{QDir::currentPath()};
#ifdef VORNETICA_INSTALLED_DATA_DIR
    folders.append(QStringLiteral(VORNETICA_INSTALLED_DATA_DIR));
#endif
    if (QCoreApplication::instance() != nullptr) {
        folders.append(QDir(QCoreApplication::applicationDirPath())
                           .absoluteFilePath(QStringLiteral("../share/vornetica")));
    }
    return folders;
}

std::optional<QString> HelpViewer::findDataFile(const QString& name) {
    return findIn(dataFolders(), name);
}

std::optional<QString> HelpViewer::findIn(const QStringList& folders, const QString& name) {
    for (const QString& folder : folders) {
        const QFileInfo candidate(QDir(folder), name);
        if (candidate.exists()) {
            return QDir::cleanPath(candidate.absoluteFilePath());
        }
    }
    return std::nullopt;
}

std::optional<QString> HelpViewer::open(const QString& section) {
    const std::optional<QString> found = findDataFile(HelpFileName);
    const QString path = found.value_or(QDir::current().absoluteFilePath(HelpFileName));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return path;
    }
    // The file is read each time, so an edited help file shows without a restart.
    setSearchPaths({QFileInfo(path).absolutePath()});
    setHtml(QString::fromUtf8(file.readAll()));
    section_ = section;
    if (section.isEmpty()) {
        scrollToAnchor(QStringLiteral("contents"));
        moveCursor(QTextCursor::Start);
    } else {
        scrollToAnchor(section);
    }
    return std::nullopt;
}

}  // namespace vornetica
