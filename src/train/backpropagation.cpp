#include "train/backpropagation.h"

#include <algorithm>
#include <cstddef>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/user_error.h"
#include "kernels/exponentials.h"
#include "kernels/kernel_level.h"
#include "kernels/vector_kernels.h"
#include "neuron/neuron_functions.h"
#include "train/bpn_kernels.h"
#include "train/bpn_tuning.h"
#include "train/network_snapshot.h"
#include "train/weight_panels.h"
#include "train/worked_calculation.h"

// Online backpropagation. For each training vector, the textbook's steps, in
// their order, and the functions that take them:
//
//   scale the vector                             loadVector
//   hidden layer: sums, then nodes               computeHiddenLayer
//   output layer: sums, then nodes               computeOutputLayer
//   output error signals                         computeOutputSignals
//   hidden error signals, from the output        computeHiddenSignalsChangingOutputWeights
//     weights as they were before this vector;
//   output weight changes                        (the same pass)
//   output and hidden threshold changes          changeThresholds
//   hidden weight changes                        holdHiddenChanges, then the next
//                                                vector's computeHiddenLayer
//   show the grids                               showVector, when the receiver asks
// and after each epoch the stop test (noteErrors, runEpochs).
//
// One trick a reader must know: a vector's hidden weight changes are not added when
// the vector ends. They wait, with the vector's input and hidden error signals, and
// the next vector's hidden sums add them row by row as they pass over the weights
// (addChangesThenWeightedSums), so the largest matrix is read once per vector, not
// twice; each sum still meets every weight as changed, as the plain order gives.
// The run's end adds the last changes (applyWaitingChanges).
//
// Nets of a few connections take the same steps in one function,
// trainSmallVector. The larger nets keep their weights in panels during a run
// (PanelLayout), and their weight passes are the kernels of bpn_kernels.h;
// bpn_tuning.h holds the sizes that choose between the paths. None of this changes
// a bit of the result: every sum runs from 0.0 over ascending index, as the plain
// trainer the tests hold this one to (tests/support/reference_trainers.h).

namespace vornetica {
namespace {

// The neuron functions, each a small value type so that the choice is made once
// per run and the node loops call the function directly.
struct LinearNode {
    double slope;
    double operator()(double x) const { return LinearThreshold(slope, x); }
};
struct RampNode {
    double boundary;
    double operator()(double x) const { return RampThreshold(boundary, x); }
};
struct StepNode {
    double upper;
    double lower;
    double operator()(double x) const { return x > 0.0 ? upper : lower; }
};
// One node at a time: logistic; a whole layer at once: applyLogistic.
struct LogisticNode {
    double operator()(double x) const { return logistic(x); }
};
struct TanhNode {
    double operator()(double x) const { return TanhThreshold(x); }
};
struct RatioSquaresNode {
    double operator()(double x) const { return RatioSquaresThreshold(x); }
};

// The stop test and the epoch's report need only these of the epoch's output error
// signals, gathered vector by vector in the order the signals are stored, so no
// P x O matrix is kept.
struct EpochErrors {
    bool above = false;
    double largest = 0.0;
    double squares = 0.0;
    std::size_t count = 0;
};

// Everything one run needs, allocated before the first epoch so the epochs
// themselves allocate nothing. A vector is divided by the scales when it is
// trained, so the run holds no scaled copy of the training set.
struct BpnWork {
    std::size_t I, H, O, P;
    const Matrix<double>* inputs;
    const Matrix<double>* targets;
    double InputScale, OutputScale;
    // One allocation holds every buffer below: for the smallest nets a run is over in
    // microseconds, and an allocation per buffer would be a good part of it.
    std::vector<double> storage;
    std::span<double> x;             // X[p], the input divided by InputScale
    std::span<double> t;             // T[p], the target divided by OutputScale
    std::span<double> D;             // D[p], the output error signals
    std::span<double> hidden;        // h, the hidden nets first
    std::span<double> output;        // o, the output nets first
    std::span<double> hiddenError;   // e
    std::span<double> waitingInput;  // X[p] of the vector whose hidden changes wait
    bool hiddenChangesWait = false;
    PanelLayout layout;
    std::span<double> rowChange;  // Alpha * h[j]
};

// Hands out consecutive parts of one buffer.
class BufferParts {
  public:
    explicit BufferParts(std::vector<double>& storage) : next_(storage.data()) {}
    std::span<double> take(std::size_t size) {
        const std::span<double> part(next_, size);
        next_ += size;
        return part;
    }

  private:
    double* next_;
};

void loadVector(std::size_t p, BpnWork& work) {
    quotients(work.inputs->row(p).data(), work.InputScale, work.x.data(), work.I);
    quotients(work.targets->row(p).data(), work.OutputScale, work.t.data(), work.O);
}

// Only a signed error signal above the threshold keeps the run going. The report
// gives the largest signed signal and the mean square.
// The totals are copied into locals and back, in a function of its own: kept in
// the record, or spilled by the large loop around, each addition would wait for the
// last one's store.
[[gnu::noinline]] void noteErrors(const BpnWork& work, double ErrorThreshold, EpochErrors& errors) {
    bool above = errors.above;
    double largest = errors.largest;
    double squares = errors.squares;
    std::size_t count = errors.count;
    for (std::size_t k = 0; k < work.O; ++k) {
        const double d = work.D[k];
        if (d > ErrorThreshold) {
            above = true;
        }
        if (count == 0 || d > largest) {
            largest = d;
        }
        squares += d * d;
        ++count;
    }
    errors = {above, largest, squares, count};
}

void checkTrainingSet(const BpnParameters& parameters, const TrainingSet& data) {
    const auto P = static_cast<std::size_t>(data.count < 0 ? 0 : data.count);
    if (P == 0) {
        return;  // an empty set fits any sizes
    }
    if (data.inputs.rows() < P || data.inputs.cols() != std::size_t(parameters.inputSize) ||
        data.outputs.rows() < P || data.outputs.cols() != std::size_t(parameters.outputSize)) {
        throw UserError("The training data do not match the network sizes " +
                        std::to_string(parameters.inputSize) + ", " +
                        std::to_string(parameters.outputSize) + ".");
    }
}

BpnWork prepareWork(const BpnParameters& parameters, const TrainingSet& data) {
    BpnWork work;
    work.I = static_cast<std::size_t>(parameters.inputSize);
    work.H = static_cast<std::size_t>(parameters.hiddenSize);
    work.O = static_cast<std::size_t>(parameters.outputSize);
    work.P = static_cast<std::size_t>(data.count < 0 ? 0 : data.count);
    work.inputs = &data.inputs;
    work.targets = &data.outputs;
    work.InputScale = parameters.InputScale;
    work.OutputScale = parameters.OutputScale;
    work.layout = PanelLayout(work.I, work.H, work.O);
    work.storage.assign(2 * work.I + 3 * work.O + 3 * work.H, 0.0);
    BufferParts parts(work.storage);
    work.x = parts.take(work.I);
    work.t = parts.take(work.O);
    work.D = parts.take(work.O);
    work.hidden = parts.take(work.H);
    work.output = parts.take(work.O);
    work.hiddenError = parts.take(work.H);
    work.waitingInput = parts.take(work.I);
    work.rowChange = parts.take(work.H);
    return work;
}

// Every value 2r - 1 for a fresh r, drawn weights before thresholds, hidden before output.
BpnNetwork initialNetwork(const BpnParameters& parameters, const BpnWork& work,
                          RandomSource& random) {
    BpnNetwork network;
    network.InputScale = parameters.InputScale;
    network.OutputScale = parameters.OutputScale;
    network.HiddenWeights = Matrix<double>(work.I, work.H);
    network.OutputWeights = Matrix<double>(work.H, work.O);
    network.HiddenThresholds.assign(work.H, 0.0);
    network.OutputThresholds.assign(work.O, 0.0);
    const auto draw = [&random] { return 2.0 * static_cast<double>(random.next()) - 1.0; };
    for (double& weight : network.HiddenWeights.values()) {
        weight = draw();
    }
    for (double& weight : network.OutputWeights.values()) {
        weight = draw();
    }
    for (double& threshold : network.HiddenThresholds) {
        threshold = draw();
    }
    for (double& threshold : network.OutputThresholds) {
        threshold = draw();
    }
    return network;
}

// net[n] = node(net[n] + thresholds[n]) for every node of a layer.
template <typename Node>
void applyNodes(const Node& node, const std::vector<double>& thresholds, double* net) {
    for (std::size_t n = 0; n < thresholds.size(); ++n) {
        net[n] = node(net[n] + thresholds[n]);
    }
}

void applyNodes(const LogisticNode&, const std::vector<double>& thresholds, double* net) {
    applyLogistic(net, thresholds.data(), thresholds.size());
}

// Nets of a few connections: the phases as written, in one function, since a call
// per phase would cost more than the phase. Row j of the output weights gives e[j]
// before it takes its own changes, as in the larger nets' kernels. Sizes given as
// template arguments (0: the run's) let the compiler unroll the loops of the
// smallest nets, where loop overhead is most of the work.
template <std::size_t FixedI, std::size_t FixedH, std::size_t FixedO, typename Node>
void trainSmallVector(const Node& node, const BpnParameters& parameters, BpnNetwork& network,
                      BpnWork& work) {
    const std::size_t I = FixedI != 0 ? FixedI : work.I;
    const std::size_t H = FixedH != 0 ? FixedH : work.H;
    const std::size_t O = FixedO != 0 ? FixedO : work.O;
    const double* x = work.x.data();
    const double* t = work.t.data();
    double* D = work.D.data();
    double* h = work.hidden.data();
    double* o = work.output.data();
    double* e = work.hiddenError.data();
    double* hiddenWeights = network.HiddenWeights.values().data();
    double* outputWeights = network.OutputWeights.values().data();
    double* hiddenThresholds = network.HiddenThresholds.data();
    double* outputThresholds = network.OutputThresholds.data();
    // Hidden sums and nodes.
    if (H >= kLongLayer) {
        weightedSums(hiddenWeights, I, H, x, h);
    } else {
        for (std::size_t j = 0; j < H; ++j) {
            double sum = 0.0;
            for (std::size_t i = 0; i < I; ++i) {
                sum += hiddenWeights[i * H + j] * x[i];
            }
            h[j] = sum;
        }
    }
    if (H >= kLongLayer) {
        applyNodes(node, network.HiddenThresholds, h);
    } else {
        for (std::size_t j = 0; j < H; ++j) {
            h[j] = node(h[j] + hiddenThresholds[j]);
        }
    }
    // Output sums and nodes.
    for (std::size_t k = 0; k < O; ++k) {
        double sum = 0.0;
        for (std::size_t j = 0; j < H; ++j) {
            sum += h[j] * outputWeights[j * O + k];
        }
        o[k] = node(sum + outputThresholds[k]);
    }
    // Output error signals.
    for (std::size_t k = 0; k < O; ++k) {
        D[k] = ((1.0 - o[k]) * o[k]) * (t[k] - o[k]);
    }
    // Hidden error signals and output weight changes: each row of output weights
    // takes its changes once it has given its sum.
    for (std::size_t j = 0; j < H; ++j) {
        double* row = outputWeights + j * O;
        double sum = 0.0;
        for (std::size_t k = 0; k < O; ++k) {
            sum += D[k] * row[k];
        }
        e[j] = ((1.0 - h[j]) * h[j]) * sum;
        const double f = parameters.Alpha * h[j];
        for (std::size_t k = 0; k < O; ++k) {
            row[k] += f * D[k];
        }
    }
    // Output threshold, hidden weight and hidden threshold changes.
    for (std::size_t k = 0; k < O; ++k) {
        outputThresholds[k] += parameters.Alpha * D[k];
    }
    for (std::size_t i = 0; i < I; ++i) {
        const double f = parameters.Beta * x[i];
        for (std::size_t j = 0; j < H; ++j) {
            hiddenWeights[i * H + j] += f * e[j];
        }
    }
    for (std::size_t j = 0; j < H; ++j) {
        hiddenThresholds[j] += parameters.Beta * e[j];
    }
}

// The phases of one vector of a larger net, in the order trainVector runs them.
//
// The previous vector's hidden weight changes waited for this pass: each row takes
// them just before it adds its terms, so the matrix is read once per vector
// instead of twice.
template <typename Node>
void computeHiddenLayer(const Node& node, const BpnParameters& parameters, BpnNetwork& network,
                        BpnWork& work) {
    const double* x = work.x.data();
    double* net = work.hidden.data();
    double* weights = network.HiddenWeights.values().data();
    if (work.hiddenChangesWait) {
        work.layout.forEachHiddenPanel(weights, [&](double* panel, std::size_t j, std::size_t w) {
            addChangesThenWeightedSums(panel, work.I, w, parameters.Beta, work.waitingInput.data(),
                                       work.hiddenError.data() + j, x, net + j);
        });
    } else {
        work.layout.forEachHiddenPanel(weights,
                                       [&](const double* panel, std::size_t j, std::size_t w) {
                                           weightedSums(panel, work.I, w, x, net + j);
                                       });
    }
    applyNodes(node, network.HiddenThresholds, net);
}

// Each sum takes the panels in turn and, within a panel, its row's terms in
// ascending j: the terms h[j] * W[j][k] of the plain loop, in its order.
template <typename Node>
void computeOutputLayer(const Node& node, const BpnNetwork& network, BpnWork& work) {
    double* net = work.output.data();
    std::fill(work.output.begin(), work.output.end(), 0.0);
    work.layout.forEachOutputPanel(network.OutputWeights.values().data(),
                                   [&](const double* panel, std::size_t j, std::size_t w) {
                                       addRowSums(panel, work.O, w, w, work.hidden.data() + j, net);
                                   });
    applyNodes(node, network.OutputThresholds, net);
}

void computeOutputSignals(BpnWork& work) {
    logisticOutputSignals(work.output.data(), work.t.data(), work.D.data(), work.O);
}

// One pass over the output weights' panels: each hidden node's sum reads a weight
// before the weight takes its change.
void computeHiddenSignalsChangingOutputWeights(const BpnParameters& parameters, BpnNetwork& network,
                                               BpnWork& work) {
    const double* h = work.hidden.data();
    products(parameters.Alpha, h, work.rowChange.data(), work.H);
    double* e = work.hiddenError.data();
    work.layout.forEachOutputPanel(network.OutputWeights.values().data(),
                                   [&](double* panel, std::size_t j, std::size_t w) {
                                       columnSumsThenAddChanges(panel, work.O, w, work.D.data(),
                                                                work.rowChange.data() + j, e + j);
                                   });
    logisticSignals(h, e, e, work.H);
}

void changeThresholds(const BpnParameters& parameters, BpnNetwork& network, BpnWork& work) {
    addScaled(parameters.Alpha, work.D.data(), network.OutputThresholds.data(), work.O);
    addScaled(parameters.Beta, work.hiddenError.data(), network.HiddenThresholds.data(), work.H);
}

// The hidden weight changes wait, with the input that makes them, for the next
// vector's hidden sums or for the end of the run (applyWaitingChanges).
void holdHiddenChanges(BpnWork& work) {
    std::copy(work.x.begin(), work.x.end(), work.waitingInput.begin());
    work.hiddenChangesWait = true;
}

template <typename Node>
void trainVector(const Node& node, const BpnParameters& parameters, BpnNetwork& network,
                 BpnWork& work) {
    computeHiddenLayer(node, parameters, network, work);
    computeOutputLayer(node, network, work);
    computeOutputSignals(work);
    computeHiddenSignalsChangingOutputWeights(parameters, network, work);
    changeThresholds(parameters, network, work);
    holdHiddenChanges(work);
}

void applyWaitingChanges(const BpnParameters& parameters, BpnNetwork& network, BpnWork& work) {
    if (work.hiddenChangesWait) {
        work.layout.forEachHiddenPanel(network.HiddenWeights.values().data(),
                                       [&](double* panel, std::size_t j, std::size_t w) {
                                           addChanges(panel, work.I, w, parameters.Beta,
                                                      work.waitingInput.data(),
                                                      work.hiddenError.data() + j);
                                       });
        work.hiddenChangesWait = false;
    }
}

void arrangeForRun(BpnNetwork& network, const BpnWork& work, bool intoPanels) {
    work.layout.arrange(network.HiddenWeights.values().data(),
                        network.OutputWeights.values().data(), intoPanels);
}

// The network as the plain trainer holds it after the vector just trained: the
// copy takes the hidden changes that wait and leaves the panels, while the run's
// own matrices stay as they are.
void copyPlainNetwork(const BpnParameters& parameters, const BpnNetwork& network,
                      const BpnWork& work, TrainedNetwork& into) {
    BpnNetwork& copy = snapshotOf<BpnNetwork>(into);
    copy = network;
    double* hiddenWeights = copy.HiddenWeights.values().data();
    if (work.hiddenChangesWait) {
        work.layout.forEachHiddenPanel(
            hiddenWeights, [&](double* panel, std::size_t j, std::size_t w) {
                addChanges(panel, work.I, w, parameters.Beta, work.waitingInput.data(),
                           work.hiddenError.data() + j);
            });
    }
    work.layout.arrange(hiddenWeights, copy.OutputWeights.values().data(), false);
}

// A vector someone watches (Step, a trace) takes the plain steps one value at a
// time and records each value as it is made. Waiting hidden changes are added and
// the weights leave their panels first, so the steps meet the weights as the plain
// order has them; the results are the kernels' bits (the tests hold both to the
// plain trainer), and the run goes on from them as if nobody had watched.
template <typename Node>
[[gnu::noinline]] WorkedUnit explainVector(const Node& node, const BpnParameters& parameters,
                                           BpnNetwork& network, BpnWork& work) {
    applyWaitingChanges(parameters, network, work);
    arrangeForRun(network, work, false);
    const int I = static_cast<int>(work.I), H = static_cast<int>(work.H),
              O = static_cast<int>(work.O);
    Matrix<double>& W = network.HiddenWeights;
    Matrix<double>& V = network.OutputWeights;
    std::vector<double>& hiddenThresholds = network.HiddenThresholds;
    std::vector<double>& outputThresholds = network.OutputThresholds;
    const std::span<double> x = work.x, t = work.t, D = work.D, h = work.hidden, o = work.output,
                            e = work.hiddenError;
    WorkedUnit unit;
    unit.kind = NetworkKind::BPN;
    // One allocation: a unit of a larger net holds a few values per weight.
    unit.values.reserve(2 + work.I + work.O + 3 * work.I * work.H + 3 * work.H * work.O +
                        7 * work.H + 6 * work.O);
    unit.add("alpha", parameters.Alpha);
    unit.add("beta", parameters.Beta);
    for (int i = 0; i < I; ++i) {
        unit.add("input", x[i], i);
    }
    for (int k = 0; k < O; ++k) {
        unit.add("target", t[k], k);
    }
    for (int i = 0; i < I; ++i) {
        for (int j = 0; j < H; ++j) {
            unit.add("hidden_weight_before", W.at(i, j), i, j);
        }
    }
    for (int j = 0; j < H; ++j) {
        unit.add("hidden_threshold_before", hiddenThresholds[j], j);
    }
    for (int j = 0; j < H; ++j) {
        for (int k = 0; k < O; ++k) {
            unit.add("output_weight_before", V.at(j, k), j, k);
        }
    }
    for (int k = 0; k < O; ++k) {
        unit.add("output_threshold_before", outputThresholds[k], k);
    }
    for (int j = 0; j < H; ++j) {
        double sum = 0.0;
        for (int i = 0; i < I; ++i) {
            sum += W.at(i, j) * x[i];
        }
        const double net = sum + hiddenThresholds[j];
        h[j] = node(net);
        unit.add("hidden_net", net, j);
        unit.add("hidden_out", h[j], j);
    }
    for (int k = 0; k < O; ++k) {
        double sum = 0.0;
        for (int j = 0; j < H; ++j) {
            sum += h[j] * V.at(j, k);
        }
        const double net = sum + outputThresholds[k];
        o[k] = node(net);
        unit.add("output_net", net, k);
        unit.add("output_out", o[k], k);
    }
    for (int k = 0; k < O; ++k) {
        D[k] = ((1.0 - o[k]) * o[k]) * (t[k] - o[k]);
        unit.add("output_error", D[k], k);
    }
    for (int j = 0; j < H; ++j) {
        double sum = 0.0;
        for (int k = 0; k < O; ++k) {
            sum += D[k] * V.at(j, k);
        }
        e[j] = ((1.0 - h[j]) * h[j]) * sum;
        unit.add("hidden_error_sum", sum, j);
        unit.add("hidden_error", e[j], j);
    }
    for (int j = 0; j < H; ++j) {
        const double f = parameters.Alpha * h[j];
        for (int k = 0; k < O; ++k) {
            const double change = f * D[k];
            V.at(j, k) += change;
            unit.add("output_weight_change", change, j, k);
            unit.add("output_weight", V.at(j, k), j, k);
        }
    }
    for (int k = 0; k < O; ++k) {
        const double change = parameters.Alpha * D[k];
        outputThresholds[k] += change;
        unit.add("output_threshold_change", change, k);
        unit.add("output_threshold", outputThresholds[k], k);
    }
    for (int i = 0; i < I; ++i) {
        const double f = parameters.Beta * x[i];
        for (int j = 0; j < H; ++j) {
            const double change = f * e[j];
            W.at(i, j) += change;
            unit.add("hidden_weight_change", change, i, j);
            unit.add("hidden_weight", W.at(i, j), i, j);
        }
    }
    for (int j = 0; j < H; ++j) {
        const double change = parameters.Beta * e[j];
        hiddenThresholds[j] += change;
        unit.add("hidden_threshold_change", change, j);
        unit.add("hidden_threshold", hiddenThresholds[j], j);
    }
    arrangeForRun(network, work, true);
    return unit;
}

// The seven grids as the vector just trained leaves them (the buffers still hold
// it), in the order its steps write them. Each value is final once written within
// the vector (inputs, counter, outputs, error signals, then the thresholds after
// their updates), so showing them all after the vector shows what showing them
// step by step would.
void showVector(int counter, const BpnNetwork& network, const BpnWork& work,
                ProgressSink& progress) {
    progress.showCells(ProgressGrid::InputValues, 0, work.x, 5);
    progress.showCells(ProgressGrid::InputNodes, 0, work.x, 5);
    const double shownCounter = counter;
    progress.showCells(ProgressGrid::Iterations, 0, {&shownCounter, 1}, 5);
    progress.showCells(ProgressGrid::OutputValues, 0, work.output, 6);
    progress.showCells(ProgressGrid::ErrorValues, 0, work.D, 6);
    progress.showCells(ProgressGrid::OutputNodes, 0, network.OutputThresholds, 6);
    progress.showCells(ProgressGrid::HiddenNodes, 0, network.HiddenThresholds, 6);
}

EpochReport reportOf(const EpochErrors& errors, int epoch) {
    EpochReport report;
    report.index = epoch;
    report.largestError = errors.largest;
    report.meanSquaredError =
        errors.count == 0 ? 0.0 : errors.squares / static_cast<double>(errors.count);
    return report;
}

template <typename Node>
BpnRun runEpochs(const Node& node, const BpnParameters& parameters, BpnWork& work,
                 BpnNetwork network, ProgressSink& progress) {
    BpnRun run;
    CellPublisher cells(progress);
    SnapshotPublisher snapshots(progress);
    int lastCounter = 0;  // the counter the last vector trained showed
    const bool small = trainsAsSmallNet(work.I, work.H, work.O);
    // The classic first net (exclusive or) gets its own unrolled copy.
    const bool exclusiveOr = work.I == 2 && work.H == 2 && work.O == 1;
    arrangeForRun(network, work, true);
    // Widened so that MaxIterations up to 32767 works; the values shown stay the same.
    int counter = 0;
    bool continues = true;
    while (continues && !run.stopped) {
        ++run.epochs;
        EpochErrors errors;
        for (std::size_t p = 0; p < work.P; ++p) {
            loadVector(p, work);
            const auto finishVector = [&] {
                noteErrors(work, parameters.ErrorThreshold, errors);
                lastCounter = counter;
                cells.write([&] { showVector(counter, network, work, progress); });
                snapshots.offer([&](TrainedNetwork& into) {
                    copyPlainNetwork(parameters, network, work, into);
                });
            };
            if (progress.unitsExplained()) [[unlikely]] {
                WorkedUnit unit = explainVector(node, parameters, network, work);
                unit.epoch = run.epochs - 1;
                unit.vector = static_cast<int>(p);
                unit.unit = static_cast<long>(unit.epoch) * static_cast<long>(work.P) +
                            static_cast<long>(p);
                progress.requestCells();  // the grids show the unit the run stops at
                finishVector();
                progress.unitWorked(std::move(unit));
            } else {
                if (exclusiveOr) {
                    trainSmallVector<2, 2, 1>(node, parameters, network, work);
                } else if (small) {
                    trainSmallVector<0, 0, 0>(node, parameters, network, work);
                } else {
                    trainVector(node, parameters, network, work);
                }
                finishVector();
            }
            if (progress.stopRequested()) {
                run.stopped = true;
                break;
            }
        }
        if (run.stopped) {
            break;
        }
        const EpochReport report = reportOf(errors, counter);
        continues = errors.above;
        if (counter > parameters.MaxIterations) {
            continues = false;
        }
        ++counter;
        progress.endOfEpoch(report);
    }
    applyWaitingChanges(parameters, network, work);
    arrangeForRun(network, work, false);
    cells.publishLastIfMissed([&] { showVector(lastCounter, network, work, progress); });
    run.network = std::move(network);
    return run;
}

}  // namespace

BpnRun trainBackpropagation(const BpnParameters& parameters, const TrainingSet& data,
                            RandomSource& random, ProgressSink& progress) {
    checkTrainingSet(parameters, data);
    BpnWork work = prepareWork(parameters, data);
    BpnNetwork network = initialNetwork(parameters, work, random);
    const ThresholdChoice& choice = parameters.threshold;
    switch (choice.function) {
        case ThresholdKind::Linear:
            return runEpochs(LinearNode{choice.LinearSlope}, parameters, work, std::move(network),
                             progress);
        case ThresholdKind::Ramp:
            return runEpochs(RampNode{choice.RampBoundary}, parameters, work, std::move(network),
                             progress);
        case ThresholdKind::Step:
            return runEpochs(StepNode{choice.StepUpperBoundary, choice.StepLowerBoundary},
                             parameters, work, std::move(network), progress);
        case ThresholdKind::Logistic:
            return runEpochs(LogisticNode{}, parameters, work, std::move(network), progress);
        case ThresholdKind::Tanh:
            return runEpochs(TanhNode{}, parameters, work, std::move(network), progress);
        case ThresholdKind::RatioSquares:
        case ThresholdKind::NoneChosen:
            break;
    }
    return runEpochs(RatioSquaresNode{}, parameters, work, std::move(network), progress);
}

}  // namespace vornetica
