#include "ui/function_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "base/number_text.h"
#include "ui/weight_view.h"

namespace vornetica {

namespace {

// Samples along the curve, and along each side of the map: finer would not show
// at the view's size, and each sample is a forward pass on the screens' thread.
constexpr int CurveSamples = 241;
constexpr int MapSamples = 61;
constexpr std::size_t ManySmoothPoints = 100;

QString wholeNumber(double value) {
    return QString::fromStdString(numberText(value)).trimmed();
}

void widen(double& low, double& high, double value) {
    if (std::isfinite(value)) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
}

}  // namespace

FunctionView::FunctionView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FunctionView"));
    setAccessibleName(tr("Function view"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* label = new QLabel(tr("&Output:"), this);
    choice_ = new QComboBox(this);
    choice_->setObjectName(QStringLiteral("FunctionOutputChoice"));
    choice_->setAccessibleName(tr("Output drawn"));
    choice_->setToolTip(tr("The output node whose values the view draws."));
    label->setBuddy(choice_);
    top->addWidget(label);
    top->addWidget(choice_, 1);
    layout->addLayout(top);
    plot_ = new FunctionPlot(this);
    layout->addWidget(plot_, 1);
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("FunctionCaption"));
    caption_->setWordWrap(true);
    layout->addWidget(caption_);
    connect(choice_, &QComboBox::currentIndexChanged, this, &FunctionView::outputChosen);
    showNothing(tr("The function view draws what a backpropagation network computes."));
}

QString FunctionView::caption() const {
    return caption_->text();
}

void FunctionView::beginRun(const ThresholdChoice& function, Matrix<double> inputs,
                            Matrix<double> targets, int outputSize) {
    function_ = function;
    inputs_ = std::move(inputs);
    targets_ = std::move(targets);
    network_.reset();
    drawn_ = false;
    {
        const QSignalBlocker block(choice_);
        const int previous = choice_->currentIndex();
        choice_->clear();
        for (int k = 0; k < outputSize; ++k) {
            choice_->addItem(tr("Output %1").arg(k + 1));
        }
        choice_->setCurrentIndex(previous >= 0 && previous < outputSize ? previous : 0);
    }
    choice_->setEnabled(outputSize > 1);
    caption_->setText(QString::fromStdString(functionCaption(function_)));
    plot_->setSamples(nullptr, tr("The function appears here when the run starts."));
}

void FunctionView::showNothing(const QString& why) {
    network_.reset();
    drawn_ = false;
    choice_->clear();
    choice_->setEnabled(false);
    caption_->clear();
    plot_->setSamples(nullptr, why);
}

void FunctionView::showNetwork(const BpnNetwork& network) {
    network_ = network;
    resample();
}

void FunctionView::outputChosen() {
    if (network_) {
        resample();
    }
}

void FunctionView::resample() {
    const int resolution =
        functionShapeFor(network_->inputSize()) == FunctionShape::Map ? MapSamples : CurveSamples;
    samples_ = sampleFunction(*network_, function_, inputs_, targets_,
                              std::max(choice_->currentIndex(), 0), resolution);
    drawn_ = true;
    plot_->setSamples(&samples_, {});
}

FunctionPlot::FunctionPlot(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FunctionPlot"));
    setAccessibleName(tr("Function plot"));
    setAccessibleDescription(
        tr("What the network computes from its weights as they stand, with the training "
           "vectors as points. Rest the pointer on the plot to read a value."));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFocusPolicy(Qt::StrongFocus);
}

QSize FunctionPlot::sizeHint() const {
    const int line = fontMetrics().height();
    return {18 * line, 14 * line};
}

QSize FunctionPlot::minimumSizeHint() const {
    const int line = fontMetrics().height();
    return {10 * line, 8 * line};
}

void FunctionPlot::setSamples(const FunctionSamples* samples, const QString& emptyText) {
    samples_ = samples;
    emptyText_ = emptyText;
    map_ = QImage();
    if (samples_ != nullptr) {
        fitRanges();
        if (samples_->shape == FunctionShape::Map && samples_->columns > 0) {
            scale_ = ColourScale::spanning(samples_->values);
            map_ = QImage(samples_->columns, samples_->rows, QImage::Format_RGB32);
            for (int r = 0; r < samples_->rows; ++r) {
                // Row 0 of the samples lies at the lowest y, drawn at the bottom.
                auto* line = reinterpret_cast<QRgb*>(map_.scanLine(samples_->rows - 1 - r));
                for (int c = 0; c < samples_->columns; ++c) {
                    const Rgb rgb = scale_.colour(
                        samples_->values[static_cast<std::size_t>(r * samples_->columns + c)]);
                    line[c] = qRgb(rgb.red, rgb.green, rgb.blue);
                }
            }
        }
    }
    update();
}

void FunctionPlot::fitRanges() {
    const FunctionSamples& s = *samples_;
    if (s.shape == FunctionShape::Map) {
        xLow_ = s.xLow, xHigh_ = s.xHigh, yLow_ = s.yLow, yHigh_ = s.yHigh;
        return;
    }
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const double value : s.values) {
        widen(low, high, value);
    }
    for (const double value : s.pointY) {
        widen(low, high, value);
    }
    if (s.shape == FunctionShape::Pairs) {
        // Output against target on one scale, so the diagonal is where they agree.
        for (const double value : s.pointX) {
            widen(low, high, value);
        }
        xLow_ = low, xHigh_ = high;
    } else {
        xLow_ = s.xLow, xHigh_ = s.xHigh;
    }
    if (!(low < high)) {
        low = (std::isfinite(low) ? low : 0.0) - 1.0;
        high = low + 2.0;
    }
    if (!(xLow_ < xHigh_)) {
        xLow_ = low, xHigh_ = high;
    }
    yLow_ = low, yHigh_ = high;
}

QRect FunctionPlot::plotArea() const {
    const QFontMetrics metrics = fontMetrics();
    const int left =
        metrics.horizontalAdvance(QStringLiteral("-0.000000000")) / 2 + metrics.height();
    int bottom = 2 * metrics.height();
    if (!map_.isNull()) {
        bottom += legendHeight(metrics);
    }
    return QRect(left, metrics.height() / 2, std::max(width() - left - metrics.height(), 1),
                 std::max(height() - bottom - metrics.height() / 2, 1));
}

QPointF FunctionPlot::position(double x, double y) const {
    const QRectF area = plotArea();
    return {area.left() + (x - xLow_) / (xHigh_ - xLow_) * area.width(),
            area.bottom() - (y - yLow_) / (yHigh_ - yLow_) * area.height()};
}

void FunctionPlot::paintAxes(QPainter& painter, const QRect& area) const {
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setPen(palette().windowText().color());
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    const int textTop = area.bottom() + metrics.height() / 4;
    const QRect below(area.left(), textTop, area.width(), metrics.height());
    painter.drawText(below, Qt::AlignLeft, wholeNumber(xLow_));
    painter.drawText(below, Qt::AlignRight, wholeNumber(xHigh_));
    QString xName = tr("input 1");
    QString yName = tr("output %1").arg(samples_->output + 1);
    if (samples_->shape == FunctionShape::Map) {
        yName = tr("input 2");
    } else if (samples_->shape == FunctionShape::Pairs) {
        xName = tr("target %1").arg(samples_->output + 1);
    }
    painter.drawText(below.translated(0, metrics.height()), Qt::AlignHCenter, xName);
    const QRect side(0, area.top(), area.left() - metrics.height() / 4, area.height());
    painter.drawText(side, Qt::AlignRight | Qt::AlignTop, wholeNumber(yHigh_));
    painter.drawText(side, Qt::AlignRight | Qt::AlignBottom, wholeNumber(yLow_));
    painter.drawText(side, Qt::AlignRight | Qt::AlignVCenter | Qt::TextWordWrap, yName);
}

void FunctionPlot::paintPoints(QPainter& painter) const {
    const double radius = std::max(3.0, fontMetrics().height() / 3.5);
    const bool coloured = samples_->pointTarget.size() == samples_->pointX.size();
    const bool many = samples_->pointX.size() > ManySmoothPoints;
    // Many points go as plain squares: smoothed circles cost several times as much
    // to draw, and at that number the difference does not show.
    painter.setRenderHint(QPainter::Antialiasing, !many);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    QList<QRectF> squares;
    for (std::size_t p = 0; p < samples_->pointX.size(); ++p) {
        const QPointF at = position(samples_->pointX[p], samples_->pointY[p]);
        if (!std::isfinite(at.x()) || !std::isfinite(at.y())) {
            continue;
        }
        if (many && !coloured) {
            squares.append(QRectF(at.x() - radius / 2, at.y() - radius / 2, radius, radius));
            continue;
        }
        if (coloured) {
            // On the map's scale: a point whose colour differs from the map around
            // it is a vector the network does not yet fit.
            const Rgb rgb = scale_.colour(samples_->pointTarget[p]);
            painter.setBrush(QColor(rgb.red, rgb.green, rgb.blue));
        }
        painter.drawEllipse(at, radius, radius);
    }
    painter.drawRects(squares);
}

void FunctionPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (samples_ == nullptr) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, emptyText_);
        return;
    }
    const QRect area = plotArea();
    painter.save();
    painter.setClipRect(area);
    switch (samples_->shape) {
        case FunctionShape::Map:
            painter.drawImage(QRectF(area), map_);
            break;
        case FunctionShape::Curve: {
            QPainterPath path;
            bool started = false;
            for (int c = 0; c < samples_->columns; ++c) {
                const double x = samples_->xLow + (samples_->xHigh - samples_->xLow) * c /
                                                      std::max(samples_->columns - 1, 1);
                const QPointF at = position(x, samples_->values[static_cast<std::size_t>(c)]);
                if (!std::isfinite(at.y())) {
                    started = false;
                    continue;
                }
                started ? path.lineTo(at) : path.moveTo(at);
                started = true;
            }
            painter.setPen(QPen(palette().highlight().color(), 2));
            painter.drawPath(path);
            break;
        }
        case FunctionShape::Pairs:
            painter.setPen(QPen(palette().mid().color(), 1, Qt::DashLine));
            painter.drawLine(position(xLow_, xLow_), position(xHigh_, xHigh_));
            break;
    }
    painter.restore();
    // Points at the ends of the range are drawn whole, over the frame.
    paintPoints(painter);
    paintAxes(painter, area);
    if (!map_.isNull()) {
        const QFontMetrics metrics = fontMetrics();
        const QRect legend(area.left(), height() - legendHeight(metrics), area.width(),
                           legendHeight(metrics));
        paintLegend(painter, legend, scale_);
    }
}

QString FunctionPlot::describe(const QPoint& point) const {
    const QRectF area = plotArea();
    if (samples_ == nullptr || !area.contains(point) || samples_->columns < 0) {
        return {};
    }
    const double x = xLow_ + (point.x() - area.left()) / area.width() * (xHigh_ - xLow_);
    const double y = yLow_ + (area.bottom() - point.y()) / area.height() * (yHigh_ - yLow_);
    const FunctionSamples& s = *samples_;
    const auto nearest = [](double value, double low, double high, int count) {
        const double t = (value - low) / (high - low) * (count - 1);
        return std::clamp(static_cast<int>(std::lround(t)), 0, std::max(count - 1, 0));
    };
    switch (s.shape) {
        case FunctionShape::Curve: {
            if (s.columns < 1) {
                return {};
            }
            const int c = nearest(x, s.xLow, s.xHigh, s.columns);
            const double input = s.xLow + (s.xHigh - s.xLow) * c / std::max(s.columns - 1, 1);
            return tr("Input %1: output %2 is %3")
                .arg(wholeNumber(input))
                .arg(s.output + 1)
                .arg(wholeNumber(s.values[static_cast<std::size_t>(c)]));
        }
        case FunctionShape::Map: {
            if (s.columns < 1) {
                return {};
            }
            const int c = nearest(x, s.xLow, s.xHigh, s.columns);
            const int r = nearest(y, s.yLow, s.yHigh, s.rows);
            const double first = s.xLow + (s.xHigh - s.xLow) * c / std::max(s.columns - 1, 1);
            const double second = s.yLow + (s.yHigh - s.yLow) * r / std::max(s.rows - 1, 1);
            return tr("Inputs %1, %2: output %3 is %4")
                .arg(wholeNumber(first), wholeNumber(second))
                .arg(s.output + 1)
                .arg(wholeNumber(s.values[static_cast<std::size_t>(r * s.columns + c)]));
        }
        case FunctionShape::Pairs:
            break;
    }
    // The training vector drawn nearest the pointer.
    std::size_t best = s.pointX.size();
    double bestDistance = std::numeric_limits<double>::infinity();
    for (std::size_t p = 0; p < s.pointX.size(); ++p) {
        const QPointF at = position(s.pointX[p], s.pointY[p]);
        const double distance = std::hypot(at.x() - point.x(), at.y() - point.y());
        if (distance < bestDistance) {
            best = p;
            bestDistance = distance;
        }
    }
    if (best == s.pointX.size() || bestDistance > fontMetrics().height()) {
        return {};
    }
    return tr("Training vector %1: target %2, output %3")
        .arg(best + 1)
        .arg(wholeNumber(s.pointX[best]), wholeNumber(s.pointY[best]));
}

bool FunctionPlot::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = describe(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    return QWidget::event(event);
}

}  // namespace vornetica
