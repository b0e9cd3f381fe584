#pragma once

#include <QColor>
#include <QWidget>
#include <cstddef>
#include <vector>

#include "display/pattern_layout.h"

namespace vornetica {

// The grey of a value: -1 and below black, +1 and above white, 0 the middle grey.
// A value that is not a number shows as 0.
QColor patternShade(double value);

// A vector drawn as a row or square of shaded cells (brain-state-in-a-box and
// autocorrelator vectors, whose elements lie between -1 and +1).
class PatternView : public QWidget {
    Q_OBJECT
  public:
    explicit PatternView(QWidget* parent = nullptr);

    void setValues(std::vector<double> values);
    const std::vector<double>& values() const { return values_; }
    PatternLayout layout() const { return patternLayout(values_.size()); }
    // The rectangle of element `index`, in widget coordinates.
    QRect cellRect(std::size_t index) const;

    QSize sizeHint() const override;
    // Cells of a few pixels at least, so a recalled letter stays readable.
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int cellSize() const;

    std::vector<double> values_;
};

}  // namespace vornetica
