#pragma once

#include <QChartView>
#include <optional>
#include <vector>

#include "settings/network_settings.h"
#include "train/progress.h"
#include "ui/export_actions.h"

class QLineSeries;
class QLogValueAxis;
class QValueAxis;

namespace vornetica {

// The training window's live chart: one point per epoch (backpropagation), pass
// (brain-state-in-a-box), pair (counterpropagation) or vector (autocorrelator), the
// error threshold as a straight line, and the exact value and epoch on hover. The
// error axis turns logarithmic when the values span decades. The curve stays until
// the next run begins.
class ProgressChart : public QChartView {
    Q_OBJECT
  public:
    explicit ProgressChart(QWidget* parent = nullptr);

    // Forgets the last curve and sets the titles for `kind`; `threshold` is drawn as
    // a line when given.
    void beginRun(NetworkKind kind, std::optional<double> threshold);
    // The run's history so far, oldest first.
    void showPoints(const std::vector<EpochReport>& points);

    QLineSeries* largestSeries() const { return largest_; }
    QLineSeries* meanSquaredSeries() const { return meanSquared_; }
    QLineSeries* thresholdLine() const { return threshold_; }
    bool logarithmic() const { return logarithmic_; }

    // The chart as it shows now, at the widget's size: a PNG picture, or SVG drawing
    // instructions that scale without blur.
    QByteArray pngBytes();
    QByteArray svgBytes();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void useValueAxis(bool logarithmic);
    void fitAxes(const std::vector<double>& values, double lastStep);
    void showHoverTip(QLineSeries* series, const QPointF& point, bool entered);
    void addSaveActions();
    void saveAs(const char* format);

    NetworkKind kind_ = NetworkKind::BPN;
    std::optional<double> thresholdValue_;
    QLineSeries* largest_ = nullptr;
    QLineSeries* meanSquared_ = nullptr;
    QLineSeries* threshold_ = nullptr;
    QValueAxis* stepAxis_ = nullptr;
    QValueAxis* linearAxis_ = nullptr;
    QLogValueAxis* logAxis_ = nullptr;
    bool logarithmic_ = false;
    KeyboardMenu keyboardMenu_;
};

}  // namespace vornetica
