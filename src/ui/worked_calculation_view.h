#pragma once

#include <QWidget>
#include <optional>

#include "train/worked_calculation.h"

class QLabel;
class QPlainTextEdit;
class QSpinBox;

namespace vornetica {

// The "Worked calculation" panel of the training window: the arithmetic of the unit
// of work a stepped run stopped after, as the core writes it out, and the node to
// show in layers too large to show whole.
class WorkedCalculationView : public QWidget {
    Q_OBJECT
  public:
    explicit WorkedCalculationView(QWidget* parent = nullptr);

    void showUnit(WorkedUnit unit);
    // Before a run: nothing explained yet.
    void clear();
    QString text() const;

  private:
    void showText();

    QLabel* caption_ = nullptr;
    QSpinBox* node_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    std::optional<WorkedUnit> unit_;
};

}  // namespace vornetica
