#include "ui/recall_all_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <functional>

#include "base/number_text.h"
#include "base/user_error.h"
#include "ui/dialogs.h"
#include "ui/recall_results_model.h"
#include "ui/screen_parts.h"

namespace vornetica {

namespace {

constexpr int RefreshMilliseconds = 100;
constexpr int ProgressSteps = 1000;
constexpr int ConfusionRowsShown = 8;

QString shownNumber(double value) {
    return QString::fromStdString(numberText(value)).trimmed();
}

int outputWidthOf(const NetworkSettings& settings) {
    const std::optional<NetworkKind> kind = settings.RecallLoadedKind;
    const bool selfAssociating = kind == NetworkKind::BSB || kind == NetworkKind::DA;
    return selfAssociating ? settings.RecallInputSize : settings.RecallOutputSize;
}

QTableView* makeTable(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* table = new QTableView(parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setAccessibleName(accessibleName);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    return table;
}

}  // namespace

RecallAllPanel::RecallAllPanel(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("RecallAllPanel"));
    buildControls();
    refresh_.setInterval(RefreshMilliseconds);
    connect(&refresh_, &QTimer::timeout, this, &RecallAllPanel::takeRows);
    clearResults();
}

RecallAllPanel::~RecallAllPanel() {
    // Closing the program during a run: the run ends after its current vector.
    if (worker_.joinable()) {
        stopRequested_ = true;
        worker_.join();
    }
}

void RecallAllPanel::buildControls() {
    recallAll_ = makeButton(parentWidget(), "cmdRecallAll", tr("Recall All"),
                            tr("Recall every vector of the recall data file and show the "
                               "results in a table."));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* fileRow = new QHBoxLayout;
    expectedFile_ = new QLineEdit(this);
    expectedFile_->setObjectName(QStringLiteral("ExpectedOutputsFile"));
    expectedFile_->setToolTip(
        tr("Optional: a file of the outputs each vector should give (the output data file "
           "format). Recall All then shows the errors and their summary."));
    QLabel* fileLabel = makeLabel(this, "ExpectedOutputsLabel", tr("Expected outputs file:"));
    fileLabel->setBuddy(expectedFile_);
    expectedFile_->setAccessibleName(tr("Expected outputs file"));
    browse_ = makeButton(this, "cmdBrowseExpected", tr("Browse"));
    browse_->setAccessibleName(tr("Browse for the expected outputs file"));
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(expectedFile_, 1);
    fileRow->addWidget(browse_);
    layout->addLayout(fileRow);

    auto* progressRow = new QHBoxLayout;
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("RecallAllProgress"));
    progress_->setAccessibleName(tr("Recall All progress"));
    progress_->setRange(0, ProgressSteps);
    stop_ = makeButton(this, "cmdStopRecallAll", tr("Stop"),
                       tr("Stop Recall All; the vectors recalled so far stay in the table."));
    stop_->setAccessibleName(tr("Stop Recall All"));
    progressRow->addWidget(progress_, 1);
    progressRow->addWidget(stop_);
    layout->addLayout(progressRow);
    status_ = makeLabel(this, "RecallAllStatus", {});
    status_->setWordWrap(true);
    layout->addWidget(status_);

    rows_ = new RecallResultsModel(this);
    table_ = makeTable(this, "ResultsTable", tr("Recall All results"));
    table_->setModel(rows_);
    table_->setMinimumHeight(120);
    layout->addWidget(table_, 1);

    auto* summary = new QGridLayout;
    meanSquaredError_ = makeLabel(this, "MeanSquaredError", {});
    largestError_ = makeLabel(this, "LargestError", {});
    shareRight_ = makeLabel(this, "ShareRight", {});
    for (QLabel* label : {meanSquaredError_, largestError_, shareRight_}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    summary->addWidget(meanSquaredError_, 0, 0);
    summary->addWidget(largestError_, 0, 1);
    summary->addWidget(shareRight_, 1, 0, 1, 2);
    layout->addLayout(summary);
    confusionLabel_ =
        makeLabel(this, "ConfusionLabel",
                  tr("Confusion matrix (a row per expected class, a column per recalled class):"));
    confusionCells_ = new QStandardItemModel(this);
    confusion_ = makeTable(this, "ConfusionTable", tr("Confusion matrix"));
    confusion_->setModel(confusionCells_);
    confusion_->verticalHeader()->show();
    confusionLabel_->setBuddy(confusion_);
    layout->addWidget(confusionLabel_);
    layout->addWidget(confusion_);

    save_ = makeButton(this, "cmdSaveResults", tr("Save as CSV\u2026"),
                       tr("Save the results table as a CSV file."));
    save_->setAccessibleName(tr("Save the results as CSV"));
    auto* saveRow = new QHBoxLayout;
    saveRow->addStretch(1);
    saveRow->addWidget(save_);
    layout->addLayout(saveRow);

    connect(browse_, &QPushButton::clicked, this, &RecallAllPanel::browsePressed);
    connect(stop_, &QPushButton::clicked, this, [this] { stopRequested_ = true; });
    connect(save_, &QPushButton::clicked, this, &RecallAllPanel::savePressed);
    stop_->setEnabled(false);
}

void RecallAllPanel::clearResults() {
    rows_->reset(0, 0, false);
    progress_->setValue(0);
    status_->clear();
    for (QLabel* label : {meanSquaredError_, largestError_, shareRight_, confusionLabel_}) {
        label->hide();
    }
    confusion_->hide();
    save_->setEnabled(false);
}

void RecallAllPanel::start(NetworkSettings& settings) {
    if (running()) {
        return;
    }
    if (!settings.RecallLoadedKind) {
        dialogs_.message(this,
                         tr("No network is loaded. Choose a network file on the previous "
                            "screen."),
                         Dialogs::Icon::Warning);
        return;
    }
    const QString expected = expectedFile_->text().trimmed();
    std::optional<std::string> expectedPath;
    if (!expected.isEmpty()) {
        expectedPath = expected.toStdString();
    }
    clearResults();
    rows_->reset(settings.RecallInputSize, outputWidthOf(settings), expectedPath.has_value());
    pending_.clear();
    total_.reset();
    recalled_ = 0;
    end_ = RunEnd{};
    stopRequested_ = false;
    status_->setText(tr("Recalling\u2026"));
    setRunning(true);
    worker_ = std::thread(&RecallAllPanel::work, this, std::ref(settings), settings.InputDataPath,
                          std::move(expectedPath));
    refresh_.start();
}

void RecallAllPanel::work(NetworkSettings& settings, std::string inputPath,
                          std::optional<std::string> expectedPath) {
    RunEnd end;
    std::optional<BatchRecall> batch;
    try {
        batch.emplace(settings, inputPath, expectedPath, true);
        {
            const std::lock_guard<std::mutex> lock(handOver_);
            total_ = batch->vectorCount();
        }
        BatchRow row;
        while (!stopRequested_ && batch->next(row)) {
            const std::lock_guard<std::mutex> lock(handOver_);
            pending_.push_back(row);
            ++recalled_;
        }
        end.stopped = stopRequested_;
    } catch (const UserError& error) {
        end.error = error.what();
    } catch (const std::bad_alloc&) {
        end.error = tr("There is not enough memory for the results table.").toStdString();
    }
    if (batch && batch->comparing()) {
        end.summary = batch->summary();
    }
    {
        const std::lock_guard<std::mutex> lock(handOver_);
        end_ = std::move(end);
    }
    QMetaObject::invokeMethod(this, &RecallAllPanel::runEnded, Qt::QueuedConnection);
}

void RecallAllPanel::takeRows() {
    std::vector<BatchRow> rows;
    std::optional<std::int64_t> total;
    std::int64_t recalled = 0;
    {
        const std::lock_guard<std::mutex> lock(handOver_);
        rows.swap(pending_);
        total = total_;
        recalled = recalled_;
    }
    rows_->append(rows);
    if (total && *total > 0) {
        progress_->setRange(0, ProgressSteps);
        progress_->setValue(static_cast<int>(recalled * ProgressSteps / *total));
    } else if (!total && worker_.joinable()) {
        // Until the file is counted, and throughout for a pipe, which is not, the
        // bar only shows that the run goes on.
        progress_->setRange(0, 0);
    }
}

void RecallAllPanel::runEnded() {
    worker_.join();
    refresh_.stop();
    takeRows();
    progress_->setRange(0, ProgressSteps);
    const std::int64_t recalled = rows_->rowCount();
    const std::int64_t total = total_.value_or(recalled);
    if (!end_.error.empty()) {
        status_->setText(tr("Recall All ended after %1 of %2 vectors: %3")
                             .arg(recalled)
                             .arg(total)
                             .arg(QString::fromStdString(end_.error)));
        dialogs_.message(this, QString::fromStdString(end_.error), Dialogs::Icon::Warning);
    } else if (end_.stopped) {
        status_->setText(tr("Stopped after %1 of %2 vectors.").arg(recalled).arg(total));
    } else {
        progress_->setValue(ProgressSteps);
        status_->setText(recalled == 1 ? tr("Recalled 1 vector.")
                                       : tr("Recalled %1 vectors.").arg(recalled));
    }
    if (end_.summary && end_.summary->vectors() > 0) {
        showSummary(*end_.summary);
    }
    setRunning(false);
}

void RecallAllPanel::showSummary(const RecallSummary& summary) {
    meanSquaredError_->setText(
        tr("Mean squared error: %1").arg(shownNumber(summary.meanSquaredError())));
    largestError_->setText(tr("Largest error: %1").arg(shownNumber(summary.largestError())));
    meanSquaredError_->show();
    largestError_->show();
    if (summary.classified()) {
        shareRight_->setText(tr("Classified right: %1 of %2 (%3%)")
                                 .arg(summary.classifiedRight())
                                 .arg(summary.vectors())
                                 .arg(shownNumber(100.0 * summary.shareRight())));
        shareRight_->show();
    }
    if (summary.hasConfusion()) {
        showConfusion(summary);
    }
}

void RecallAllPanel::showConfusion(const RecallSummary& summary) {
    const int classes = summary.outputs();
    confusionCells_->clear();
    confusionCells_->setRowCount(classes);
    confusionCells_->setColumnCount(classes);
    for (int e = 0; e < classes; ++e) {
        confusionCells_->setHeaderData(e, Qt::Vertical, QString::number(e + 1));
        confusionCells_->setHeaderData(e, Qt::Horizontal, QString::number(e + 1));
        for (int r = 0; r < classes; ++r) {
            auto* cell = new QStandardItem(QString::number(summary.confusion(e, r)));
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            cell->setToolTip(tr("Expected class %1, recalled as class %2: %3 vectors")
                                 .arg(e + 1)
                                 .arg(r + 1)
                                 .arg(summary.confusion(e, r)));
            confusionCells_->setItem(e, r, cell);
        }
    }
    confusion_->resizeColumnsToContents();
    // As tall as its rows, up to a few of them; the results table keeps the room.
    int height = confusion_->horizontalHeader()->sizeHint().height() + 2 * confusion_->frameWidth();
    for (int row = 0; row < classes && row < ConfusionRowsShown; ++row) {
        height += confusion_->rowHeight(row);
    }
    confusion_->setFixedHeight(height +
                               (classes > ConfusionRowsShown
                                    ? confusion_->horizontalScrollBar()->sizeHint().height()
                                    : 0));
    confusionLabel_->show();
    confusion_->show();
}

void RecallAllPanel::setRunning(bool running) {
    recallAll_->setEnabled(!running);
    expectedFile_->setEnabled(!running);
    browse_->setEnabled(!running);
    stop_->setEnabled(running);
    save_->setEnabled(!running && rows_->rowCount() > 0);
    emit runningChanged(running);
}

void RecallAllPanel::browsePressed() {
    const std::optional<QString> chosen =
        dialogs_.openFile(this, tr("Expected outputs file"), expectedFile_->text());
    if (chosen) {
        expectedFile_->setText(*chosen);
    }
}

void RecallAllPanel::savePressed() {
    const std::optional<QString> name = dialogs_.askText(
        this, tr("Save the results table as:"), tr("Save as CSV"), QStringLiteral("results.csv"));
    if (!name || name->trimmed().isEmpty()) {
        return;
    }
    const std::string path = name->trimmed().toStdString();
    try {
        ResultsCsvFile file(path, rows_->inputs(), rows_->outputs(), rows_->compared());
        for (int row = 0; row < rows_->rowCount(); ++row) {
            file.add(rows_->rowAt(row));
        }
        file.commit();
    } catch (const UserError& error) {
        dialogs_.message(this, QString::fromStdString(error.what()), Dialogs::Icon::Warning);
        return;
    }
    status_->setText(tr("Results saved to %1.").arg(QString::fromStdString(path)));
}

}  // namespace vornetica
