#include "train/backpropagation.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "neuron/neuron_functions.h"
#include "settings/user_error.h"

namespace vornetica {
namespace {

// The kernels below keep every sum in its own order (from 0.0, ascending index)
// and only run independent sums side by side, so their results are the bits of
// the plain loops; the compiler may vectorise them because nothing fuses or
// reorders an addition (the build forbids contraction).

// sum[n] += row[n] * factor for every n: one step of many independent sums.
void addScaledRow(double* __restrict sum, const double* __restrict row, double factor,
                  std::size_t count) {
    for (std::size_t n = 0; n < count; ++n) {
        sum[n] += row[n] * factor;
    }
}

// row[n] += factor * signal[n]: one row of weight changes, added in place.
void addChangesToRow(double* __restrict row, double factor, const double* __restrict signal,
                     std::size_t count) {
    for (std::size_t n = 0; n < count; ++n) {
        row[n] += factor * signal[n];
    }
}

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
struct LogisticNode {
    double operator()(double x) const { return LogisticThreshold(x); }
};
struct TanhNode {
    double operator()(double x) const { return TanhThreshold(x); }
};
struct RatioSquaresNode {
    double operator()(double x) const { return RatioSquaresThreshold(x); }
};

// Everything one run needs, allocated before the first epoch so the epochs
// themselves allocate nothing.
struct BpnWork {
    std::size_t I, H, O, P;
    Matrix<double> X;                 // P x I, inputs divided by InputScale
    Matrix<double> T;                 // P x O, targets divided by OutputScale
    Matrix<double> D;                 // P x O, output error signals of the latest pass
    std::vector<double> hidden;       // h, the hidden nets first
    std::vector<double> output;       // o, the output nets first
    std::vector<double> hiddenError;  // e
};

Matrix<double> scaledCopy(const Matrix<double>& values, std::size_t rows, std::size_t cols,
                          double scale) {
    Matrix<double> scaled(rows, cols);
    for (std::size_t r = 0; r < rows; ++r) {
        for (std::size_t c = 0; c < cols; ++c) {
            scaled.at(r, c) = values.at(r, c) / scale;
        }
    }
    return scaled;
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
    work.X = scaledCopy(data.inputs, work.P, work.I, parameters.InputScale);
    work.T = scaledCopy(data.outputs, work.P, work.O, parameters.OutputScale);
    work.D = Matrix<double>(work.P, work.O);
    work.hidden.resize(work.H);
    work.output.resize(work.O);
    work.hiddenError.resize(work.H);
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

template <typename Node>
void computeHiddenLayer(const Node& node, const BpnNetwork& network, const double* x,
                        BpnWork& work) {
    double* net = work.hidden.data();
    for (std::size_t j = 0; j < work.H; ++j) {
        net[j] = 0.0;
    }
    for (std::size_t i = 0; i < work.I; ++i) {
        addScaledRow(net, network.HiddenWeights.row(i).data(), x[i], work.H);
    }
    for (std::size_t j = 0; j < work.H; ++j) {
        net[j] = node(net[j] + network.HiddenThresholds[j]);
    }
}

template <typename Node>
void computeOutputLayer(const Node& node, const BpnNetwork& network, BpnWork& work) {
    double* net = work.output.data();
    for (std::size_t k = 0; k < work.O; ++k) {
        net[k] = 0.0;
    }
    // h[j] * W[j][k] and W[j][k] * h[j] are the same product.
    for (std::size_t j = 0; j < work.H; ++j) {
        addScaledRow(net, network.OutputWeights.row(j).data(), work.hidden[j], work.O);
    }
    for (std::size_t k = 0; k < work.O; ++k) {
        net[k] = node(net[k] + network.OutputThresholds[k]);
    }
}

void computeOutputErrors(const BpnWork& work, const double* target, double* D) {
    for (std::size_t k = 0; k < work.O; ++k) {
        const double o = work.output[k];
        D[k] = ((1.0 - o) * o) * (target[k] - o);
    }
}

// The hidden error signals need each output weight row before its update; each row
// is summed over ascending k and then updated, four rows at a time so that four
// independent sums overlap.
void backPropagateAndUpdateOutputWeights(double Alpha, BpnNetwork& network, const double* D,
                                         BpnWork& work) {
    const std::size_t O = work.O;
    const double* h = work.hidden.data();
    double* e = work.hiddenError.data();
    std::size_t j = 0;
    for (; j + 4 <= work.H; j += 4) {
        const double* w0 = network.OutputWeights.row(j).data();
        const double* w1 = w0 + O;
        const double* w2 = w1 + O;
        const double* w3 = w2 + O;
        double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
        for (std::size_t k = 0; k < O; ++k) {
            s0 += D[k] * w0[k];
            s1 += D[k] * w1[k];
            s2 += D[k] * w2[k];
            s3 += D[k] * w3[k];
        }
        const double sums[4] = {s0, s1, s2, s3};
        for (std::size_t n = 0; n < 4; ++n) {
            e[j + n] = ((1.0 - h[j + n]) * h[j + n]) * sums[n];
            addChangesToRow(network.OutputWeights.row(j + n).data(), Alpha * h[j + n], D, O);
        }
    }
    for (; j < work.H; ++j) {
        double* w = network.OutputWeights.row(j).data();
        double sum = 0.0;
        for (std::size_t k = 0; k < O; ++k) {
            sum += D[k] * w[k];
        }
        e[j] = ((1.0 - h[j]) * h[j]) * sum;
        addChangesToRow(w, Alpha * h[j], D, O);
    }
}

void updateHiddenWeights(double Beta, BpnNetwork& network, const double* x, BpnWork& work) {
    for (std::size_t i = 0; i < work.I; ++i) {
        addChangesToRow(network.HiddenWeights.row(i).data(), Beta * x[i], work.hiddenError.data(),
                        work.H);
    }
}

void updateThresholds(std::vector<double>& thresholds, double rate, const double* signal) {
    for (std::size_t n = 0; n < thresholds.size(); ++n) {
        thresholds[n] += rate * signal[n];
    }
}

template <typename Node>
void trainVector(const Node& node, const BpnParameters& parameters, std::size_t p, int counter,
                 BpnNetwork& network, BpnWork& work, ProgressSink& progress) {
    const double* x = work.X.row(p).data();
    double* D = work.D.row(p).data();
    computeHiddenLayer(node, network, x, work);
    progress.showCells(ProgressGrid::InputValues, 0, work.X.row(p), 5);
    progress.showCells(ProgressGrid::InputNodes, 0, work.X.row(p), 5);
    const double shownCounter = counter;
    progress.showCells(ProgressGrid::Iterations, 0, {&shownCounter, 1}, 5);
    computeOutputLayer(node, network, work);
    progress.showCells(ProgressGrid::OutputValues, 0, work.output, 6);
    computeOutputErrors(work, work.T.row(p).data(), D);
    progress.showCells(ProgressGrid::ErrorValues, 0, work.D.row(p), 6);
    backPropagateAndUpdateOutputWeights(parameters.Alpha, network, D, work);
    updateThresholds(network.OutputThresholds, parameters.Alpha, D);
    progress.showCells(ProgressGrid::OutputNodes, 0, network.OutputThresholds, 6);
    updateHiddenWeights(parameters.Beta, network, x, work);
    updateThresholds(network.HiddenThresholds, parameters.Beta, work.hiddenError.data());
    progress.showCells(ProgressGrid::HiddenNodes, 0, network.HiddenThresholds, 6);
}

// The stop test reads the signed error signals: only one above the threshold keeps
// the run going. The report gives the largest signed signal and the mean square.
bool anyErrorAbove(const BpnWork& work, double ErrorThreshold, int epoch, EpochReport& report) {
    bool above = false;
    double largest = 0.0;
    double squares = 0.0;
    const std::vector<double>& D = work.D.values();
    for (std::size_t n = 0; n < D.size(); ++n) {
        if (D[n] > ErrorThreshold) {
            above = true;
        }
        if (n == 0 || D[n] > largest) {
            largest = D[n];
        }
        squares += D[n] * D[n];
    }
    report.index = epoch;
    report.largestError = largest;
    report.meanSquaredError = D.empty() ? 0.0 : squares / static_cast<double>(D.size());
    return above;
}

template <typename Node>
BpnRun runEpochs(const Node& node, const BpnParameters& parameters, BpnWork& work,
                 BpnNetwork network, ProgressSink& progress) {
    BpnRun run;
    // Widened so that MaxIterations up to 32767 works; the values shown stay the same.
    int counter = 0;
    bool continues = true;
    while (continues) {
        ++run.epochs;
        for (std::size_t p = 0; p < work.P; ++p) {
            trainVector(node, parameters, p, counter, network, work, progress);
            if (progress.stopRequested()) {
                run.stopped = true;
                run.network = std::move(network);
                return run;
            }
        }
        EpochReport report;
        continues = anyErrorAbove(work, parameters.ErrorThreshold, counter, report);
        if (counter > parameters.MaxIterations) {
            continues = false;
        }
        ++counter;
        progress.endOfEpoch(report);
    }
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
