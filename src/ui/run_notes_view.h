#pragma once

#include <QPlainTextEdit>
#include <vector>

#include "notes/run_notes.h"

namespace vornetica {

// The notes of the last run below the training window's grids: why the run may fail
// or failed, and what to change. Hidden while there are none, a few lines high
// (scrolling beyond) when there are, so the window keeps its room for the grids.
// Read-only, yet Tab reaches it so that the keyboard can scroll and select the text.
class RunNotesView : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit RunNotesView(QWidget* parent = nullptr);

    void clearNotes();
    void addNotes(const std::vector<RunNote>& notes);
    int noteCount() const { return count_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void fitHeight();

    int count_ = 0;
};

}  // namespace vornetica
