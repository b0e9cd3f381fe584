#pragma once

#include <QString>
#include <deque>
#include <optional>
#include <vector>

#include "ui/dialogs.h"

namespace vornetica::testing {

// Dialogs for tests: answers come from queues filled by the test, every message is
// recorded with its title and icon, and quit() records instead of ending the program.
class ScriptedDialogs : public Dialogs {
  public:
    struct Shown {
        QString text;
        QString title;
        Icon icon;
    };

    void message(QWidget*, const QString& text, Icon icon, const QString& title) override {
        messages.push_back({text, title, icon});
    }
    bool confirmExit(QWidget*, const QString& title) override {
        confirmTitles.push_back(title);
        return takeFront(exitAnswers, false);
    }
    bool askYesNo(QWidget*, const QString& text, const QString& title) override {
        questions.push_back({text, title, Icon::Warning});
        return takeFront(yesNoAnswers, false);
    }
    std::optional<QString> askText(QWidget*, const QString& prompt, const QString& title,
                                   const QString& defaultText) override {
        asked.push_back({prompt, title, Icon::None});
        askedDefaults.push_back(defaultText);
        return answerOf(takeFront(textAnswers, QString()));
    }
    std::optional<QString> openFile(QWidget*, const QString& caption, const QString&) override {
        fileCaptions.push_back(caption);
        return answerOf(takeFront(fileAnswers, QString()));
    }
    void quit() override { ++quitCount; }

    // The last message's text, or empty when none was shown.
    QString lastMessage() const { return messages.empty() ? QString() : messages.back().text; }

    std::deque<bool> exitAnswers;   // answers to confirmExit (default No)
    std::deque<bool> yesNoAnswers;  // answers to askYesNo (default No)
    // Answers to askText and openFile; a null QString (the default) cancels.
    std::deque<QString> textAnswers;
    std::deque<QString> fileAnswers;

    std::vector<Shown> messages;
    std::vector<QString> confirmTitles;
    std::vector<Shown> questions;  // askYesNo's texts and titles
    std::vector<Shown> asked;
    std::vector<QString> askedDefaults;
    std::vector<QString> fileCaptions;
    int quitCount = 0;

  private:
    static std::optional<QString> answerOf(const QString& answer) {
        if (answer.isNull()) {
            return std::nullopt;
        }
        return answer;
    }
    template <typename T>
    static T takeFront(std::deque<T>& queue, T fallback) {
        if (queue.empty()) {
            return fallback;
        }
        T front = queue.front();
        queue.pop_front();
        return front;
    }
};

}  // namespace vornetica::testing
