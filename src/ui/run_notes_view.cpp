#include "ui/run_notes_view.h"

#include <QEvent>
#include <QFontMetrics>

namespace vornetica {

namespace {

// Enough for two or three notes; more scroll.
constexpr int ShownLines = 5;

}  // namespace

RunNotesView::RunNotesView(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("RunNotes"));
    setAccessibleName(tr("Run notes"));
    setToolTip(tr("Why this run may fail or failed, and what to change."));
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    setFocusPolicy(Qt::StrongFocus);
    setTabChangesFocus(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    fitHeight();
    hide();
}

void RunNotesView::clearNotes() {
    clear();
    count_ = 0;
    hide();
}

void RunNotesView::addNotes(const std::vector<RunNote>& notes) {
    for (const RunNote& note : notes) {
        appendPlainText(tr("Note: %1").arg(QString::fromStdString(note.text)));
        ++count_;
    }
    if (count_ > 0) {
        moveCursor(QTextCursor::Start);
        show();
    }
}

void RunNotesView::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitHeight();
    }
}

// A height in lines of the current font, so the area follows the desktop's font size.
void RunNotesView::fitHeight() {
    const QFontMetrics metrics(font());
    const QMargins margins = contentsMargins();
    setFixedHeight(ShownLines * metrics.lineSpacing() +
                   2 * static_cast<int>(document()->documentMargin()) + margins.top() +
                   margins.bottom());
}

}  // namespace vornetica
