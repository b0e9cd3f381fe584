#include "ui/worked_calculation_view.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "display/worked_text.h"
#include "ui/screen_parts.h"

namespace vornetica {

WorkedCalculationView::WorkedCalculationView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("WorkedCalculation"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    caption_ = makeLabel(this, "WorkedCalculationLabel", tr("Worked calculation"));
    QLabel* nodeLabel = makeLabel(this, "WorkedNodeLabel", tr("&Node:"));
    node_ = new QSpinBox(this);
    node_->setObjectName(QStringLiteral("WorkedNode"));
    node_->setRange(1, 1);
    node_->setAccessibleName(tr("Node shown in large layers"));
    // Screen readers land on the box's text field; it carries the name too.
    if (auto* field = node_->findChild<QLineEdit*>()) {
        field->setAccessibleName(node_->accessibleName());
    }
    node_->setToolTip(tr("Layers of more than %1 nodes show their first %2 nodes and this one.")
                          .arg(kNodesShownWhole)
                          .arg(kFirstNodesShown));
    nodeLabel->setBuddy(node_);
    top->addWidget(caption_, 1);
    top->addWidget(nodeLabel);
    top->addWidget(node_);
    layout->addLayout(top);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("WorkedCalculationText"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setAccessibleName(tr("Worked calculation"));
    text_->setToolTip(tr("Press Step to train one unit of work and see its arithmetic here."));
    text_->setPlaceholderText(
        tr("Press Step to train one vector (a time step, a pair) and see its arithmetic."));
    // Formulas line up in a fixed-width font of the desktop's size.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(this->font().pointSizeF());
    text_->setFont(font);
    layout->addWidget(text_, 1);
    connect(node_, &QSpinBox::valueChanged, this, [this] { showText(); });
}

void WorkedCalculationView::showUnit(WorkedUnit unit) {
    unit_ = std::move(unit);
    const int largest = largestLayer(*unit_);
    node_->setMaximum(std::max(1, largest));
    // Layers shown whole need no choice.
    node_->setEnabled(largest > kNodesShownWhole);
    showText();
}

void WorkedCalculationView::clear() {
    unit_.reset();
    text_->clear();
}

QString WorkedCalculationView::text() const {
    return text_->toPlainText();
}

void WorkedCalculationView::showText() {
    if (!unit_) {
        return;
    }
    const int scrolled = text_->verticalScrollBar() ? text_->verticalScrollBar()->value() : 0;
    text_->setPlainText(QString::fromStdString(workedCalculationText(*unit_, node_->value() - 1)));
    text_->verticalScrollBar()->setValue(scrolled);
}

}  // namespace vornetica
