#pragma once

#include <QCoreApplication>
#include <QString>
#include <optional>

class QWidget;

namespace vornetica {

// The one seam through which screens ask the user something or tell them
// something. The program uses QtDialogs; tests answer through a scripted one.
class Dialogs {
    Q_DECLARE_TR_FUNCTIONS(vornetica::Dialogs)

  public:
    enum class Icon { None, Information, Warning, Critical };

    virtual ~Dialogs() = default;
    // A message with an OK button. Title "Vornetica" unless another is given.
    virtual void message(QWidget* parent, const QString& text, Icon icon,
                         const QString& title = tr("Vornetica")) = 0;
    // "Are you sure you wish to exit?" with Yes (the default) and No and a warning icon.
    virtual bool confirmExit(QWidget* parent, const QString& title) = 0;
    // A question with Yes and No (the default) and an exclamation icon; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text, const QString& title) = 0;
    // An input box; nullopt when cancelled.
    virtual std::optional<QString> askText(QWidget* parent, const QString& prompt,
                                           const QString& title, const QString& defaultText) = 0;
    // A file-open dialog; nullopt when closed without a choice.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& caption,
                                            const QString& startPath) = 0;
    // Ends the program at once (Yes to Cancel or Exit, and "Not in this version").
    virtual void quit() = 0;
};

// The real boxes of Qt.
class QtDialogs : public Dialogs {
  public:
    void message(QWidget* parent, const QString& text, Icon icon, const QString& title) override;
    bool confirmExit(QWidget* parent, const QString& title) override;
    bool askYesNo(QWidget* parent, const QString& text, const QString& title) override;
    std::optional<QString> askText(QWidget* parent, const QString& prompt, const QString& title,
                                   const QString& defaultText) override;
    std::optional<QString> openFile(QWidget* parent, const QString& caption,
                                    const QString& startPath) override;
    void quit() override;
};

}  // namespace vornetica
