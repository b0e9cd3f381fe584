#include "ui/weight_view.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "base/number_text.h"

namespace vornetica {

namespace {

QColor colourOf(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QString wholeNumber(double value) {
    return QString::fromStdString(numberText(value)).trimmed();
}

}  // namespace

int legendHeight(const QFontMetrics& metrics) {
    return 2 * metrics.height() + metrics.height() / 2;
}

void paintLegend(QPainter& painter, const QRect& area, const ColourScale& scale) {
    const QFontMetrics metrics = painter.fontMetrics();
    const int barHeight = metrics.height();
    const QRect bar(area.left(), area.top() + metrics.height() / 4, area.width(), barHeight);
    const int steps = std::max(bar.width(), 1);
    for (int x = 0; x < steps; ++x) {
        const double t = steps == 1 ? 0.0 : static_cast<double>(x) / (steps - 1);
        const double value = scale.low() + (scale.high() - scale.low()) * t;
        painter.setPen(colourOf(scale.colour(value)));
        painter.drawLine(bar.left() + x, bar.top(), bar.left() + x, bar.bottom());
    }
    painter.setPen(QPen(QGuiApplication::palette().windowText().color()));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
    const QRect texts(area.left(), bar.bottom() + 1, area.width(), metrics.height());
    painter.drawText(texts, Qt::AlignLeft | Qt::AlignTop, wholeNumber(scale.low()));
    painter.drawText(texts, Qt::AlignRight | Qt::AlignTop, wholeNumber(scale.high()));
}

WeightView::WeightView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("WeightView"));
    setAccessibleName(tr("Weight view"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* label = new QLabel(tr("&Matrix:"), this);
    choice_ = new QComboBox(this);
    choice_->setObjectName(QStringLiteral("WeightMatrixChoice"));
    choice_->setAccessibleName(tr("Weight matrix shown"));
    choice_->setToolTip(tr("The weight matrix or threshold vector the map draws."));
    label->setBuddy(choice_);
    top->addWidget(label);
    top->addWidget(choice_, 1);
    layout->addLayout(top);
    map_ = new WeightMap(*this);
    layout->addWidget(map_, 1);
    current_ = new QLabel(this);
    current_->setObjectName(QStringLiteral("WeightName"));
    current_->setAccessibleName(tr("Weight at the pointer"));
    current_->setWordWrap(true);
    current_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(current_);
    connect(choice_, &QComboBox::currentIndexChanged, this, &WeightView::matrixChosen);
    connect(map_, &WeightMap::cellPointed, this,
            [this](int row, int col) { current_->setText(cellText(row, col)); });
}

const WeightMatrix* WeightView::shownMatrix() const {
    const int index = choice_->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= matrices_.size()) {
        return nullptr;
    }
    return &matrices_[static_cast<std::size_t>(index)];
}

QString WeightView::cellText(int row, int col) const {
    const WeightMatrix* matrix = shownMatrix();
    if (matrix == nullptr || row < 0 || col < 0) {
        return {};
    }
    const std::string name =
        weightName(*matrix, static_cast<std::size_t>(row), static_cast<std::size_t>(col));
    if (name.empty()) {
        return {};
    }
    QString text = QString::fromStdString(name);
    text[0] = text[0].toUpper();
    return tr("%1: %2").arg(text, wholeNumber(matrix->at(static_cast<std::size_t>(row),
                                                         static_cast<std::size_t>(col))));
}

void WeightView::showNetwork(const TrainedNetwork& network) {
    std::vector<WeightMatrix> matrices = weightMatricesOf(network);
    bool sameTitles = matrices.size() == matrices_.size();
    for (std::size_t m = 0; sameTitles && m < matrices.size(); ++m) {
        sameTitles = matrices[m].title == matrices_[m].title &&
                     matrices[m].rows == matrices_[m].rows && matrices[m].cols == matrices_[m].cols;
    }
    matrices_ = std::move(matrices);
    if (!sameTitles) {
        const QSignalBlocker block(choice_);
        const int previous = choice_->currentIndex();
        choice_->clear();
        for (const WeightMatrix& matrix : matrices_) {
            choice_->addItem(QStringLiteral("%1, %2 by %3")
                                 .arg(QString::fromStdString(matrix.title))
                                 .arg(matrix.rows)
                                 .arg(matrix.cols));
        }
        choice_->setCurrentIndex(previous >= 0 && previous < choice_->count() ? previous : 0);
    }
    matrixChosen();
}

void WeightView::clear() {
    showNetwork(std::monostate{});
}

void WeightView::matrixChosen() {
    map_->setMatrix(shownMatrix());
    const auto [row, col] = map_->currentCell();
    current_->setText(cellText(row, col));
}

WeightMap::WeightMap(WeightView& view) : QWidget(&view), view_(view) {
    setObjectName(QStringLiteral("WeightMap"));
    setAccessibleName(tr("Weight map"));
    setAccessibleDescription(
        tr("Each weight as a coloured cell, blue for negative, white for 0, red for positive. "
           "The arrow keys move to a weight; its name and value are shown below the map."));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void WeightMap::setMatrix(const WeightMatrix* matrix) {
    matrix_ = matrix;
    image_ = QImage();
    if (matrix_ != nullptr && matrix_->rows > 0 && matrix_->cols > 0) {
        scale_ = ColourScale::aroundZero(matrix_->values);
        image_ = QImage(static_cast<int>(matrix_->cols), static_cast<int>(matrix_->rows),
                        QImage::Format_RGB32);
        for (std::size_t row = 0; row < matrix_->rows; ++row) {
            auto* line = reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(row)));
            for (std::size_t col = 0; col < matrix_->cols; ++col) {
                const Rgb rgb = scale_.colour(matrix_->at(row, col));
                line[col] = qRgb(rgb.red, rgb.green, rgb.blue);
            }
        }
        current_.first = std::min(current_.first, static_cast<int>(matrix_->rows) - 1);
        current_.second = std::min(current_.second, static_cast<int>(matrix_->cols) - 1);
    } else {
        current_ = {0, 0};
    }
    update();
}

QSize WeightMap::sizeHint() const {
    const int line = fontMetrics().height();
    return {16 * line, 12 * line};
}

QSize WeightMap::minimumSizeHint() const {
    const int line = fontMetrics().height();
    return {8 * line, 5 * line + legendHeight(fontMetrics())};
}

// The cells keep a square shape, as large as the area allows.
QRectF WeightMap::mapArea() const {
    if (image_.isNull()) {
        return {};
    }
    const QRectF room(0, 0, width(),
                      std::max(height() - legendHeight(fontMetrics()) - fontMetrics().height(), 1));
    const double cell = std::min(room.width() / image_.width(), room.height() / image_.height());
    const QSizeF size(cell * image_.width(), cell * image_.height());
    return QRectF(QPointF((room.width() - size.width()) / 2, 0), size);
}

QRectF WeightMap::cellRect(int row, int col) const {
    const QRectF area = mapArea();
    if (area.isEmpty()) {
        return {};
    }
    const double w = area.width() / image_.width();
    const double h = area.height() / image_.height();
    return QRectF(area.left() + col * w, area.top() + row * h, w, h);
}

std::optional<std::pair<int, int>> WeightMap::cellAt(const QPoint& point) const {
    const QRectF area = mapArea();
    if (area.isEmpty() || !area.contains(point)) {
        return std::nullopt;
    }
    const int col =
        std::clamp(static_cast<int>((point.x() - area.left()) * image_.width() / area.width()), 0,
                   image_.width() - 1);
    const int row =
        std::clamp(static_cast<int>((point.y() - area.top()) * image_.height() / area.height()), 0,
                   image_.height() - 1);
    return std::pair{row, col};
}

void WeightMap::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (image_.isNull()) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         tr("The weights appear here when a run starts."));
        return;
    }
    const QRectF area = mapArea();
    painter.drawImage(area, image_);
    if (hasFocus()) {
        painter.setPen(QPen(palette().highlight().color(), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(cellRect(current_.first, current_.second));
    }
    // What the rows and columns stand for, between the map and its legend.
    const int line = fontMetrics().height();
    const QRect axes(0, static_cast<int>(area.bottom()) + line / 4, width(), line);
    painter.setPen(palette().windowText().color());
    painter.drawText(axes, Qt::AlignHCenter | Qt::AlignTop, axesText());
    const int legendWidth = std::min(
        width(), std::max(static_cast<int>(area.width()), 16 * fontMetrics().averageCharWidth()));
    const QRect legend((width() - legendWidth) / 2, height() - legendHeight(fontMetrics()),
                       legendWidth, legendHeight(fontMetrics()));
    paintLegend(painter, legend, scale_);
}

QString WeightMap::axesText() const {
    if (matrix_ == nullptr) {
        return {};
    }
    const QString columns =
        tr("columns: %1 1 to %2").arg(QString::fromStdString(matrix_->colUnit)).arg(matrix_->cols);
    if (matrix_->rowUnit.empty()) {
        return columns;
    }
    return tr("rows: %1 1 to %2; %3")
        .arg(QString::fromStdString(matrix_->rowUnit))
        .arg(matrix_->rows)
        .arg(columns);
}

bool WeightMap::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const std::optional<std::pair<int, int>> cell = cellAt(help->pos());
        const QString text = cell ? view_.cellText(cell->first, cell->second) : QString();
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this,
                               cellRect(cell->first, cell->second).toAlignedRect());
        }
        return true;
    }
    return QWidget::event(event);
}

void WeightMap::mouseMoveEvent(QMouseEvent* event) {
    // The pointer moves the current cell too, so the name below follows the
    // weight under it while the run changes the values.
    if (const std::optional<std::pair<int, int>> cell = cellAt(event->position().toPoint())) {
        if (*cell != current_) {
            current_ = *cell;
            update();
        }
        emit cellPointed(cell->first, cell->second);
    }
    QWidget::mouseMoveEvent(event);
}

void WeightMap::keyPressEvent(QKeyEvent* event) {
    if (image_.isNull()) {
        QWidget::keyPressEvent(event);
        return;
    }
    auto [row, col] = current_;
    switch (event->key()) {
        case Qt::Key_Left:
            --col;
            break;
        case Qt::Key_Right:
            ++col;
            break;
        case Qt::Key_Up:
            --row;
            break;
        case Qt::Key_Down:
            ++row;
            break;
        case Qt::Key_Home:
            col = 0;
            break;
        case Qt::Key_End:
            col = image_.width() - 1;
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    current_ = {std::clamp(row, 0, image_.height() - 1), std::clamp(col, 0, image_.width() - 1)};
    emit cellPointed(current_.first, current_.second);
    update();
}

}  // namespace vornetica
