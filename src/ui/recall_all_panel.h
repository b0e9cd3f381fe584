#pragma once

#include <QTimer>
#include <QWidget>
#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "recall/batch_recall.h"
#include "settings/network_settings.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace vornetica {

class Dialogs;
class RecallResultsModel;

// Recall All of the recall window's file mode: every whole vector of the recall
// data file recalled on a worker thread, the rows shown as they come, and, with
// an expected-outputs file, the errors and their summary. The Recall All button
// is made here and placed by the window beside its Start.
class RecallAllPanel : public QWidget {
    Q_OBJECT
  public:
    RecallAllPanel(Dialogs& dialogs, QWidget* parent);
    ~RecallAllPanel() override;

    QPushButton* recallAllButton() const { return recallAll_; }
    bool running() const { return worker_.joinable(); }
    // Empties the table and the summary: a network loaded afresh has recalled nothing.
    void clearResults();
    // Recalls every vector of settings.InputDataPath with the network loaded in
    // `settings`. The run writes the recall work vectors there from its thread, so
    // while running() the window lets nothing else use the settings (see
    // runningChanged).
    void start(NetworkSettings& settings);

  signals:
    void runningChanged(bool running);

  private:
    struct RunEnd {
        std::string error;
        std::optional<RecallSummary> summary;
        bool stopped = false;
    };

    void buildControls();
    void browsePressed();
    void savePressed();
    void takeRows();
    void runEnded();
    void showSummary(const RecallSummary& summary);
    void showConfusion(const RecallSummary& summary);
    void setRunning(bool running);
    void work(NetworkSettings& settings, std::string inputPath,
              std::optional<std::string> expectedPath);

    Dialogs& dialogs_;
    QPushButton* recallAll_ = nullptr;
    QLineEdit* expectedFile_ = nullptr;
    QPushButton* browse_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* stop_ = nullptr;
    QLabel* status_ = nullptr;
    QTableView* table_ = nullptr;
    RecallResultsModel* rows_ = nullptr;
    QLabel* meanSquaredError_ = nullptr;
    QLabel* largestError_ = nullptr;
    QLabel* shareRight_ = nullptr;
    QLabel* confusionLabel_ = nullptr;
    QTableView* confusion_ = nullptr;
    QStandardItemModel* confusionCells_ = nullptr;
    QPushButton* save_ = nullptr;
    QTimer refresh_;

    std::thread worker_;
    std::atomic<bool> stopRequested_{false};
    // Handed from the worker to this thread.
    std::mutex handOver_;
    std::vector<BatchRow> pending_;
    std::optional<std::int64_t> total_;
    std::int64_t recalled_ = 0;
    RunEnd end_;
};

}  // namespace vornetica
