#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "display/colour_scale.h"
#include "display/weight_matrices.h"
#include "train/networks.h"

class QComboBox;
class QLabel;
class QPainter;

namespace vornetica {

// A colour scale drawn as a bar with its two ends' values beneath, in `area`.
void paintLegend(QPainter& painter, const QRect& area, const ColourScale& scale);
// The height a legend takes in a widget of font metrics `metrics`.
int legendHeight(const QFontMetrics& metrics);

class WeightMap;

// The weight view of the training window: the chosen weight matrix (or threshold
// vector) of the network under training as a colour map, one cell per weight,
// with a legend. Hovering a cell, or moving to it with the arrow keys, names the
// weight and gives its value in full.
class WeightView : public QWidget {
    Q_OBJECT
  public:
    explicit WeightView(QWidget* parent = nullptr);

    // The network as it stands; its matrices replace those shown.
    void showNetwork(const TrainedNetwork& network);
    void clear();

    const std::vector<WeightMatrix>& matrices() const { return matrices_; }
    // The matrix drawn, if any.
    const WeightMatrix* shownMatrix() const;
    WeightMap* map() const { return map_; }
    // "hidden weight from input 2 to hidden node 5: -.25" for a cell; empty outside.
    QString cellText(int row, int col) const;

  private:
    void matrixChosen();

    QComboBox* choice_ = nullptr;
    WeightMap* map_ = nullptr;
    QLabel* current_ = nullptr;
    std::vector<WeightMatrix> matrices_;
    friend class WeightMap;
};

// The painted map of one matrix; a child of WeightView.
class WeightMap : public QWidget {
    Q_OBJECT
  public:
    explicit WeightMap(WeightView& view);

    void setMatrix(const WeightMatrix* matrix);
    // The cell under `point`, in widget coordinates, as (row, column).
    std::optional<std::pair<int, int>> cellAt(const QPoint& point) const;
    // The rectangle cell (row, col) covers.
    QRectF cellRect(int row, int col) const;
    const ColourScale& scale() const { return scale_; }
    // The cell the arrow keys or the pointer moved to last.
    std::pair<int, int> currentCell() const { return current_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    void cellPointed(int row, int col);

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QRectF mapArea() const;
    // "rows: input 1 to 2; columns: hidden node 1 to 8"
    QString axesText() const;

    WeightView& view_;
    const WeightMatrix* matrix_ = nullptr;
    QImage image_;
    ColourScale scale_{-1.0, 1.0};
    std::pair<int, int> current_{0, 0};
};

}  // namespace vornetica
