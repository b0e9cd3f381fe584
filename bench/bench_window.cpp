// The training window's cost: the same run with the window shown (offscreen) and
// without any window. The window may add at most a tenth, whichever of its views
// (chart, function, weights) is in sight: the last form shows each in turn. A third form runs it on
// a thread of its own without any window, as the window does: it tells the window's
// own cost from that of moving the run to another thread (and, on a machine whose
// idle processor runs slower at first, to another processor).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTabWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "base/number_text.h"
#include "base/random_source.h"
#include "settings/network_settings.h"
#include "train/training_run.h"
#include "ui/dialogs.h"
#include "ui/wizard.h"

namespace vornetica {
namespace {

// Answers nothing; a message ("Done!") ends the wait for the run.
class RunEndDialogs : public Dialogs {
  public:
    QEventLoop* waiting = nullptr;
    void message(QWidget*, const QString&, Icon, const QString&) override {
        if (waiting != nullptr) {
            waiting->quit();
        }
    }
    bool confirmExit(QWidget*, const QString&) override { return false; }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
    std::optional<QString> askText(QWidget*, const QString&, const QString&,
                                   const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> openFile(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
    void quit() override {}
};

struct Case {
    NetworkKind kind;
    std::string input;
    std::string output;
};

std::string benchFolder() {
    const auto dir = std::filesystem::temp_directory_path() / "vornetica-bench-window";
    std::filesystem::create_directories(dir);
    return dir.string();
}

void writeValues(const std::string& path, int count, int size, bool withCount, double lo,
                 double hi) {
    std::ofstream out(path, std::ios::binary);
    if (withCount) {
        out << count << "\r\n";
    }
    RandomSource random;
    for (int n = 0; n < count * size; ++n) {
        out << fileNumberText(lo + (hi - lo) * random.next()) << "\r\n";
    }
}

// 1-100-1 with 1000 vectors and 100 iterations.
Case backpropagationCase(NetworkSettings& s) {
    const std::string dir = benchFolder();
    Case c{NetworkKind::BPN, dir + "/bpn-in.dat", dir + "/bpn-out.dat"};
    writeValues(c.input, 1000, 1, true, -10.0, 10.0);
    writeValues(c.output, 1000, 1, false, 1.0, 9.0);
    s.EncodeBPNFlag = 1;
    s.InputSize = 1;
    s.HiddenSize = 100;
    s.OutputSize = 1;
    s.InputScale = 10.0;
    s.OutputScale = 10.0;
    s.Alpha = 0.75;
    s.Beta = 0.25;
    s.ErrorThreshold = -1.0;  // never met: the run makes 102 epochs
    s.MaxIterations = 100;
    s.ThresholdFunction = ThresholdKind::Logistic;
    return c;
}

// A 4-unit box whose errors never fall to the threshold: it runs to its pass limit.
// With 2 vectors the whole run takes about 2 ms, so the window's fixed cost of
// drawing its end dominates; 64 vectors make a run of a length a person waits for.
Case brainStateCase(NetworkSettings& s, int vectors) {
    const std::string dir = benchFolder();
    Case c{NetworkKind::BSB, dir + "/bsb-in.dat", dir + "/bsb-out.dat"};
    std::ofstream out(c.input, std::ios::binary);
    out << vectors << "\r\n";
    for (int v = 0; v < vectors; ++v) {
        out << (v % 2 == 0 ? "1\r\n-1\r\n1\r\n-1\r\n" : "1\r\n1\r\n-1\r\n-1\r\n");
    }
    out.close();
    s.EncodeBSBFlag = 1;
    s.InputSize = 4;
    s.Alpha = 0.5;
    s.ErrorThreshold = 0.01;
    return c;
}

Case prepare(NetworkSettings& settings, int which) {
    setDefaultSettings(settings);
    Case c =
        which == 0 ? backpropagationCase(settings) : brainStateCase(settings, which == 1 ? 2 : 64);
    settings.InputDataPath = c.input;
    settings.OutputDataPath = c.output;
    settings.DataEntryMode = FromFiles;
    return c;
}

void BM_Run_WithoutWindow(benchmark::State& state) {
    NetworkSettings settings;
    prepare(settings, static_cast<int>(state.range(0)));
    RandomSource random;
    for (auto _ : state) {
        SilentProgress silent;
        TrainingResult result = runTraining(captureTrainingRequest(settings), random, silent);
        benchmark::DoNotOptimize(result.network.index());
    }
}

void BM_Run_OnThreadOfItsOwn(benchmark::State& state) {
    NetworkSettings settings;
    prepare(settings, static_cast<int>(state.range(0)));
    RandomSource random;
    for (auto _ : state) {
        std::thread worker([&settings, &random] {
            SilentProgress silent;
            TrainingResult result = runTraining(captureTrainingRequest(settings), random, silent);
            benchmark::DoNotOptimize(result.network.index());
        });
        worker.join();
    }
}

// The window with the view tab `view` (0 chart, 1 function, 2 weights) in sight.
void runInTrainingWindow(benchmark::State& state, int view) {
    NetworkSettings settings;
    prepare(settings, static_cast<int>(state.range(0)));
    RandomSource random;
    RunEndDialogs dialogs;
    Wizard wizard(settings, random, dialogs);
    registerWizardScreens(wizard);
    registerTrainingAndRecallScreens(wizard);
    wizard.show(Screen::EncodeWindow);
    QWidget* window = wizard.screen(Screen::EncodeWindow);
    window->findChild<QTabWidget*>("ViewTabs")->setCurrentIndex(view);
    auto* start = window->findChild<QPushButton*>("cmdStart");
    for (auto _ : state) {
        // The event loop sleeps until the window's timer or the end of the run wakes
        // it, as the program's own loop does.
        QEventLoop loop;
        dialogs.waiting = &loop;
        start->click();
        loop.exec();
        dialogs.waiting = nullptr;
    }
}

void BM_Run_InTrainingWindow(benchmark::State& state) {
    runInTrainingWindow(state, 0);
}

void BM_Run_InTrainingWindowShowingFunction(benchmark::State& state) {
    runInTrainingWindow(state, 1);
}

void BM_Run_InTrainingWindowShowingWeights(benchmark::State& state) {
    runInTrainingWindow(state, 2);
}

// The same three runs, in the same units, for each form.
void theThreeRuns(benchmark::internal::Benchmark* b) {
    b->Arg(0)
        ->Arg(1)
        ->Arg(2)
        ->ArgName("bpn0_bsb2v1_bsb64v2")
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

BENCHMARK(BM_Run_WithoutWindow)->Apply(theThreeRuns);
BENCHMARK(BM_Run_OnThreadOfItsOwn)->Apply(theThreeRuns);
BENCHMARK(BM_Run_InTrainingWindow)->Apply(theThreeRuns);
BENCHMARK(BM_Run_InTrainingWindowShowingFunction)->Apply(theThreeRuns);
BENCHMARK(BM_Run_InTrainingWindowShowingWeights)->Apply(theThreeRuns);

}  // namespace
}  // namespace vornetica

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
