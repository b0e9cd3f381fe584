#include "ui/choose_threshold.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "base/number_text.h"
#include "base/user_error.h"
#include "neuron/threshold.h"
#include "ui/parameter_help.h"
#include "ui/screen_parts.h"
#include "wizard/parameter_screens.h"

namespace vornetica {

namespace {

constexpr std::array<ThresholdKind, 6> kKinds{ThresholdKind::Linear, ThresholdKind::Ramp,
                                              ThresholdKind::Step,   ThresholdKind::Logistic,
                                              ThresholdKind::Tanh,   ThresholdKind::RatioSquares};

// The value in a box, or `fallback` while the box holds no number.
double numberIn(const QLineEdit* box, double fallback) {
    double value = 0.0;
    return parseFileNumber(box->text().trimmed().toStdString(), value) ? value : fallback;
}

// The graph of one function for x in [-3, 3], axes through the origin. The vertical
// scale fits the curve, so a steep line is still seen as a line.
QPixmap curvePicture(const ThresholdChoice& choice) {
    constexpr int width = 96;
    constexpr int height = 60;
    constexpr double xRange = 3.0;
    const auto xAt = [&](int px) { return (px - width / 2.0) * xRange / (width / 2.0); };
    double yRange = 1.0;
    for (int px = 0; px <= width; ++px) {
        const double y = std::abs(applyThreshold(choice, xAt(px)));
        if (std::isfinite(y)) {
            yRange = std::max(yRange, y);
        }
    }
    yRange *= 1.15;

    QPixmap picture(width, height);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::gray, 1.0));
    painter.drawLine(QPointF(0, height / 2.0), QPointF(width, height / 2.0));
    painter.drawLine(QPointF(width / 2.0, 0), QPointF(width / 2.0, height));
    painter.drawRect(0, 0, width - 1, height - 1);

    const auto toPixelY = [&](double y) {
        return height / 2.0 - std::clamp(y, -yRange, yRange) * (height / 2.0) / yRange;
    };
    painter.setPen(QPen(QColor(0xc0, 0x20, 0x20), 1.8));
    QPainterPath path;
    for (int px = 0; px <= width; ++px) {
        const QPointF point(px, toPixelY(applyThreshold(choice, xAt(px))));
        if (px == 0) {
            path.moveTo(point);
        } else {
            // Step jumps at the origin: lift the pen there rather than draw the riser.
            const bool jump = choice.function == ThresholdKind::Step &&
                              std::abs(point.y() - path.currentPosition().y()) > 2.0;
            jump ? path.moveTo(point) : path.lineTo(point);
        }
    }
    painter.drawPath(path);
    return picture;
}

}  // namespace

ChooseThreshold::ChooseThreshold(NetworkSettings& settings, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), settings_(settings), dialogs_(dialogs) {
    setObjectName(QStringLiteral("ChooseThreshold"));
    setWindowTitle(tr("Choose Neuron Threshold Function"));
    setModal(true);

    auto* frame = new QGroupBox(tr("Select Threshold Function"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame);

    const std::array<std::pair<const char*, QString>, 6> captions{{
        {"OptionLinear", tr("Linear Function")},
        {"OptionRamp", tr("Ramp Function")},
        {"OptionStep", tr("Step Function")},
        {"OptionLogistic", tr("Logistic Function")},
        {"OptionTanh", tr("Tanh Function")},
        {"OptionRatioSquares", tr("Augmented Ratio of Squares")},
    }};
    linearSlope_ = makeTextBox(this, "LinearSlope", "1.0");
    rampBoundary_ = makeTextBox(this, "RampBoundary", "1.0");
    stepUpper_ = makeTextBox(this, "StepUpperBoundary", "1.0");
    stepLower_ = makeTextBox(this, "StepLowerBoundary", "-1.0");
    for (QLineEdit* box : {linearSlope_, rampBoundary_, stepUpper_, stepLower_}) {
        box->setFixedWidth(70);
        attachParameterHelp(box, objectName());
        connect(box, &QLineEdit::textChanged, this, [this] { redrawPictures(); });
    }

    const auto boxRow = [this](const char* name, const QString& label, QLineEdit* box) {
        auto* row = new QHBoxLayout();
        auto* text = makeLabel(this, name, label);
        text->setBuddy(box);
        row->addWidget(text);
        row->addWidget(box);
        row->addStretch(1);
        return row;
    };
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const int row = static_cast<int>(i % 3);
        const int column = static_cast<int>(i / 3) * 2;
        pictures_[i] = new QLabel(frame);
        pictures_[i]->setObjectName(QStringLiteral("Picture%1").arg(i + 1));
        pictures_[i]->setAccessibleName(tr("Curve of the %1").arg(captions[i].second));
        options_[i] = new QRadioButton(captions[i].second, frame);
        options_[i]->setObjectName(QString::fromLatin1(captions[i].first));
        auto* cell = new QVBoxLayout();
        cell->addWidget(options_[i]);
        if (kKinds[i] == ThresholdKind::Linear) {
            cell->addLayout(boxRow("Label1", fieldLabel(labels::kSlope), linearSlope_));
        } else if (kKinds[i] == ThresholdKind::Ramp) {
            cell->addLayout(boxRow("Label2", fieldLabel(labels::kBoundary), rampBoundary_));
        } else if (kKinds[i] == ThresholdKind::Step) {
            cell->addLayout(boxRow("Label3", fieldLabel(labels::kUpperBoundary), stepUpper_));
            cell->addLayout(boxRow("Label4", fieldLabel(labels::kLowerBoundary), stepLower_));
        }
        cell->addStretch(1);
        grid->addWidget(pictures_[i], row, column, Qt::AlignTop);
        grid->addLayout(cell, row, column + 1);
    }
    grid->setColumnMinimumWidth(1, 210);
    options_[3]->setChecked(true);  // Logistic when first shown

    auto* ok = new QPushButton(tr("Ok"), this);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { okPressed(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttonRow({ok}));

    chainTabOrder({options_[0], linearSlope_, options_[1], rampBoundary_, options_[2], stepUpper_,
                   stepLower_, options_[3], options_[4], options_[5], ok});
    redrawPictures();
    setFixedSize(sizeHint());
}

ChooseThresholdTexts ChooseThreshold::texts() const {
    ChooseThresholdTexts texts;
    // The options are tested in the order Linear, Ramp, Step, Logistic, Tanh, Ratio of Squares.
    for (std::size_t i = 0; i < options_.size(); ++i) {
        if (options_[i]->isChecked()) {
            texts.selected = kKinds[i];
            break;
        }
    }
    texts.LinearSlope = linearSlope_->text().toStdString();
    texts.RampBoundary = rampBoundary_->text().toStdString();
    texts.StepUpperBoundary = stepUpper_->text().toStdString();
    texts.StepLowerBoundary = stepLower_->text().toStdString();
    return texts;
}

void ChooseThreshold::okPressed() {
    try {
        storeChooseThreshold(settings_, texts());
    } catch (const UserError& error) {
        dialogs_.message(this, QString::fromStdString(error.what()), Dialogs::Icon::Warning);
        return;
    }
    accept();
}

void ChooseThreshold::redrawPictures() {
    ThresholdChoice choice;
    choice.LinearSlope = numberIn(linearSlope_, 1.0);
    choice.RampBoundary = numberIn(rampBoundary_, 1.0);
    choice.StepUpperBoundary = numberIn(stepUpper_, 1.0);
    choice.StepLowerBoundary = numberIn(stepLower_, -1.0);
    for (std::size_t i = 0; i < kKinds.size(); ++i) {
        choice.function = kKinds[i];
        pictures_[i]->setPixmap(curvePicture(choice));
    }
}

}  // namespace vornetica
