#include "ui/progress_chart.h"

#include <QAction>
#include <QBuffer>
#include <QCursor>
#include <QImage>
#include <QKeyEvent>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QSvgGenerator>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "base/number_text.h"
#include "display/progress_history.h"
#include "ui/export_actions.h"

namespace vornetica {

namespace {

constexpr double LogarithmicDecadesShown = 12.0;
// 1E+308 is the largest power of ten a double holds.
constexpr double LargestDecade = 308.0;
constexpr double DecadeMargin = 0.05;

struct KindTexts {
    QString step;     // the x axis: what one point stands for
    QString value;    // the y axis
    QString largest;  // the main curve's legend
};

KindTexts textsFor(NetworkKind kind) {
    switch (kind) {
        case NetworkKind::BPN:
            return {ProgressChart::tr("Epoch"), ProgressChart::tr("Error signal"),
                    ProgressChart::tr("Largest output error")};
        case NetworkKind::BSB:
            return {ProgressChart::tr("Pass"), ProgressChart::tr("Error component"),
                    ProgressChart::tr("Largest error component")};
        case NetworkKind::CPN:
            return {ProgressChart::tr("Pair"), ProgressChart::tr("Outstar change"),
                    ProgressChart::tr("Largest outstar change")};
        case NetworkKind::DA:
            break;
    }
    return {ProgressChart::tr("Vector"), ProgressChart::tr("Vectors added"),
            ProgressChart::tr("Vectors added")};
}

// The value a point shows: the autocorrelator counts the vectors added so far.
double plottedValue(NetworkKind kind, const EpochReport& report) {
    return kind == NetworkKind::DA ? static_cast<double>(report.index) + 1.0 : report.largestError;
}

double wholeStepInterval(double rough) {
    double interval = 1.0;
    while (interval < rough) {
        for (const double factor : {2.0, 2.5, 2.0}) {
            interval *= factor;
            if (interval >= rough) {
                break;
            }
        }
    }
    return interval;
}

QLineSeries* makeSeries(QChart* chart, const char* name, const QColor& colour) {
    auto* series = new QLineSeries(chart);
    series->setObjectName(QString::fromLatin1(name));
    series->setPen(QPen(colour, 2));
    chart->addSeries(series);
    return series;
}

}  // namespace

ProgressChart::ProgressChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("ProgressChart"));
    setAccessibleName(tr("Training progress chart"));
    setAccessibleDescription(
        tr("The largest error and the mean squared error of each step of the run, against the "
           "error threshold. The grids beside it show the current values as numbers."));
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    // Set once: the chart lays itself out afresh whenever its title is set, even to
    // the same text, and that costs a short run more than drawing its points does.
    chart->setTitle(tr("Training progress"));
    setChart(chart);
    setRenderHint(QPainter::Antialiasing, true);
    setMinimumSize(500, 320);

    largest_ = makeSeries(chart, "LargestErrorSeries", QColor(0x1f, 0x5f, 0xbf));
    meanSquared_ = makeSeries(chart, "MeanSquaredErrorSeries", QColor(0xd0, 0x70, 0x10));
    threshold_ = makeSeries(chart, "ErrorThresholdLine", QColor(0xb0, 0x20, 0x20));
    threshold_->setPen(QPen(QColor(0xb0, 0x20, 0x20), 1, Qt::DashLine));

    stepAxis_ = new QValueAxis(chart);
    stepAxis_->setLabelFormat(QStringLiteral("%.0f"));
    stepAxis_->setTickType(QValueAxis::TicksDynamic);
    stepAxis_->setTickAnchor(0.0);
    linearAxis_ = new QValueAxis(chart);
    linearAxis_->setLabelFormat(QStringLiteral("%.3g"));
    logAxis_ = new QLogValueAxis(chart);
    logAxis_->setBase(10.0);
    logAxis_->setRange(1.0, 10.0);
    logAxis_->setLabelFormat(QStringLiteral("%.0e"));
    chart->addAxis(stepAxis_, Qt::AlignBottom);
    chart->addAxis(linearAxis_, Qt::AlignLeft);
    for (QLineSeries* series : {largest_, meanSquared_, threshold_}) {
        series->attachAxis(stepAxis_);
        series->attachAxis(linearAxis_);
        connect(series, &QLineSeries::hovered, this,
                [this, series](const QPointF& point, bool entered) {
                    showHoverTip(series, point, entered);
                });
    }
    addSaveActions();
    beginRun(NetworkKind::BPN, std::nullopt);
    // The empty chart's axes, laid out once; each run then keeps the last run's.
    showPoints({});
}

void ProgressChart::beginRun(NetworkKind kind, std::optional<double> threshold) {
    kind_ = kind;
    thresholdValue_ = threshold;
    const KindTexts texts = textsFor(kind);
    stepAxis_->setTitleText(texts.step);
    linearAxis_->setTitleText(texts.value);
    logAxis_->setTitleText(tr("%1 (log scale)").arg(texts.value));
    largest_->setName(texts.largest);
    meanSquared_->setName(tr("Mean squared error"));
    threshold_->setName(tr("Error threshold"));
    meanSquared_->setVisible(kind == NetworkKind::BPN);
    threshold_->setVisible(threshold.has_value());
    // The axes keep the last run's ranges until the new run's first points come:
    // laying them out afresh for an empty chart would cost the run's start more than
    // drawing its points does, and a run like the last one then needs no new layout.
    largest_->clear();
    meanSquared_->clear();
    threshold_->clear();
}

void ProgressChart::showPoints(const std::vector<EpochReport>& points) {
    QList<QPointF> largest;
    QList<QPointF> meanSquared;
    largest.reserve(static_cast<qsizetype>(points.size()));
    std::vector<double> values;
    values.reserve(points.size() * 2 + 1);
    const bool showsMeanSquared = kind_ == NetworkKind::BPN;
    for (const EpochReport& report : points) {
        const double step = static_cast<double>(report.index) + 1.0;
        const double value = plottedValue(kind_, report);
        largest.append(QPointF(step, value));
        values.push_back(value);
        if (showsMeanSquared) {
            meanSquared.append(QPointF(step, report.meanSquaredError));
            values.push_back(report.meanSquaredError);
        }
    }
    const double lastStep = points.empty() ? 1.0 : static_cast<double>(points.back().index) + 1.0;
    QList<QPointF> line;
    if (thresholdValue_) {
        line = {QPointF(1.0, *thresholdValue_), QPointF(std::max(lastStep, 2.0), *thresholdValue_)};
        values.push_back(*thresholdValue_);
    }
    // Values a curve cannot show would make every axis useless.
    std::erase_if(values, [](double value) { return !std::isfinite(value); });
    // A logarithmic axis must never hold a zero: new points go in before a change to
    // it and after a change away from it.
    const bool logarithmic = wantsLogarithmicAxis(values);
    if (!logarithmic) {
        useValueAxis(false);
    }
    largest_->replace(largest);
    meanSquared_->replace(meanSquared);
    threshold_->replace(line);
    if (logarithmic) {
        useValueAxis(true);
    }
    fitAxes(values, lastStep);
}

void ProgressChart::useValueAxis(bool logarithmic) {
    if (logarithmic == logarithmic_) {
        return;
    }
    QAbstractAxis* from = logarithmic ? static_cast<QAbstractAxis*>(linearAxis_) : logAxis_;
    QAbstractAxis* to = logarithmic ? static_cast<QAbstractAxis*>(logAxis_) : linearAxis_;
    for (QLineSeries* series : {largest_, meanSquared_, threshold_}) {
        series->detachAxis(from);
    }
    chart()->removeAxis(from);
    // The chart gives up a removed axis; the view keeps it for the next switch.
    from->setParent(this);
    // A removed axis can stay drawn until the scene is rebuilt; hidden, it never shows.
    from->setVisible(false);
    to->setVisible(true);
    chart()->addAxis(to, Qt::AlignLeft);
    for (QLineSeries* series : {largest_, meanSquared_, threshold_}) {
        series->attachAxis(to);
    }
    logarithmic_ = logarithmic;
}

void ProgressChart::fitAxes(const std::vector<double>& values, double lastStep) {
    const double lastShown = std::max(lastStep, 2.0);
    // Ticks on whole epochs, 1, 2 or 5 times a power of ten apart, about five of them.
    // A wider interval goes in before a longer range and a narrower one after a shorter
    // range, so the axis never lays out a tick for each of thousands of epochs.
    const double interval = wholeStepInterval((lastShown - 1.0) / 5.0);
    if (interval >= stepAxis_->tickInterval()) {
        stepAxis_->setTickInterval(interval);
        stepAxis_->setRange(1.0, lastShown);
    } else {
        stepAxis_->setRange(1.0, lastShown);
        stepAxis_->setTickInterval(interval);
    }
    const std::optional<ValueRange> range = rangeOf(values);
    if (logarithmic_ && range) {
        // Whole decades, so the labels fall on round powers of ten; an error that came
        // down to almost nothing leaves the chart rather than squash the curve.
        // A value on a power of ten (a threshold of .0001) gets room around it.
        const double top =
            std::min(std::ceil(std::log10(range->high) + DecadeMargin), LargestDecade);
        const double bottom = std::max(std::floor(std::log10(range->low) - DecadeMargin),
                                       top - LogarithmicDecadesShown);
        logAxis_->setRange(std::pow(10.0, bottom), std::pow(10.0, top));
        return;
    }
    const LinearScale scale = roundLinearScale(range.value_or(ValueRange{0.0, 1.0}));
    linearAxis_->setRange(scale.low, scale.high);
    linearAxis_->setTickCount(scale.intervals + 1);
}

void ProgressChart::showHoverTip(QLineSeries* series, const QPointF& point, bool entered) {
    if (!entered || series->count() == 0) {
        QToolTip::hideText();
        return;
    }
    // The series reports where the pointer touched the line; the nearest point is
    // the one whose exact value is worth showing.
    const QList<QPointF> points = series->points();
    const auto nearest =
        std::min_element(points.begin(), points.end(), [&](const QPointF& a, const QPointF& b) {
            return std::abs(a.x() - point.x()) < std::abs(b.x() - point.x());
        });
    const QString step = stepAxis_->titleText();
    const QString text = series == threshold_
                             ? tr("Error threshold: %1")
                                   .arg(QString::fromStdString(numberText(nearest->y())).trimmed())
                             //: The step's name and number, then the curve's name and value.
                             : tr("%1 %2\n%3: %4")
                                   .arg(step)
                                   .arg(static_cast<long long>(std::llround(nearest->x())))
                                   .arg(series->name())
                                   .arg(QString::fromStdString(numberText(nearest->y())).trimmed());
    QToolTip::showText(QCursor::pos(), text, this);
}

void ProgressChart::addSaveActions() {
    auto* png = new QAction(tr("Save Chart as PNG…"), this);
    png->setObjectName(QStringLiteral("SaveChartAsPng"));
    png->setToolTip(tr("Save the chart as a picture, at the size it has on the screen."));
    connect(png, &QAction::triggered, this, [this] { saveAs("PNG"); });
    auto* svg = new QAction(tr("Save Chart as SVG…"), this);
    svg->setObjectName(QStringLiteral("SaveChartAsSvg"));
    svg->setToolTip(tr("Save the chart as a drawing that keeps sharp at any size."));
    connect(svg, &QAction::triggered, this, [this] { saveAs("SVG"); });
    addActions({png, svg});
    // The right mouse button, the menu key and Shift+F10 all show the actions.
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void ProgressChart::keyPressEvent(QKeyEvent* event) {
    if (!keyboardMenu_.takeKey(*event, *this)) {
        QChartView::keyPressEvent(event);
    }
}

bool ProgressChart::event(QEvent* event) {
    keyboardMenu_.noteEvent(*event);
    return QChartView::event(event);
}

void ProgressChart::saveAs(const char* format) {
    const bool png = qstrcmp(format, "PNG") == 0;
    const std::optional<QString> path =
        png ? askSavePath(this, tr("Save Chart as PNG"), QStringLiteral("training-chart.png"),
                          tr("PNG pictures (*.png);;All files (*)"))
            : askSavePath(this, tr("Save Chart as SVG"), QStringLiteral("training-chart.svg"),
                          tr("SVG drawings (*.svg);;All files (*)"));
    if (path) {
        saveExportBytes(this, *path, png ? pngBytes() : svgBytes());
    }
}

QByteArray ProgressChart::pngBytes() {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(palette().color(QPalette::Base));
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        render(&painter);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray ProgressChart::svgBytes() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size());
    generator.setViewBox(QRect(QPoint(0, 0), size()));
    generator.setTitle(chart()->title());
    generator.setDescription(accessibleDescription());
    {
        QPainter painter(&generator);
        render(&painter);
    }
    return bytes;
}

}  // namespace vornetica
