#pragma once

#include <QTextBrowser>
#include <optional>

namespace vornetica {

// The help window: the HTML help file "vornetica.hlp" from the current directory.
class HelpViewer : public QTextBrowser {
    Q_OBJECT
  public:
    explicit HelpViewer(QWidget* parent = nullptr);
    // Loads the help file and goes to `section` (an anchor named after a screen), or
    // to the contents page when `section` is empty. Returns the full path of the file
    // when it cannot be read.
    std::optional<QString> open(const QString& section);
    static QString helpFilePath();
};

}  // namespace vornetica
