#include "ui/pattern_view.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vornetica {

namespace {

constexpr int PreferredCell = 18;
constexpr int SmallestCell = 3;
constexpr int PreferredSide = 144;
constexpr int MinimumSquareSide = 96;
constexpr int MinimumSquareCell = 4;
constexpr int MinimumRowCell = 12;

}  // namespace

QColor patternShade(double value) {
    const double shown = std::isnan(value) ? 0.0 : std::clamp(value, -1.0, 1.0);
    const int grey = static_cast<int>(std::lround((shown + 1.0) / 2.0 * 255.0));
    return QColor(grey, grey, grey);
}

PatternView::PatternView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void PatternView::setValues(std::vector<double> values) {
    if (values == values_) {
        return;
    }
    const bool reshaped = values.size() != values_.size();
    values_ = std::move(values);
    if (reshaped) {
        updateGeometry();
    }
    update();
}

QSize PatternView::sizeHint() const {
    const PatternLayout shape = layout();
    if (shape.columns == 0) {
        return {PreferredSide, PreferredCell};
    }
    // A square fits a fixed box; a row keeps cells of a readable size.
    if (shape.rows > 1) {
        return {PreferredSide, PreferredSide};
    }
    return {std::min(shape.columns * PreferredCell, 4 * PreferredSide), PreferredCell};
}

QSize PatternView::minimumSizeHint() const {
    const PatternLayout shape = layout();
    if (shape.rows > 1) {
        const int side = std::max(shape.columns * MinimumSquareCell, MinimumSquareSide);
        return {side, side};
    }
    return {std::min(std::max(shape.columns, 1) * MinimumRowCell, MinimumSquareSide * 2),
            MinimumRowCell};
}

int PatternView::cellSize() const {
    const PatternLayout shape = layout();
    if (shape.columns == 0) {
        return 0;
    }
    const int fitting = std::min(width() / shape.columns, height() / shape.rows);
    return std::max(fitting, SmallestCell);
}

QRect PatternView::cellRect(std::size_t index) const {
    const PatternLayout shape = layout();
    const int size = cellSize();
    const int row = static_cast<int>(index) / std::max(shape.columns, 1);
    const int column = static_cast<int>(index) % std::max(shape.columns, 1);
    return {column * size, row * size, size, size};
}

void PatternView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool outlined = cellSize() >= 6;
    painter.setPen(outlined ? QPen(QColor(128, 128, 128)) : QPen(Qt::NoPen));
    for (std::size_t index = 0; index < values_.size(); ++index) {
        const QRect cell = cellRect(index);
        if (!cell.intersects(rect())) {
            continue;
        }
        painter.setBrush(patternShade(values_[index]));
        painter.drawRect(outlined ? cell.adjusted(0, 0, -1, -1) : cell);
    }
}

}  // namespace vornetica
