#pragma once

#include <QStringList>
#include <QTextBrowser>
#include <optional>

namespace vornetica {

// The help window: the HTML help file "vornetica.hlp", looked up in the current
// directory first and then beside the installed program's data.
class HelpViewer : public QTextBrowser {
    Q_OBJECT
  public:
    explicit HelpViewer(QWidget* parent = nullptr);
    // Loads the help file and goes to `section` (an anchor named after a screen), or
    // to the contents page when `section` is empty. Returns the path looked up in the
    // current directory when no help file can be read.
    std::optional<QString> open(const QString& section);
    // The section the last open went to; empty for the contents page.
    const QString& section() const { return section_; }

    // The places a data file of the program is looked for, in order: the current
    // directory, the install prefix's data folder, and the data folder beside the
    // executable (a package unpacked elsewhere).
    static QStringList dataFolders();
    // The first of `name` in those folders that exists, or nothing.
    static std::optional<QString> findDataFile(const QString& name);
    static std::optional<QString> findIn(const QStringList& folders, const QString& name);

  private:
    QString section_;
};

}  // namespace vornetica
