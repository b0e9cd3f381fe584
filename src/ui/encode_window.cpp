#include "ui/encode_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <new>

#include "base/number_text.h"
#include "base/user_error.h"
#include "data/training_data.h"
#include "netfile/network_file.h"
#include "netfile/save_questions.h"
#include "ui/cell_grid.h"
#include "ui/export_actions.h"
#include "ui/function_view.h"
#include "ui/pattern_view.h"
#include "ui/progress_chart.h"
#include "ui/run_notes_view.h"
#include "ui/screen_parts.h"
#include "ui/weight_view.h"
#include "ui/worked_calculation_view.h"

namespace vornetica {

namespace {

// About 25 refreshes a second: smooth to the eye, and cheap beside any run.
constexpr int RefreshMilliseconds = 40;
// The chart every fifth refresh: its curves move slowly, and laying out its axes
// and drawing its curves costs far more than a row of cells.
constexpr int RefreshesPerChartUpdate = 5;
// The function and weight views every second refresh: a dozen pictures a second
// still move smoothly, and each costs a forward pass per sample or a colour per
// weight on top of its painting.
constexpr int RefreshesPerNetworkView = 2;
// The autocorrelator's matrix grid is 600 twips high.
constexpr int AutocorrelatorOutputHeight = 40;

// A cell holds the widest text of six characters, in the window's font, so a
// larger desktop font widens the cells instead of cutting their texts.
int cellWidth(const QWidget* widget) {
    const QFontMetrics metrics = widget->fontMetrics();
    // One character more than the text itself, for the margins and a wide "E".
    return metrics.horizontalAdvance(QStringLiteral("-0.0000")) + metrics.averageCharWidth();
}

CellGrid* makeGrid(QWidget* parent, const char* name, const QString& tooltip) {
    auto* grid = new CellGrid(false, false, parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setToolTip(tooltip);
    grid->cells().setRows(1);
    // The user only watches these grids: no current cell, no focus.
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setDefaultSectionSize(cellWidth(grid));
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Always there, so the single row never sits above an empty band.
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return grid;
}

// One row of cells and room for the scroll bar below it.
int singleRowHeight(const CellGrid* grid) {
    return grid->verticalHeader()->defaultSectionSize() +
           grid->horizontalScrollBar()->sizeHint().height() + 2 * grid->frameWidth();
}

void setColumns(CellGrid* grid, int count) {
    grid->cells().setValueColumns(std::max(count, 0));
}

}  // namespace

EncodeWindow::EncodeWindow(Wizard& wizard) : WizardScreen(wizard) {
    setObjectName(QStringLiteral("EncodeWindow"));
    setWindowTitle(tr("Encode Window"));
    buildControls();
    // The load step: Save Network waits for the end of the first run.
    saveNetwork_->setEnabled(false);
    exportMatrices_->setEnabled(false);
    refresh_.setInterval(RefreshMilliseconds);
    connect(&refresh_, &QTimer::timeout, this, [this] {
        showChanges(false);
        if (++refreshesSinceNetworkView_ >= RefreshesPerNetworkView) {
            refreshesSinceNetworkView_ = 0;
            refreshNetworkViews();
        }
    });
}

EncodeWindow::~EncodeWindow() {
    // Closing the program during a run: the run ends after its current vector or pass.
    if (worker_.joinable()) {
        progress_.requestStop();
        progress_.stepper().letGo();
        worker_.join();
    }
}

CellGrid* EncodeWindow::grid(ProgressGrid which) const {
    return grids_[static_cast<std::size_t>(which)];
}

QString EncodeWindow::cellToolTip(std::size_t gridIndex, int row, int column) const {
    const std::vector<double>& values = shownValues_[gridIndex];
    const auto at = static_cast<std::size_t>(column);
    if (row != 0 || at >= values.size() || grids_[gridIndex]->cells().text(row, column).empty()) {
        return {};
    }
    return QString::fromStdString(numberText(values[at])).trimmed();
}

void EncodeWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    // The grids on the left, the chart of the run beside them.
    auto* top = new QHBoxLayout;
    layout->addLayout(top, 1);
    auto* left = new QVBoxLayout;
    top->addLayout(left, 3);
    views_ = new QTabWidget(this);
    views_->setObjectName(QStringLiteral("ViewTabs"));
    views_->setAccessibleName(tr("Views of the run"));
    top->addWidget(views_, 2);
    chart_ = new ProgressChart(views_);
    views_->addTab(chart_, tr("&Chart"));
    function_ = new FunctionView(views_);
    views_->addTab(function_, tr("&Function"));
    weights_ = new WeightView(views_);
    views_->addTab(weights_, tr("&Weights"));
    // A step shows its arithmetic here; the grids on the left keep their room.
    worked_ = new WorkedCalculationView(views_);
    views_->addTab(worked_, tr("Wor&ked calculation"));
    // Ctrl+Tab turns the tabs from anywhere in the window, not only from inside them.
    const auto turnTabs = [this](int by) {
        views_->setCurrentIndex((views_->currentIndex() + by + views_->count()) % views_->count());
    };
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(next, &QShortcut::activated, this, [turnTabs] { turnTabs(1); });
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), this);
    connect(previous, &QShortcut::activated, this, [turnTabs] { turnTabs(-1); });
    connect(views_, &QTabWidget::currentChanged, this, &EncodeWindow::viewChosen);
    auto* values = new QGridLayout;
    left->addLayout(values);

    const struct {
        ProgressGrid grid;
        const char* labelName;
        const char* caption;
        const char* gridName;
        const char* tooltip;
    } rows[] = {
        {ProgressGrid::InputValues, "Label1", QT_TR_NOOP("Input Values"), "InputValuesGrid",
         QT_TR_NOOP("Displays input vectors.")},
        {ProgressGrid::OutputValues, "Label2", QT_TR_NOOP("Output Values"), "OutputValuesGrid",
         QT_TR_NOOP("Displays output vectors.")},
        {ProgressGrid::ErrorValues, "Label3", QT_TR_NOOP("Error Values"), "ErrorValuesGrid",
         QT_TR_NOOP("Displays error values.")},
        {ProgressGrid::Iterations, "Label4", QT_TR_NOOP("Iteration"), "IterationsGrid",
         QT_TR_NOOP("Displays current iteration.")},
    };
    int row = 0;
    for (const auto& each : rows) {
        QLabel* label = makeLabel(this, each.labelName, tr(each.caption));
        CellGrid* cells = makeGrid(this, each.gridName, tr(each.tooltip));
        grids_[static_cast<std::size_t>(each.grid)] = cells;
        nameGridAfterLabel(*cells, *label);
        values->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
        values->addWidget(cells, row, 1);
        if (each.grid == ProgressGrid::ErrorValues) {
            errorValuesLabel_ = label;
        }
        ++row;
    }
    CellGrid* iterations = grid(ProgressGrid::Iterations);
    iterations->cells().setValueColumns(1);
    iterations->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    iterations->setFixedWidth(cellWidth(iterations) + 2 * iterations->frameWidth());
    iterations->setFixedHeight(iterations->verticalHeader()->defaultSectionSize() +
                               2 * iterations->frameWidth());

    auto* frame = new QGroupBox(tr("Threshold Values"), this);
    frame->setObjectName(QStringLiteral("ThresholdFrame"));
    auto* nodes = new QGridLayout(frame);
    const struct {
        ProgressGrid grid;
        const char* labelName;
        const char* caption;
        const char* gridName;
    } nodeRows[] = {
        {ProgressGrid::InputNodes, "Label5", QT_TR_NOOP("Input Nodes"), "InputNodesGrid"},
        {ProgressGrid::HiddenNodes, "Label6", QT_TR_NOOP("Hidden Nodes"), "HiddenNodesGrid"},
        {ProgressGrid::OutputNodes, "Label7", QT_TR_NOOP("Output Nodes"), "OutputNodesGrid"},
    };
    row = 0;
    for (const auto& each : nodeRows) {
        QLabel* label = makeLabel(frame, each.labelName, tr(each.caption));
        CellGrid* cells = makeGrid(frame, each.gridName, {});
        grids_[static_cast<std::size_t>(each.grid)] = cells;
        nameGridAfterLabel(*cells, *label);
        nodes->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
        nodes->addWidget(cells, row, 1);
        if (each.grid == ProgressGrid::HiddenNodes) {
            hiddenNodesLabel_ = label;
        }
        ++row;
    }
    left->addWidget(frame);

    for (std::size_t index = 0; index < std::size(grids_); ++index) {
        CellGrid* cells = grids_[index];
        if (cells != iterations) {
            cells->setFixedHeight(singleRowHeight(cells));
        }
        cells->cells().setCellToolTip(
            [this, index](int row, int column) { return cellToolTip(index, row, column); });
    }

    notes_ = new RunNotesView(this);
    left->addWidget(notes_);

    // Brain-state-in-a-box and autocorrelator vectors drawn as shaded cells.
    patternLabel_ = makeLabel(this, "PatternLabel", tr("Vector being trained:"));
    pattern_ = new PatternView(this);
    pattern_->setObjectName(QStringLiteral("InputPattern"));
    pattern_->setToolTip(tr("The input vector being trained, drawn from -1 (dark) to +1 (light)."));
    auto* patternRow = new QHBoxLayout;
    patternRow->addWidget(patternLabel_, 0, Qt::AlignTop);
    patternRow->addWidget(pattern_, 1);
    left->addLayout(patternRow);
    left->addStretch(1);

    start_ = makeButton(this, "cmdStart", tr("Start"));
    step_ = makeButton(this, "cmdStep", tr("Step"),
                       tr("Train one vector (counterpropagation: one time step; "
                          "brain-state-in-a-box: one pair), then pause and show its "
                          "worked calculation (F8)."));
    step_->setShortcut(QKeySequence(Qt::Key_F8));
    stop_ = makeButton(this, "cmdStop", tr("Stop"),
                       tr("End the run after the current vector or pass."));
    saveNetwork_ = makeButton(this, "cmdSaveNetwork", tr("Save Network"));
    exportMatrices_ = makeButton(this, "cmdExportMatrices", tr("Export Matrices…"),
                                 tr("Write each matrix of the trained network to a CSV file."));
    changeParameters_ = makeButton(this, "cmdChangeParameters", tr("Change Parameters"),
                                   tr("Go back and change the input parameters for your network."));
    changeData_ = makeButton(this, "cmdChangeData", tr("Change Data"),
                             tr("Go back and change the input/output data for your network."));
    startOver_ = makeButton(this, "cmdStartOver", tr("Start Over"),
                            tr("Start over with a brand new network."));
    help_ = makeButton(this, "cmdHelp", tr("Help"));
    exit_ = makeButton(this, "cmdExit", tr("Exit"));
    stop_->setEnabled(false);

    // Two rows, the run and its network above, the way on below: one row of ten
    // buttons would not fit a 1024-pixel screen.
    auto* buttons = new QGridLayout;
    QPushButton* const buttonRows[2][5] = {
        {start_, step_, stop_, saveNetwork_, exportMatrices_},
        {changeParameters_, changeData_, startOver_, help_, exit_}};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 5; ++column) {
            buttons->addWidget(buttonRows[row][column], row, column);
        }
    }
    layout->addLayout(buttons);

    connect(start_, &QPushButton::clicked, this, &EncodeWindow::startPressed);
    connect(step_, &QPushButton::clicked, this, &EncodeWindow::stepPressed);
    connect(stop_, &QPushButton::clicked, this, &EncodeWindow::stopPressed);
    connect(saveNetwork_, &QPushButton::clicked, this, &EncodeWindow::saveNetworkPressed);
    connect(exportMatrices_, &QPushButton::clicked, this,
            [this] { exportNetworkMatrices(this, dialogs(), network_); });
    connect(changeParameters_, &QPushButton::clicked, this,
            [this] { wizard().show(navigation::changeParameters(settings())); });
    connect(changeData_, &QPushButton::clicked, this,
            [this] { wizard().show(navigation::changeData(settings())); });
    connect(startOver_, &QPushButton::clicked, this,
            [this] { wizard().show(navigation::encodeStartOver(settings())); });
    connect(help_, &QPushButton::clicked, this, [this] { helpPressed(); });
    connect(exit_, &QPushButton::clicked, this, &EncodeWindow::exitPressed);
    // No Next here: Enter presses only the focused button, Esc presses Exit.
    bindKeys(nullptr, exit_);
}

QSize EncodeWindow::sizeHint() const {
    // Room for the grids and the views side by side, in lines of the window's font,
    // within a 1024 by 768 screen at the usual font; a larger font takes more.
    const int line = fontMetrics().height();
    return WizardScreen::sizeHint().expandedTo(QSize(56 * line, 42 * line));
}

void EncodeWindow::screenShown() {
    settings().ReturnToTraining = 0;
    // The sizes or the kind may have changed since the last showing.
    sizeGridsForCurrentKind();
    emptyPicturesOfAnotherKind();
}

void EncodeWindow::emptyPicturesOfAnotherKind() {
    const std::optional<NetworkKind> kind = encodeKind(settings());
    if (!kind || kind == picturedKind_) {
        return;
    }
    picturedKind_ = kind;
    chart_->beginRun(*kind, std::nullopt);
    // The empty chart's own axes, rather than the ranges of the last kind's run.
    chart_->showPoints({});
    pattern_->setValues({});
    function_->showNothing(
        kind == NetworkKind::BPN
            ? tr("The function appears here when the run starts.")
            : tr("The function view draws what a backpropagation network computes."));
    weights_->clear();
}

void EncodeWindow::emptyGridsNotWrittenBy(NetworkKind kind) {
    for (std::size_t index = 0; index < std::size(grids_); ++index) {
        if (runWritesGrid(kind, static_cast<ProgressGrid>(index))) {
            continue;
        }
        CellGridModel& cells = grids_[index]->cells();
        for (int column = 0; column < cells.valueColumns(); ++column) {
            if (!cells.text(0, column).empty()) {
                cells.setText(0, column, {});
            }
        }
        shownValues_[index].clear();
    }
}

void EncodeWindow::sizeGridsForCurrentKind() {
    const NetworkSettings& current = settings();
    const std::optional<NetworkKind> kind = encodeKind(current);
    // Each grid gets its final count at once, so values in the columns that remain
    // are kept.
    int outputColumns = current.OutputSize;
    int errorColumns = current.OutputSize;
    if (kind == NetworkKind::BSB) {
        // A brain-state-in-a-box run shows one error per unit.
        errorColumns = current.InputSize;
    }
    if (kind == NetworkKind::DA) {
        // The autocorrelator shows its whole matrix, flattened row by row.
        outputColumns = static_cast<int>(current.InputSize) * current.InputSize;
    }
    setColumns(grid(ProgressGrid::InputValues), current.InputSize);
    setColumns(grid(ProgressGrid::OutputValues), outputColumns);
    setColumns(grid(ProgressGrid::ErrorValues), errorColumns);
    setColumns(grid(ProgressGrid::InputNodes), current.InputSize);
    setColumns(grid(ProgressGrid::OutputNodes), current.OutputSize);

    const bool showsHidden = kind != NetworkKind::BSB && kind != NetworkKind::DA;
    const bool showsErrors = kind != NetworkKind::DA;
    hiddenNodesLabel_->setVisible(showsHidden);
    grid(ProgressGrid::HiddenNodes)->setVisible(showsHidden);
    if (showsHidden) {
        setColumns(grid(ProgressGrid::HiddenNodes), current.HiddenSize);
    }
    errorValuesLabel_->setVisible(showsErrors);
    grid(ProgressGrid::ErrorValues)->setVisible(showsErrors);
    CellGrid* outputs = grid(ProgressGrid::OutputValues);
    outputs->setFixedHeight(kind == NetworkKind::DA ? AutocorrelatorOutputHeight
                                                    : singleRowHeight(outputs));
    const bool showsPattern = kind == NetworkKind::BSB || kind == NetworkKind::DA;
    patternLabel_->setVisible(showsPattern);
    pattern_->setVisible(showsPattern);
    if (pattern_->values().size() !=
        static_cast<std::size_t>(std::max<int>(current.InputSize, 0))) {
        // A vector of another size is not one this network trains.
        pattern_->setValues({});
    }
}

void EncodeWindow::setRunning(bool running) {
    for (QPushButton* button :
         {start_, saveNetwork_, changeParameters_, changeData_, startOver_, help_, exit_}) {
        button->setEnabled(!running);
    }
    saveNetwork_->setEnabled(!running && trainedOnce_);
    exportMatrices_->setEnabled(!running && !std::holds_alternative<std::monostate>(network_));
    stop_->setEnabled(running);
    // A stepped run goes on by itself with Continue.
    start_->setText(running ? tr("Continue") : tr("Start"));
    start_->setEnabled(!running || stepping_);
}

void EncodeWindow::startPressed() {
    if (worker_.joinable()) {
        // Continue.
        stepping_ = false;
        progress_.stepper().letGo();
        setRunning(true);
        return;
    }
    startRun(false);
}

void EncodeWindow::stepPressed() {
    views_->setCurrentWidget(worked_);
    if (worker_.joinable()) {
        stepping_ = true;
        progress_.stepper().step();
        setRunning(true);
        return;
    }
    startRun(true);
}

void EncodeWindow::startRun(bool stepFirst) {
    TrainingRequest request = captureTrainingRequest(settings());
    if (!request.kind) {
        // No kind chosen: nothing trains, yet Save Network is enabled as after any Start.
        trainedOnce_ = true;
        saveNetwork_->setEnabled(true);
        return;
    }
    const NetworkKind kind = *request.kind;
    readAutocorrelatorVectors(request);
    progress_.reset();
    progress_.stepper().reset();
    worked_->clear();
    stepping_ = stepFirst;
    if (stepFirst) {
        progress_.stepper().step();
    }
    // The views read the training set while the run trains, not before it starts.
    const TrainingRequest forViews = request;
    startWorker(std::move(request));
    prepareNetworkViews(forViews);

    // The run does not wait for the window to get ready for it: the values it hands
    // over are only taken on this thread, after this.
    sizeGridsForCurrentKind();
    // The window shows only this run: what it does not write stays empty.
    emptyGridsNotWrittenBy(kind);
    notes_->clearNotes();
    const bool hasThreshold = trainsToErrorThreshold(kind);
    chart_->beginRun(
        kind, hasThreshold ? std::optional<double>(settings().ErrorThreshold) : std::nullopt);
    picturedKind_ = kind;
    pattern_->setValues({});
    setRunning(true);
    refresh_.start();
}

void EncodeWindow::startWorker(TrainingRequest request) {
    RandomSource& random = wizard().random();
    worker_ = std::thread([this, &random, request = std::move(request)] {
        TrainingResult result;
        std::vector<RunNote> notes;
        try {
            // Read before the run, so they show while it goes on.
            QMetaObject::invokeMethod(
                this, [this, before = notesBeforeRun(request)] { notes_->addNotes(before); },
                Qt::QueuedConnection);
            result = runTraining(request, random, progress_);
            notes = notesAfterRun(request, result, progress_.record());
        } catch (const std::bad_alloc&) {
            result = TrainingResult{};
            result.error =
                tr("There is not enough memory for a network of this size.").toStdString();
        } catch (const std::exception& error) {
            result = TrainingResult{};
            result.error = error.what();
        }
        progress_.finish();
        finished_ = std::move(result);
        finishedNotes_ = std::move(notes);
        QMetaObject::invokeMethod(this, &EncodeWindow::runEnded, Qt::QueuedConnection);
    });
}

void EncodeWindow::readAutocorrelatorVectors(const TrainingRequest& request) {
    daVectors_ = Matrix<double>();
    if (request.kind != NetworkKind::DA) {
        return;
    }
    try {
        daVectors_ =
            readTrainingData(request.inputDataPath, std::nullopt, settings().InputSize, 0).inputs;
    } catch (const UserError&) {
        // The run reads the same file and reports what is wrong with it.
    }
}

void EncodeWindow::showAutocorrelatorVector(int index) {
    // The autocorrelator's run shows its matrix, not the vector it adds: the vector
    // comes from the file it reads, by the index of the last vector added.
    const auto row = static_cast<std::size_t>(index);
    if (index < 0 || row >= daVectors_.rows()) {
        return;
    }
    const std::span<const double> vector = daVectors_.row(row);
    pattern_->setValues(std::vector<double>(vector.begin(), vector.end()));
}

void EncodeWindow::prepareNetworkViews(const TrainingRequest& request) {
    snapshot_ = std::monostate{};
    functionStale_ = false;
    weightsStale_ = false;
    weights_->clear();
    const auto* bpn = std::get_if<BpnParameters>(&request.parameters);
    if (bpn == nullptr) {
        function_->showNothing(
            tr("The function view draws what a backpropagation network computes."));
        return;
    }
    TrainingSet data;
    try {
        data = readTrainingData(request.inputDataPath, request.outputDataPath, bpn->inputSize,
                                bpn->outputSize);
    } catch (const UserError&) {
        // The run reads the same files and reports what is wrong with them; the
        // view draws the function without points.
    }
    function_->beginRun(bpn->threshold, std::move(data.inputs), std::move(data.outputs),
                        bpn->outputSize);
}

void EncodeWindow::refreshNetworkViews() {
    QWidget* shown = views_->currentWidget();
    if (shown != function_ && shown != weights_) {
        return;
    }
    NetworkSnapshots& snapshots = *progress_.networkSnapshots();
    if (snapshots.take(snapshot_)) {
        showNetworkInViews(snapshot_);
    }
    snapshots.request();
}

void EncodeWindow::showNetworkInViews(const TrainedNetwork& network) {
    QWidget* shown = views_->currentWidget();
    functionStale_ = shown != function_;
    weightsStale_ = shown != weights_;
    const auto* bpn = std::get_if<BpnNetwork>(&network);
    if (!functionStale_ && bpn != nullptr) {
        function_->showNetwork(*bpn);
    }
    if (!weightsStale_) {
        weights_->showNetwork(network);
    }
}

void EncodeWindow::viewChosen() {
    if (worker_.joinable()) {
        refreshNetworkViews();
        return;
    }
    // Between runs the views draw the stored network, once each.
    QWidget* shown = views_->currentWidget();
    const auto* bpn = std::get_if<BpnNetwork>(&network_);
    if (shown == function_ && functionStale_ && bpn != nullptr) {
        function_->showNetwork(*bpn);
        functionStale_ = false;
    }
    if (shown == weights_ && weightsStale_) {
        weights_->showNetwork(network_);
        weightsStale_ = false;
    }
}

void EncodeWindow::stopPressed() {
    progress_.requestStop();
    // A run waiting after a step goes on to see the stop.
    stepping_ = false;
    progress_.stepper().letGo();
    setRunning(true);
}

void EncodeWindow::showChanges(bool allColumns) {
    const bool chartDue = allColumns || ++refreshesSinceChart_ >= RefreshesPerChartUpdate;
    if (chartDue) {
        refreshesSinceChart_ = 0;
        showHistory();
    }
    if (std::optional<WorkedUnit> unit = progress_.stepper().takeUnit()) {
        worked_->showUnit(std::move(*unit));
    }
    bool inputChanged = false;
    for (GridProgress::Change& change : progress_.takeChanges()) {
        inputChanged = inputChanged || change.grid == ProgressGrid::InputValues;
        Pending& pending = pending_[static_cast<std::size_t>(change.grid)];
        const std::size_t first = static_cast<std::size_t>(change.firstColumn);
        const std::size_t end = first + change.values.size();
        if (pending.values.size() < end) {
            pending.values.resize(end);
            pending.waiting.resize(end, 0);
        }
        std::copy(change.values.begin(), change.values.end(), pending.values.begin() + first);
        std::fill(pending.waiting.begin() + first, pending.waiting.begin() + end, 1);
        pending.width = change.width;
    }
    if (inputChanged && pattern_->isVisibleTo(this)) {
        const std::vector<double>& inputs =
            pending_[static_cast<std::size_t>(ProgressGrid::InputValues)].values;
        const std::size_t shown = std::min(
            inputs.size(), static_cast<std::size_t>(std::max<int>(settings().InputSize, 0)));
        pattern_->setValues(std::vector<double>(inputs.begin(), inputs.begin() + shown));
    }
    for (std::size_t index = 0; index < std::size(grids_); ++index) {
        Pending& pending = pending_[index];
        if (pending.values.empty()) {
            continue;
        }
        CellGrid* cells = grids_[index];
        const int count = static_cast<int>(pending.values.size());
        if (cells->cells().valueColumns() < count) {
            cells->cells().setValueColumns(count);
        }
        // During a run only the columns in sight are worth formatting; the others
        // wait until they scroll into sight or the run ends.
        int first = 0;
        int last = count - 1;
        if (!allColumns) {
            first = std::max(cells->columnAt(0), 0);
            const int right = cells->columnAt(cells->viewport()->width() - 1);
            last = right < 0 ? count - 1 : std::min(right, count - 1);
        }
        std::vector<double>& shown = shownValues_[index];
        if (shown.size() < pending.values.size()) {
            shown.resize(pending.values.size());
        }
        for (int column = first; column <= last; ++column) {
            const auto at = static_cast<std::size_t>(column);
            if (pending.waiting[at] == 0) {
                continue;
            }
            pending.waiting[at] = 0;
            shown[at] = pending.values[at];
            std::string text =
                progressCellText(static_cast<ProgressGrid>(index), shown[at], pending.width);
            if (cells->cells().text(0, column) != text) {
                cells->cells().setText(0, column, std::move(text));
            }
        }
    }
}

void EncodeWindow::showHistory() {
    if (std::optional<std::vector<EpochReport>> points = progress_.takeHistory()) {
        chart_->showPoints(*points);
        if (!points->empty()) {
            showAutocorrelatorVector(points->back().index);
        }
    }
}

void EncodeWindow::runEnded() {
    worker_.join();
    refresh_.stop();
    // The last values written, exactly, in every column.
    showChanges(true);
    for (Pending& pending : pending_) {
        pending = Pending{};
    }
    TrainingResult result = std::move(*finished_);
    finished_.reset();
    const std::string error = result.error;
    commitTrainingResult(settings(), network_, std::move(result));
    if (error.empty()) {
        // The trained network, so each view ends where the run did.
        showNetworkInViews(network_);
    }
    trainedOnce_ = true;
    stepping_ = false;
    setRunning(false);
    saveNetwork_->setEnabled(false);
    notes_->addNotes(finishedNotes_);
    finishedNotes_.clear();
    if (!error.empty()) {
        dialogs().message(this, QString::fromStdString(error), Dialogs::Icon::Warning);
    } else {
        dialogs().message(this, tr("Done!"), Dialogs::Icon::None);
    }
    saveNetwork_->setEnabled(true);
}

void EncodeWindow::saveNetworkPressed() {
    if (!encodeKind(settings())) {
        // A save clears the kind's flag, so the name would be asked for in vain.
        dialogs().message(this,
                          tr("This network was saved already. Choose the kind again on the "
                             "network chooser to train and save another."),
                          Dialogs::Icon::None);
        return;
    }
    const std::optional<QString> answer =
        dialogs().askText(this, tr("Please enter the name of the network file to save"),
                          tr("Enter Network Name"), QStringLiteral("network.vrn"));
    if (answer && !answer->isEmpty() && saveWouldReplaceFile(answer->toStdString()) &&
        !dialogs().askYesNo(
            this, tr("The file \"%1\" exists already. Do you want to replace it?").arg(*answer),
            tr("Save Network"))) {
        return;
    }
    const SaveOutcome outcome =
        saveNetwork(settings(), network_, answer ? answer->toStdString() : std::string());
    if (!outcome.message.empty()) {
        // The save dialogue's boxes have only an OK button and no icon.
        dialogs().message(this, QString::fromStdString(outcome.message), Dialogs::Icon::None);
    }
}

void EncodeWindow::exitPressed() {
    if (dialogs().confirmExit(this, tr("Exit"))) {
        dialogs().quit();
    }
}

}  // namespace vornetica
