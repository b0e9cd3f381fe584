// Training speed: our backpropagation against FANN (double build) on the same data
// and initial weights, and the other three kinds against their straightforward loops
// (tests/support/reference_trainers.h, the loops the tests check the trainers
// against). Run with `make bench`; compare the CUPS counters (backpropagation) or
// the times (the others) of the pairs in one run.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "support/reference_trainers.h"
#include "train/autocorrelator.h"
#include "train/backpropagation.h"
#include "train/brain_state.h"
#include "train/counterpropagation.h"
#include "train/run_record.h"
#include "train/worked_calculation.h"

#ifdef VORNETICA_HAVE_FANN
#include <doublefann.h>
#endif

namespace vornetica {
namespace {

constexpr int kEpochsPerIteration = 10;

struct NetShape {
    int inputs;
    int hidden;
    int outputs;
    int vectors;
};

// Inputs spread over [-10, 10] so that, after the default scale of 10, the net sees
// values in [-1, 1]; targets in [1, 9] become [0.1, 0.9].
TrainingSet makeBpnSet(const NetShape& shape) {
    TrainingSet set;
    set.count = static_cast<std::int16_t>(shape.vectors);
    set.inputs = Matrix<double>(shape.vectors, shape.inputs);
    set.outputs = Matrix<double>(shape.vectors, shape.outputs);
    RandomSource random;
    for (double& v : set.inputs.values()) {
        v = 20.0 * random.next() - 10.0;
    }
    for (double& v : set.outputs.values()) {
        v = 1.0 + 8.0 * random.next();
    }
    return set;
}

BpnParameters bpnParameters(const NetShape& shape) {
    BpnParameters parameters;
    parameters.inputSize = shape.inputs;
    parameters.hiddenSize = shape.hidden;
    parameters.outputSize = shape.outputs;
    parameters.InputScale = 10.0;
    parameters.OutputScale = 10.0;
    parameters.Alpha = 0.5;
    parameters.Beta = 0.5;
    parameters.ErrorThreshold = -1.0;  // never met: every run makes MaxIterations + 2 epochs
    parameters.MaxIterations = kEpochsPerIteration - 2;
    parameters.threshold.function = ThresholdKind::Logistic;
    return parameters;
}

double connections(const NetShape& s) {
    return static_cast<double>(s.inputs) * s.hidden + static_cast<double>(s.hidden) * s.outputs;
}

void setCups(benchmark::State& state, const NetShape& shape) {
    state.counters["CUPS"] = benchmark::Counter(
        connections(shape) * shape.vectors * kEpochsPerIteration * state.iterations(),
        benchmark::Counter::kIsRate);
}

NetShape shapeOf(const benchmark::State& state) {
    return {static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
            static_cast<int>(state.range(2)), static_cast<int>(state.range(3))};
}

// One backpropagation benchmark a receiver: each run gets a fresh one, as a run in
// the window or on the command line does.
template <typename Progress>
void trainBpnWith(benchmark::State& state) {
    const NetShape shape = shapeOf(state);
    const TrainingSet set = makeBpnSet(shape);
    const BpnParameters parameters = bpnParameters(shape);
    RandomSource random;
    for (auto _ : state) {
        Progress progress;
        BpnRun run = trainBackpropagation(parameters, set, random, progress);
        benchmark::DoNotOptimize(run.network.OutputThresholds.data());
        benchmark::ClobberMemory();
    }
    setCups(state, shape);
}

void BM_Bpn_Ours(benchmark::State& state) {
    trainBpnWith<SilentProgress>(state);
}

// The window and the command line keep every epoch's report for the run's notes:
// compare with BM_Bpn_Ours, whose receiver keeps nothing.
class RecordedProgress : public SilentProgress {
  public:
    void endOfEpoch(const EpochReport& report) override { record.add(report); }
    RunRecord record;
};

void BM_Bpn_Recorded(benchmark::State& state) {
    trainBpnWith<RecordedProgress>(state);
}

// Every vector worked out value by value, as Step and --trace do it: the price of
// watching, against BM_Bpn_Ours on the same shapes.
class ExplainEveryUnit : public SilentProgress {
  public:
    ExplainEveryUnit() { explainUnits(true); }
    void unitWorked(WorkedUnit&& unit) override { benchmark::DoNotOptimize(unit.values.data()); }
};

void BM_Bpn_Explained(benchmark::State& state) {
    trainBpnWith<ExplainEveryUnit>(state);
}

#ifdef VORNETICA_HAVE_FANN
// FANN with the same initial weights as our first run. A fully connected FANN net
// keeps each neuron's incoming weights together, from the previous layer's neurons
// in order with that layer's bias neuron last; they are written there directly,
// since fann_set_weight searches every connection for each weight it sets.
void copyInitialWeights(fann* ann, const NetShape& s) {
    RandomSource random;
    auto draw = [&random] { return 2.0 * static_cast<double>(random.next()) - 1.0; };
    const fann_neuron* neurons = ann->first_layer->first_neuron;
    const int hiddenFirst = s.inputs + 1;
    const int outputFirst = hiddenFirst + s.hidden + 1;
    // weight(fromOffset, to): fromOffset counts from the previous layer's first neuron.
    auto weight = [&](int fromOffset, int to) -> fann_type& {
        return ann->weights[neurons[to].first_con + static_cast<unsigned>(fromOffset)];
    };
    for (int i = 0; i < s.inputs; ++i) {
        for (int j = 0; j < s.hidden; ++j) {
            weight(i, hiddenFirst + j) = draw();
        }
    }
    for (int j = 0; j < s.hidden; ++j) {
        for (int k = 0; k < s.outputs; ++k) {
            weight(j, outputFirst + k) = draw();
        }
    }
    for (int j = 0; j < s.hidden; ++j) {
        weight(s.inputs, hiddenFirst + j) = draw();
    }
    for (int k = 0; k < s.outputs; ++k) {
        weight(s.hidden, outputFirst + k) = draw();
    }
}

// The direct writes set what fann_set_weight would: checked on a small net.
bool directWeightsMatchFann() {
    const NetShape shape{3, 4, 2, 1};
    fann* direct = fann_create_standard(3, shape.inputs, shape.hidden, shape.outputs);
    fann* searched = fann_create_standard(3, shape.inputs, shape.hidden, shape.outputs);
    copyInitialWeights(direct, shape);
    RandomSource random;
    auto draw = [&random] { return 2.0 * static_cast<double>(random.next()) - 1.0; };
    const int hiddenFirst = shape.inputs + 1;
    const int outputFirst = hiddenFirst + shape.hidden + 1;
    for (int i = 0; i < shape.inputs; ++i)
        for (int j = 0; j < shape.hidden; ++j)
            fann_set_weight(searched, i, hiddenFirst + j, draw());
    for (int j = 0; j < shape.hidden; ++j)
        for (int k = 0; k < shape.outputs; ++k)
            fann_set_weight(searched, hiddenFirst + j, outputFirst + k, draw());
    for (int j = 0; j < shape.hidden; ++j)
        fann_set_weight(searched, shape.inputs, hiddenFirst + j, draw());
    for (int k = 0; k < shape.outputs; ++k)
        fann_set_weight(searched, hiddenFirst + shape.hidden, outputFirst + k, draw());
    bool same = direct->total_connections == searched->total_connections;
    for (unsigned c = 0; same && c < direct->total_connections; ++c) {
        same = direct->weights[c] == searched->weights[c];
    }
    fann_destroy(direct);
    fann_destroy(searched);
    return same;
}

void BM_Bpn_Fann(benchmark::State& state) {
    static const bool weightsMatch = directWeightsMatchFann();
    if (!weightsMatch) {
        state.SkipWithError("FANN's weight layout is not the one expected");
        return;
    }
    const NetShape shape = shapeOf(state);
    const TrainingSet set = makeBpnSet(shape);
    fann* ann = fann_create_standard(3, shape.inputs, shape.hidden, shape.outputs);
    fann_set_activation_function_hidden(ann, FANN_SIGMOID);
    fann_set_activation_function_output(ann, FANN_SIGMOID);
    fann_set_activation_steepness_hidden(ann, 0.5);
    fann_set_activation_steepness_output(ann, 0.5);
    fann_set_training_algorithm(ann, FANN_TRAIN_INCREMENTAL);
    fann_set_learning_momentum(ann, 0.0f);
    fann_set_learning_rate(ann, 0.5f);
    fann_set_train_error_function(ann, FANN_ERRORFUNC_LINEAR);
    copyInitialWeights(ann, shape);

    fann_train_data* data = fann_create_train(shape.vectors, shape.inputs, shape.outputs);
    for (int p = 0; p < shape.vectors; ++p) {
        for (int i = 0; i < shape.inputs; ++i) {
            data->input[p][i] = set.inputs.at(p, i) / 10.0;
        }
        for (int k = 0; k < shape.outputs; ++k) {
            data->output[p][k] = set.outputs.at(p, k) / 10.0;
        }
    }
    for (auto _ : state) {
        for (int e = 0; e < kEpochsPerIteration; ++e) {
            benchmark::DoNotOptimize(fann_train_epoch(ann, data));
        }
    }
    setCups(state, shape);
    fann_destroy_train(data);
    fann_destroy(ann);
}
#endif

void bpnShapes(benchmark::internal::Benchmark* b) {
    b->Args({2, 2, 1, 4});
    b->Args({1, 100, 1, 100});
    b->Args({10, 100, 10, 100});
    b->Args({100, 100, 100, 100});
    b->Args({256, 1024, 256, 50});
    b->ArgNames({"I", "H", "O", "P"});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Bpn_Ours)->Apply(bpnShapes);
BENCHMARK(BM_Bpn_Recorded)->Apply(bpnShapes);
BENCHMARK(BM_Bpn_Explained)
    ->Args({2, 2, 1, 4})
    ->Args({10, 100, 10, 100})
    ->ArgNames({"I", "H", "O", "P"})
    ->Unit(benchmark::kMicrosecond);
#ifdef VORNETICA_HAVE_FANN
BENCHMARK(BM_Bpn_Fann)->Apply(bpnShapes);
#endif

// Counterpropagation: I, H, O, pairs, time steps.
TrainingSet makeCpnSet(int I, int O, int P) {
    TrainingSet set;
    set.count = static_cast<std::int16_t>(P);
    set.inputs = Matrix<double>(P, I);
    set.outputs = Matrix<double>(P, O);
    RandomSource random;
    for (double& v : set.inputs.values()) {
        v = 2.0 * random.next() - 1.0;
    }
    for (double& v : set.outputs.values()) {
        v = random.next();
    }
    return set;
}

CpnParameters cpnParameters(const benchmark::State& state) {
    CpnParameters parameters;
    parameters.inputSize = static_cast<int>(state.range(0));
    parameters.hiddenSize = static_cast<int>(state.range(1));
    parameters.outputSize = static_cast<int>(state.range(2));
    parameters.NumberTimeSteps = static_cast<int>(state.range(4));
    return parameters;
}

testing::Rows rowsOf(const Matrix<double>& values) {
    testing::Rows rows;
    for (std::size_t r = 0; r < values.rows(); ++r) {
        rows.emplace_back(values.row(r).begin(), values.row(r).end());
    }
    return rows;
}

void BM_Cpn_Ours(benchmark::State& state) {
    const CpnParameters parameters = cpnParameters(state);
    const TrainingSet set =
        makeCpnSet(parameters.inputSize, parameters.outputSize, static_cast<int>(state.range(3)));
    RandomSource random;
    SilentProgress silent;
    for (auto _ : state) {
        CpnRun run = trainCounterpropagation(parameters, set, random, silent);
        benchmark::DoNotOptimize(run.network.OutputWeights.values().data());
    }
}

void BM_Cpn_Reference(benchmark::State& state) {
    const CpnParameters parameters = cpnParameters(state);
    const TrainingSet set =
        makeCpnSet(parameters.inputSize, parameters.outputSize, static_cast<int>(state.range(3)));
    const testing::Rows X = rowsOf(set.inputs);
    const testing::Rows Y = rowsOf(set.outputs);
    RandomSource random;
    for (auto _ : state) {
        testing::ReferenceCpn run = testing::referenceCpn(parameters, X, Y, random, false);
        benchmark::DoNotOptimize(run.V.data());
    }
}

void cpnShapes(benchmark::internal::Benchmark* b) {
    b->Args({4, 50, 4, 20, 100});
    b->Args({256, 1024, 256, 2, 100});
    b->ArgNames({"I", "H", "O", "P", "T"});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Cpn_Ours)->Apply(cpnShapes);
BENCHMARK(BM_Cpn_Reference)->Apply(cpnShapes);

// Brain-state-in-a-box: units, vectors; one pass (the threshold is never exceeded).
TrainingSet makeBipolarSet(int size, int P) {
    TrainingSet set;
    set.count = static_cast<std::int16_t>(P);
    set.inputs = Matrix<double>(P, size);
    RandomSource random;
    for (double& v : set.inputs.values()) {
        v = random.next() < 0.5 ? -1.0 : 1.0;
    }
    return set;
}

BsbParameters bsbParameters(const benchmark::State& state) {
    BsbParameters parameters;
    parameters.inputSize = static_cast<int>(state.range(0));
    parameters.Alpha = 0.01;
    parameters.ErrorThreshold = 1e300;
    return parameters;
}

void BM_Bsb_Ours(benchmark::State& state) {
    const BsbParameters parameters = bsbParameters(state);
    const TrainingSet set = makeBipolarSet(parameters.inputSize, static_cast<int>(state.range(1)));
    RandomSource random;
    SilentProgress silent;
    for (auto _ : state) {
        BsbRun run = trainBrainStateInABox(parameters, set, random, silent);
        benchmark::DoNotOptimize(run.network.Weights.values().data());
    }
}

void BM_Bsb_Reference(benchmark::State& state) {
    const BsbParameters parameters = bsbParameters(state);
    const TrainingSet set = makeBipolarSet(parameters.inputSize, static_cast<int>(state.range(1)));
    const testing::Rows X = rowsOf(set.inputs);
    RandomSource random;
    for (auto _ : state) {
        testing::ReferenceBsb run = testing::referenceBsb(parameters, X, random, false);
        benchmark::DoNotOptimize(run.W.data());
    }
}

void bsbShapes(benchmark::internal::Benchmark* b) {
    b->Args({4, 16});
    b->Args({512, 64});
    b->ArgNames({"I", "P"});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Bsb_Ours)->Apply(bsbShapes);
BENCHMARK(BM_Bsb_Reference)->Apply(bsbShapes);

// Discrete autocorrelator: units, bipolar vectors.
void BM_Da_Ours(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const TrainingSet set = makeBipolarSet(size, static_cast<int>(state.range(1)));
    SilentProgress silent;
    for (auto _ : state) {
        DaRun run = trainDiscreteAutocorrelator(size, set, silent);
        benchmark::DoNotOptimize(run.network.CorrelationMatrix.values().data());
    }
}

void BM_Da_Reference(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const TrainingSet set = makeBipolarSet(size, static_cast<int>(state.range(1)));
    testing::Ints X;
    for (std::size_t p = 0; p < set.inputs.rows(); ++p) {
        X.emplace_back(set.inputs.row(p).begin(), set.inputs.row(p).end());
    }
    for (auto _ : state) {
        auto T = testing::referenceDa(X, size);
        benchmark::DoNotOptimize(T->data());
    }
}

void daShapes(benchmark::internal::Benchmark* b) {
    b->Args({16, 100});
    b->Args({181, 100});
    b->ArgNames({"I", "P"});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Da_Ours)->Apply(daShapes);
BENCHMARK(BM_Da_Reference)->Apply(daShapes);

}  // namespace
}  // namespace vornetica

BENCHMARK_MAIN();
