#pragma once

#include <QWidget>
#include <optional>

#include "base/matrix.h"
#include "display/colour_scale.h"
#include "display/function_view_data.h"
#include "neuron/threshold.h"
#include "train/networks.h"

class QComboBox;
class QLabel;

namespace vornetica {

class FunctionPlot;

// The function view of the training window: what a backpropagation network under
// training computes, drawn from its weights as they stand. One input: the chosen
// output against the input over the training range, with the training targets as
// points; two inputs: a colour map of the chosen output over both inputs' range,
// with the training vectors as points; more: each training vector's output against
// its target. Other kinds have no function to draw.
class FunctionView : public QWidget {
    Q_OBJECT
  public:
    explicit FunctionView(QWidget* parent = nullptr);

    // Before a backpropagation run: the function it trains with, its training set
    // as read (inputs and targets, P rows each) and its number of outputs.
    void beginRun(const ThresholdChoice& function, Matrix<double> inputs, Matrix<double> targets,
                  int outputSize);
    // A run of a kind that has no function to draw, or no run.
    void showNothing(const QString& why);
    // The network as it stands; redraws the chosen output.
    void showNetwork(const BpnNetwork& network);

    const FunctionSamples& samples() const { return samples_; }
    bool drawn() const { return drawn_; }
    FunctionPlot* plot() const { return plot_; }
    QString caption() const;

  private:
    void outputChosen();
    void resample();

    QComboBox* choice_ = nullptr;
    FunctionPlot* plot_ = nullptr;
    QLabel* caption_ = nullptr;
    ThresholdChoice function_;
    Matrix<double> inputs_;
    Matrix<double> targets_;
    std::optional<BpnNetwork> network_;
    FunctionSamples samples_;
    bool drawn_ = false;
};

// The painted plot of a FunctionView.
class FunctionPlot : public QWidget {
    Q_OBJECT
  public:
    explicit FunctionPlot(QWidget* parent = nullptr);

    void setSamples(const FunctionSamples* samples, const QString& emptyText);
    // The value ranges the plot's axes span: x, then y.
    std::pair<double, double> xRange() const { return {xLow_, xHigh_}; }
    std::pair<double, double> yRange() const { return {yLow_, yHigh_}; }
    // Where the point (x, y), in the axes' values, is drawn.
    QPointF position(double x, double y) const;
    // What the plot says about the place under `point` (the tooltip's text).
    QString describe(const QPoint& point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  private:
    QRect plotArea() const;
    void fitRanges();
    void paintAxes(QPainter& painter, const QRect& area) const;
    void paintPoints(QPainter& painter) const;

    const FunctionSamples* samples_ = nullptr;
    QString emptyText_;
    QImage map_;
    ColourScale scale_{0.0, 1.0};
    double xLow_ = 0.0, xHigh_ = 1.0, yLow_ = 0.0, yHigh_ = 1.0;
};

}  // namespace vornetica
