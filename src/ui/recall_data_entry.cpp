#include "ui/recall_data_entry.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "netfile/network_file.h"
#include "recall/recall_press.h"
#include "ui/cell_grid.h"
#include "ui/pattern_view.h"
#include "ui/recall_all_panel.h"
#include "ui/screen_parts.h"

namespace vornetica {

namespace {

constexpr int CellWidth = 90;

CellGrid* makeGrid(QWidget* parent, const char* name, bool editable) {
    auto* grid = new CellGrid(false, editable, parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->cells().setRows(1);
    // The recall window shows every number whole, however long its text.
    grid->fitColumnsToText();
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setDefaultSectionSize(CellWidth);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setFixedHeight(grid->verticalHeader()->defaultSectionSize() +
                         grid->horizontalScrollBar()->sizeHint().height() + 2 * grid->frameWidth());
    return grid;
}

QLineEdit* makeBox(QWidget* parent, const char* name, const QString& text, const QString& tooltip) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(tooltip);
    return box;
}

// Empties every cell, keeping `columns` of them.
void clearCells(CellGrid* grid, int columns) {
    grid->cells().setValueColumns(0);
    grid->cells().setValueColumns(columns);
}

// The values a screen reader reads out after a press: enough to follow, not a
// brain-state box of thousands. (Braced: the translation scanner misreads
// `std::size_t Name = value;` and files the next Class::tr() text under no namespace.)
constexpr std::size_t AnnouncedValues{32};

// Until a press computes an output.
QString outputGridDescription() {
    return RecallDataEntry::tr("The output vector the network computed.");
}

QString spokenValues(const std::vector<std::string>& texts) {
    QStringList spoken;
    for (std::size_t at = 0; at < texts.size() && at < AnnouncedValues; ++at) {
        spoken.append(QString::fromStdString(texts[at]).trimmed());
    }
    QString sentence = spoken.join(QStringLiteral(", "));
    if (texts.size() > AnnouncedValues) {
        sentence += RecallDataEntry::tr(" and %n more", nullptr,
                                        static_cast<int>(texts.size() - AnnouncedValues));
    }
    return sentence;
}

}  // namespace

RecallDataEntry::RecallDataEntry(Wizard& wizard) : WizardScreen(wizard) {
    setObjectName(QStringLiteral("RecallDataEntry"));
    setWindowTitle(tr("Recall Data Entry"));
    auto* layout = new QVBoxLayout(this);

    networkLine_ = makeLabel(this, "NetworkLine", {});
    networkLine_->setAccessibleDescription(tr("The network this window recalls with."));
    layout->addWidget(networkLine_);

    QLabel* inputLabel = makeLabel(this, "Label1", tr("Enter Recall Vector"));
    layout->addWidget(inputLabel);
    inputGrid_ = makeGrid(this, "InputDataGrid", true);
    nameGridAfterLabel(*inputGrid_, *inputLabel);
    inputGrid_->setAccessibleDescription(
        tr("One input vector: type a number into each cell, then press Enter Vector."));
    layout->addWidget(inputGrid_);
    QLabel* outputLabel = makeLabel(this, "Label2", tr("Output Data Vector"));
    layout->addWidget(outputLabel);
    // The output can be selected cell by cell and copied (Ctrl+C), not changed.
    outputGrid_ = makeGrid(this, "OutputDataGrid", false);
    nameGridAfterLabel(*outputGrid_, *outputLabel);
    outputGrid_->setAccessibleDescription(outputGridDescription());
    layout->addWidget(outputGrid_);
    settled_ = makeLabel(this, "SettledNote", {});
    settled_->hide();
    layout->addWidget(settled_);

    // Brain-state-in-a-box and autocorrelator vectors drawn as shaded cells, input
    // beside output, and in how many elements they differ.
    patterns_ = new QWidget(this);
    patterns_->setObjectName(QStringLiteral("PatternFrame"));
    auto* patternColumn = new QVBoxLayout(patterns_);
    patternColumn->setContentsMargins(0, 0, 0, 0);
    auto* patternRow = new QHBoxLayout;
    patternColumn->addLayout(patternRow);
    inputPattern_ = new PatternView(patterns_);
    inputPattern_->setObjectName(QStringLiteral("InputPattern"));
    inputPattern_->setToolTip(tr("The input vector, drawn from -1 (dark) to +1 (light)."));
    outputPattern_ = new PatternView(patterns_);
    outputPattern_->setObjectName(QStringLiteral("OutputPattern"));
    outputPattern_->setToolTip(tr("The output vector, drawn from -1 (dark) to +1 (light)."));
    difference_ = makeLabel(patterns_, "DifferenceNote", {});
    QLabel* inputPatternLabel = makeLabel(patterns_, "InputPatternLabel", tr("Input:"));
    inputPatternLabel->setBuddy(inputPattern_);
    QLabel* outputPatternLabel = makeLabel(patterns_, "OutputPatternLabel", tr("Output:"));
    outputPatternLabel->setBuddy(outputPattern_);
    patternRow->addWidget(inputPatternLabel, 0, Qt::AlignTop);
    patternRow->addWidget(inputPattern_, 1);
    patternRow->addWidget(outputPatternLabel, 0, Qt::AlignTop);
    patternRow->addWidget(outputPattern_, 1);
    patternColumn->addWidget(difference_);
    patterns_->hide();
    layout->addWidget(patterns_);

    enterData_ = makeButton(this, "cmdEnterData", tr("Enter Vector"),
                            tr("Enter recall vectors and click here. The output data "
                               "vector will be calculated and shown."));
    recallAll_ = new RecallAllPanel(dialogs(), this);
    auto* enterRow = new QHBoxLayout;
    enterRow->addWidget(enterData_);
    enterRow->addWidget(recallAll_->recallAllButton());
    enterRow->addStretch(1);
    layout->addLayout(enterRow);
    layout->addWidget(recallAll_, 1);

    auto* frame = new QGroupBox(tr("Record Data (Optional)"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setToolTip(
        tr("It is not necessary to record the data. (If you want to look at the data later.)"));
    auto* frameLayout = new QGridLayout(frame);
    record_ = new QCheckBox(tr("Record data to files"), frame);
    record_->setObjectName(QStringLiteral("cmdCheckRecord"));
    record_->setToolTip(tr("Click to record data to files."));
    inputFile_ = makeBox(frame, "InputFile", QStringLiteral("input.txt"),
                         tr("This file will contain the input recall vectors (user input)."));
    outputFile_ =
        makeBox(frame, "OutputFile", QStringLiteral("output.txt"),
                tr("This file will include the output data vectors (calculated by program)."));
    frameLayout->addWidget(record_, 0, 0, 1, 2);
    QLabel* inputFileLabel = makeLabel(frame, "Label3", tr("Input File:"));
    inputFileLabel->setBuddy(inputFile_);
    QLabel* outputFileLabel = makeLabel(frame, "Label4", tr("Output File:"));
    outputFileLabel->setBuddy(outputFile_);
    frameLayout->addWidget(inputFileLabel, 1, 0);
    frameLayout->addWidget(inputFile_, 1, 1);
    frameLayout->addWidget(outputFileLabel, 2, 0);
    frameLayout->addWidget(outputFile_, 2, 1);
    layout->addWidget(frame);
    layout->addStretch(1);

    QPushButton* back = makeButton(this, "cmdBack", tr("Back"));
    QPushButton* startOver = makeButton(this, "cmdStartOver", tr("Start Over"));
    QPushButton* exit = makeButton(this, "Exit", tr("Exit"));
    QPushButton* help = makeButton(this, "cmdHelp", tr("Help"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {back, startOver, exit, help}) {
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    connect(enterData_, &QPushButton::clicked, this, &RecallDataEntry::enterDataPressed);
    connect(recallAll_->recallAllButton(), &QPushButton::clicked, this,
            [this] { recallAll_->start(settings()); });
    // While Recall All runs, nothing may change the network or the file it reads.
    connect(recallAll_, &RecallAllPanel::runningChanged, this, [this, back, startOver](bool on) {
        for (QPushButton* button : {enterData_, back, startOver}) {
            button->setEnabled(!on);
        }
    });
    connect(back, &QPushButton::clicked, this,
            [this] { this->wizard().show(navigation::recallBack(settings())); });
    connect(startOver, &QPushButton::clicked, this,
            [this] { this->wizard().show(navigation::recallStartOver(settings())); });
    connect(exit, &QPushButton::clicked, this, &RecallDataEntry::exitPressed);
    // No Next here: Enter presses only the focused button, Esc presses Exit.
    bindKeys(nullptr, exit);
    connect(help, &QPushButton::clicked, this, [this] { helpPressed(); });
    resize(620, 320);
}

void RecallDataEntry::screenShown() {
    const bool fileMode = settings().DataEntryMode == FromFiles;
    enterData_->setText(fileMode ? tr("Start") : tr("Enter Vector"));
    recallAll_->clearResults();
    recallAll_->setVisible(fileMode);
    recallAll_->recallAllButton()->setVisible(fileMode);
    if (fileMode) {
        // Room for the results table.
        resize(std::max(width(), 760), std::max(height(), 600));
    }
    showSettled(std::nullopt);
    difference_->clear();
    outputGrid_->setAccessibleDescription(outputGridDescription());
    const RecallOpening opening = openRecallNetwork(settings());
    showNetworkLine(QString::fromStdString(opening.networkLine));
    if (!opening.refusal.empty()) {
        // The grids keep their shape, emptied: nothing in them belongs to a network
        // any more, and a press says that none is loaded.
        clearCells(inputGrid_, inputGrid_->cells().valueColumns());
        clearCells(outputGrid_, outputGrid_->cells().valueColumns());
        patterns_->hide();
        // The wrong tag has its own plain box; what else went wrong is a warning.
        const bool wrongType = opening.reason == LoadRefusal::WrongKind;
        dialogs().message(this, QString::fromStdString(opening.refusal),
                          wrongType ? Dialogs::Icon::None : Dialogs::Icon::Warning);
        return;
    }
    const int inputs = settings().RecallInputSize;
    const bool bidirectional =
        recallKind(settings()) == NetworkKind::BSB || recallKind(settings()) == NetworkKind::DA;
    // The cells of the network recalled before would be typed onto, or read as
    // this network's vectors.
    clearCells(inputGrid_, inputs);
    clearCells(outputGrid_, bidirectional ? inputs : settings().RecallOutputSize);
    // A network loaded afresh has recalled nothing yet: its cells wait in grey.
    const std::vector<double> nothingYet(static_cast<std::size_t>(std::max(inputs, 0)), 0.0);
    inputPattern_->setValues(nothingYet);
    outputPattern_->setValues(nothingYet);
    patterns_->setVisible(bidirectional);
}

void RecallDataEntry::enterDataPressed() {
    RecallPressRequest request;
    const CellGridModel& cells = inputGrid_->cells();
    for (int column = 0; column < cells.valueColumns(); ++column) {
        request.cellTexts.push_back(cells.text(0, column));
    }
    request.record = record_->isChecked();
    request.inputRecordPath = inputFile_->text().toStdString();
    request.outputRecordPath = outputFile_->text().toStdString();

    const RecallPressResult result = recallPress(settings(), request);
    if (!result.error.empty()) {
        dialogs().message(this, QString::fromStdString(result.error), Dialogs::Icon::Warning);
        return;
    }
    if (!result.outputTexts.empty()) {
        if (settings().DataEntryMode == FromFiles) {
            showTexts(inputGrid_, result.inputTexts);
        }
        showTexts(outputGrid_, result.outputTexts);
        showSettled(result.settled);
        showPatterns(result.inputValues, result.outputValues);
        announceOutput(result.outputTexts);
    }
    if (result.showDone) {
        dialogs().message(this, tr("Done!"), Dialogs::Icon::None);
    }
}

void RecallDataEntry::showNetworkLine(const QString& line) {
    networkLine_->setText(line);
    networkLine_->setAccessibleName(line);
}

void RecallDataEntry::showTexts(CellGrid* grid, const std::vector<std::string>& texts) {
    CellGridModel& cells = grid->cells();
    if (cells.valueColumns() < static_cast<int>(texts.size())) {
        cells.setValueColumns(static_cast<int>(texts.size()));
    }
    for (std::size_t column = 0; column < texts.size(); ++column) {
        cells.setText(0, static_cast<int>(column), texts[column]);
    }
}

void RecallDataEntry::announceOutput(const std::vector<std::string>& texts) {
    // A screen reader hears the new output without leaving the button pressed: the
    // grid's description carries it, and a press that gives the same output again
    // is announced too.
    const QString description =
        tr("The output vector the network computed: %1.").arg(spokenValues(texts));
    if (outputGrid_->accessibleDescription() != description) {
        outputGrid_->setAccessibleDescription(description);  // announces the change
        return;
    }
    QAccessibleEvent again(outputGrid_, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&again);
}

void RecallDataEntry::showSettled(std::optional<bool> settled) {
    if (!settled) {
        settled_->hide();
        return;
    }
    settled_->setText(*settled ? tr("The state settled: no unit changed by more than "
                                    "the error threshold.")
                               : tr("The state has not settled: a unit changed by "
                                    "more than the error threshold."));
    settled_->show();
}

void RecallDataEntry::showPatterns(const std::vector<double>& input,
                                   const std::vector<double>& output) {
    if (!patterns_->isVisibleTo(this)) {
        return;
    }
    inputPattern_->setValues(input);
    outputPattern_->setValues(output);
    const int differing = differingElements(input, output);
    if (recallKind(settings()) == NetworkKind::DA) {
        difference_->setText(tr("Hamming distance: %1").arg(differing));
    } else {
        difference_->setText(tr("The output differs from the input in %1 of %2 elements.")
                                 .arg(differing)
                                 .arg(output.size()));
    }
}

void RecallDataEntry::exitPressed() {
    if (dialogs().confirmExit(this, tr("Exit"))) {
        dialogs().quit();
    }
}

}  // namespace vornetica
