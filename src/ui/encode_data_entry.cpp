#include "ui/encode_data_entry.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

#include "base/user_error.h"
#include "data/grid_cell.h"
#include "data/training_data.h"
#include "ui/cell_grid.h"
#include "ui/screen_parts.h"

namespace vornetica {

namespace {

// Every value cell of the grid read as the number its text begins with.
Matrix<double> gridValues(CellGridModel& cells, int rows) {
    const int columns = cells.valueColumns();
    Matrix<double> values(static_cast<std::size_t>(rows), static_cast<std::size_t>(columns));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            values.at(static_cast<std::size_t>(r), static_cast<std::size_t>(c)) =
                leadingCellValue(cells.text(r, c));
        }
    }
    return values;
}

}  // namespace

GridScreen::GridScreen(Wizard& wizard, const char* name, bool withOutputs,
                       const QString& addTooltip, const QString& nextTooltip)
    : WizardScreen(wizard), withOutputs_(withOutputs) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(tr("Encode Data Entry"));
    layOut(addTooltip, nextTooltip);
}

void GridScreen::layOut(const QString& addTooltip, const QString& nextTooltip) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);

    QLabel* inputLabel = makeLabel(this, withOutputs_ ? "Label2" : "Label1", tr("Input Data"));
    layout->addWidget(inputLabel);
    inputGrid_ = new CellGrid(true, true, this);
    inputGrid_->setObjectName(QStringLiteral("InputGrid"));
    nameGridAfterLabel(*inputGrid_, *inputLabel);
    inputGrid_->setToolTip(tr("Enter an input vector."));
    layout->addWidget(inputGrid_, 1);
    std::vector<QWidget*> order{inputGrid_};
    if (withOutputs_) {
        QLabel* outputLabel = makeLabel(this, "Label3", tr("Output Data"));
        layout->addWidget(outputLabel);
        outputGrid_ = new CellGrid(true, true, this);
        outputGrid_->setObjectName(QStringLiteral("OutputGrid"));
        nameGridAfterLabel(*outputGrid_, *outputLabel);
        outputGrid_->setToolTip(tr("Enter an output vector."));
        layout->addWidget(outputGrid_, 1);
        order.push_back(outputGrid_);
    }

    auto* add = makeButton(this, "cmdAddVector", tr("Add Vector"), addTooltip);
    auto* back = makeButton(this, "cmdBack", tr("Back"));
    auto* next = makeButton(this, "cmdNext", tr("Next"), nextTooltip);
    auto* cancel = makeButton(this, "cmdCancel", tr("Cancel"));
    auto* help = makeButton(this, "cmdHelp", tr("Help"));
    layout->addSpacing(8);
    auto* buttons = buttonRow({back, next, cancel, help});
    buttons->insertWidget(0, add);
    layout->addLayout(buttons);

    order.insert(order.end(), {add, back, next, cancel, help});
    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
    bindKeys(next, cancel);
    connect(add, &QPushButton::clicked, this, [this] { addVectorPressed(); });
    connect(next, &QPushButton::clicked, this, [this] { nextPressed(); });
    connect(back, &QPushButton::clicked, this,
            [this] { this->wizard().show(navigation::encodeParameterScreen(settings())); });
    connect(cancel, &QPushButton::clicked, this, [this] { cancelPressed(); });
    connect(help, &QPushButton::clicked, this, [this] { helpPressed(); });
    resize(620, withOutputs_ ? 420 : 300);
}

void GridScreen::screenShown() {
    if (!laidOut_) {
        // The first showing lays out one row per grid, its current cell the label cell.
        laidOut_ = true;
        VectorCount = 1;
        followSizes();
        for (CellGrid* grid : {inputGrid_, outputGrid_}) {
            if (grid != nullptr) {
                grid->cells().setRows(1);
                grid->moveToLabel(0);
            }
        }
        inputGrid_->setFocus();
        return;
    }
    // The sizes may have changed on the parameter screen since; the file Next writes
    // must hold exactly the current sizes' numbers per vector.
    followSizes();
}

void GridScreen::followSizes() {
    inputGrid_->cells().setValueColumns(settings().InputSize);
    if (outputGrid_ != nullptr) {
        outputGrid_->cells().setValueColumns(settings().OutputSize);
    }
}

void GridScreen::addVectorPressed() {
    if (VectorCount == std::numeric_limits<std::int16_t>::max()) {
        dialogs().message(this,
                          tr("No more vectors can be added: a training set holds at "
                             "most 32767 vectors."),
                          Dialogs::Icon::Warning);
        return;
    }
    VectorCount = static_cast<std::int16_t>(VectorCount + 1);
    for (CellGrid* grid : {inputGrid_, outputGrid_}) {
        if (grid != nullptr) {
            grid->cells().setRows(VectorCount);
            grid->moveToLabel(VectorCount - 1);
        }
    }
}

void GridScreen::nextPressed() {
    const Matrix<double> inputs = gridValues(inputGrid_->cells(), VectorCount);
    Matrix<double> outputs;
    if (outputGrid_ != nullptr) {
        outputs = gridValues(outputGrid_->cells(), VectorCount);
    }
    try {
        writeTrainingData("input.txt", inputs, "output.txt",
                          outputGrid_ != nullptr ? &outputs : nullptr);
    } catch (const UserError& error) {
        dialogs().message(this, QString::fromStdString(error.what()), Dialogs::Icon::Warning);
        return;
    }
    settings().TrainingVectorCount = VectorCount;
    settings().InputDataPath = "input.txt";
    if (outputGrid_ != nullptr) {
        settings().OutputDataPath = "output.txt";
    }
    wizard().show(Screen::EncodeWindow);
}

EncodeDataEntry::EncodeDataEntry(Wizard& wizard)
    : GridScreen(wizard, "EncodeDataEntry", true,
                 tr("Click to add another input and output vector."),
                 tr("Select this if you have entered all of the training data you "
                    "would like to enter.")) {}

EncodeDataEntry2::EncodeDataEntry2(Wizard& wizard)
    : GridScreen(wizard, "EncodeDataEntry2", false, tr("Click to add another input vector."),
                 tr("Select this after you have entered all of the input data you "
                    "would like to enter.")) {}

}  // namespace vornetica
