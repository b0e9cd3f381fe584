// Memory during training: the peak resident memory a backpropagation run adds, as a
// multiple of its weights plus its training set (1.0 would hold nothing else), for
// the 1024-4096-1024 network with 1000 vectors. A program of its own, so that no other
// benchmark's peak hides this one's.

#include <benchmark/benchmark.h>

#include "peak_memory.h"
#include "train/backpropagation.h"

namespace vornetica {
namespace {

constexpr int kInputs = 1024;
constexpr int kHidden = 4096;
constexpr int kOutputs = 1024;
constexpr int kVectors = 1000;

TrainingSet makeSet() {
    TrainingSet set;
    set.count = kVectors;
    set.inputs = Matrix<double>(kVectors, kInputs);
    set.outputs = Matrix<double>(kVectors, kOutputs);
    RandomSource random;
    for (double& v : set.inputs.values()) {
        v = 20.0 * random.next() - 10.0;
    }
    for (double& v : set.outputs.values()) {
        v = 1.0 + 8.0 * random.next();
    }
    return set;
}

// One epoch (the threshold is never exceeded): the memory does not grow with epochs.
void BM_BpnTrainingMemory(benchmark::State& state) {
    BpnParameters parameters;
    parameters.inputSize = kInputs;
    parameters.hiddenSize = kHidden;
    parameters.outputSize = kOutputs;
    parameters.Alpha = 0.5;
    parameters.Beta = 0.5;
    parameters.ErrorThreshold = 1e300;
    parameters.threshold.function = ThresholdKind::Logistic;
    const double weights =
        8.0 * (double(kInputs) * kHidden + double(kHidden) * kOutputs + kHidden + kOutputs);
    const double set = 8.0 * kVectors * double(kInputs + kOutputs);
    double growth = 0.0;
    for (auto _ : state) {
        bench::resetPeakResident();
        const long before = bench::currentResidentBytes();
        const TrainingSet data = makeSet();
        RandomSource random;
        SilentProgress silent;
        BpnRun run = trainBackpropagation(parameters, data, random, silent);
        benchmark::DoNotOptimize(run.network.OutputThresholds.data());
        growth = static_cast<double>(bench::peakResidentBytes() - before);
    }
    state.counters["peak/(weights+set)"] = growth / (weights + set);
    state.counters["weights+set MB"] = (weights + set) / 1e6;
}

BENCHMARK(BM_BpnTrainingMemory)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace vornetica

BENCHMARK_MAIN();
