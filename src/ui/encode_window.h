#pragma once

#include <QTimer>
#include <optional>
#include <thread>
#include <vector>

#include "display/grid_progress.h"
#include "notes/run_notes.h"
#include "train/networks.h"
#include "train/training_run.h"
#include "ui/wizard.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace vornetica {

class CellGrid;
class FunctionView;
class PatternView;
class ProgressChart;
class RunNotesView;
class WeightView;
class WorkedCalculationView;

// The training window: starts a run of the chosen kind on a worker thread, shows its
// progress in seven single-row grids and holds the trained network until the next run.
class EncodeWindow : public WizardScreen {
    Q_OBJECT
  public:
    explicit EncodeWindow(Wizard& wizard);
    ~EncodeWindow() override;

    void screenShown() override;
    // Room for the grids and the chart side by side when the window first opens.
    QSize sizeHint() const override;
    bool running() const { return worker_.joinable(); }
    const TrainedNetwork& network() const { return network_; }
    // The chart, function and weight views share the right side as tabs; other
    // panels can be added as tabs of their own.
    QTabWidget* views() const { return views_; }

  private:
    void buildControls();
    void sizeGridsForCurrentKind();
    // Blanks the grids a run of `kind` does not write, so they show no other kind's values.
    void emptyGridsNotWrittenBy(NetworkKind kind);
    // The chart and the pattern belong to the last run; shown for another kind, the
    // window empties them rather than title that run's curve for the new kind.
    void emptyPicturesOfAnotherKind();
    void setRunning(bool running);
    // Takes the run's new values; formats those in columns the user can see, or all.
    void showChanges(bool allColumns);
    // The chart of the run's reports so far, and the autocorrelator's last vector.
    void showHistory();
    // The function and weight views, set up for the run about to start.
    void prepareNetworkViews(const TrainingRequest& request);
    // Asks the run for its network when a network view is in sight, and draws the
    // last one it gave.
    void refreshNetworkViews();
    // Draws `network` in the network view in sight; the other waits until its tab
    // is chosen, so the end of a run costs only the view the user looks at.
    void showNetworkInViews(const TrainedNetwork& network);
    void viewChosen();

    void startPressed();
    // Step: one unit of work, then a pause; starts a run when none is going.
    void stepPressed();
    void startRun(bool stepFirst);
    // Runs the training on the worker thread; runEnded follows on this one.
    void startWorker(TrainingRequest request);
    void stopPressed();
    void readAutocorrelatorVectors(const TrainingRequest& request);
    void showAutocorrelatorVector(int index);
    void runEnded();
    void saveNetworkPressed();
    void exitPressed();

    CellGrid* grid(ProgressGrid which) const;
    // The whole number text behind a cell, which shows it cut.
    QString cellToolTip(std::size_t gridIndex, int row, int column) const;

    // The newest value of each cell and whether its text still has to be made.
    struct Pending {
        std::vector<double> values;
        std::vector<char> waiting;
        int width = 6;
    };

    CellGrid* grids_[GridProgress::GridCount] = {};
    Pending pending_[GridProgress::GridCount];
    // The value behind each cell's text, for its tooltip.
    std::vector<double> shownValues_[GridProgress::GridCount];
    QLabel* hiddenNodesLabel_ = nullptr;
    QLabel* errorValuesLabel_ = nullptr;
    RunNotesView* notes_ = nullptr;
    QLabel* patternLabel_ = nullptr;
    PatternView* pattern_ = nullptr;
    ProgressChart* chart_ = nullptr;
    QTabWidget* views_ = nullptr;
    FunctionView* function_ = nullptr;
    WeightView* weights_ = nullptr;
    TrainedNetwork snapshot_;     // the run's network as it last handed it over
    bool functionStale_ = false;  // a view behind its tab that network_ has moved on from
    bool weightsStale_ = false;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* step_ = nullptr;
    WorkedCalculationView* worked_ = nullptr;
    bool stepping_ = false;  // the run waits after each unit; Start reads Continue
    QPushButton* saveNetwork_ = nullptr;
    QPushButton* exportMatrices_ = nullptr;
    QPushButton* changeParameters_ = nullptr;
    QPushButton* changeData_ = nullptr;
    QPushButton* startOver_ = nullptr;
    QPushButton* help_ = nullptr;
    QPushButton* exit_ = nullptr;

    TrainedNetwork network_;
    Matrix<double> daVectors_;  // the autocorrelator run's vectors, for the pattern view
    bool trainedOnce_ = false;
    std::optional<NetworkKind> picturedKind_;  // the kind the chart and pattern were made for
    GridProgress progress_;
    QTimer refresh_;
    int refreshesSinceChart_ = 0;
    int refreshesSinceNetworkView_ = 0;
    std::thread worker_;
    // Written by the worker just before it hands the end of the run to this thread.
    std::optional<TrainingResult> finished_;
    std::vector<RunNote> finishedNotes_;
};

}  // namespace vornetica
