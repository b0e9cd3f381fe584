#include "train/counterpropagation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "base/user_error.h"
#include "kernels/vector_kernels.h"
#include "train/competition.h"
#include "train/network_snapshot.h"
#include "train/worked_calculation.h"

namespace vornetica {

double kohonenRate(double v) {
    return 0.2 * (1.0 - v / 10000.0);
}

namespace {

constexpr int kShownWidth = 6;

void checkShapes(const CpnParameters& parameters, const TrainingSet& data) {
    if (parameters.inputSize < 1 || parameters.hiddenSize < 1 || parameters.outputSize < 1) {
        throw UserError("Every size of a counterpropagation network must be at least 1.");
    }
    const auto count = static_cast<std::size_t>(data.count < 0 ? 0 : data.count);
    const bool inputsFit = data.inputs.rows() == count &&
                           (count == 0 || data.inputs.cols() == std::size_t(parameters.inputSize));
    const bool outputsFit =
        data.outputs.rows() == count &&
        (count == 0 || data.outputs.cols() == std::size_t(parameters.outputSize));
    if (!inputsFit || !outputsFit) {
        throw UserError("The training set does not match the network's input and output sizes.");
    }
}

// The weights start in [0, 1), drawn row by row: U with i outer, then V with j outer.
void drawWeights(Matrix<double>& weights, RandomSource& random) {
    for (double& weight : weights.values()) {
        weight = static_cast<double>(random.next());
    }
}

// A length of 0 has no direction to keep: dividing by 1 leaves such a vector as it
// is (an all-zero input stays all zeros) instead of filling it with NaN.
double divisorFor(double length) {
    return length == 0.0 ? 1.0 : length;
}

void normaliseInput(std::span<const double> raw, std::vector<double>& x) {
    double sum = 0.0;
    for (const double value : raw) {
        sum = sum + value * value;
    }
    const double divisor = divisorFor(std::sqrt(sum));
    for (std::size_t i = 0; i < raw.size(); ++i) {
        x[i] = raw[i] / divisor;
    }
}

// Column lengths accumulate row by row, so each column still sums over ascending i.
void scaleColumnsToUnitLength(Matrix<double>& weights, std::vector<double>& lengths) {
    const std::size_t columns = weights.cols();
    std::fill(lengths.begin(), lengths.end(), 0.0);
    for (std::size_t i = 0; i < weights.rows(); ++i) {
        addSquares(weights.row(i).data(), lengths.data(), columns);
    }
    takeSquareRoots(lengths.data(), columns);
    for (double& length : lengths) {
        length = divisorFor(length);
    }
    for (std::size_t i = 0; i < weights.rows(); ++i) {
        divideElementwise(weights.row(i).data(), lengths.data(), columns);
    }
}

// The squared Euclidean distance from x to every hidden unit's weight column,
// accumulated across a whole row of U at a time (contiguous); each unit still sums
// over ascending i from 0.0.
void computeSquaredDistances(const Matrix<double>& weights, const std::vector<double>& x,
                             std::vector<double>& squared) {
    std::fill(squared.begin(), squared.end(), 0.0);
    for (std::size_t i = 0; i < weights.rows(); ++i) {
        addSquaredDifferences(x[i], weights.row(i).data(), squared.data(), squared.size());
    }
}

// The Kohonen step moves the winner's column towards x, then scales it back to unit
// length. The strided column is visited twice: once to move it and sum its squares,
// once to scale it and sum its activity h = x . U[.][w] (each sum over ascending i).
double kohonenStepAndActivity(Matrix<double>& weights, std::size_t winner,
                              const std::vector<double>& x, int timeStep) {
    const double rate = kohonenRate(static_cast<double>(timeStep));
    double squares = 0.0;
    for (std::size_t i = 0; i < weights.rows(); ++i) {
        double& weight = weights.at(i, winner);
        weight = weight + rate * (x[i] - weight);
        squares = squares + weight * weight;
    }
    const double divisor = divisorFor(std::sqrt(squares));
    double activity = 0.0;
    for (std::size_t i = 0; i < weights.rows(); ++i) {
        double& weight = weights.at(i, winner);
        weight = weight / divisor;
        activity = activity + x[i] * weight;
    }
    return activity;
}

struct PairChanges {
    double largest = 0.0;
    double sumOfSquares = 0.0;
    long count = 0;
};

// Gamma is the winner's outstar learning factor and Beta its decay.
void outstarStep(std::span<double> outstar, std::span<const double> target, double activity,
                 const CpnParameters& parameters, std::vector<double>& deltas,
                 PairChanges& changes) {
    for (std::size_t k = 0; k < outstar.size(); ++k) {
        const double delta = parameters.Gamma * activity * target[k] - parameters.Beta * outstar[k];
        outstar[k] = outstar[k] + delta;
        deltas[k] = delta;
        const double magnitude = std::abs(delta);
        if (magnitude > changes.largest) {
            changes.largest = magnitude;
        }
        changes.sumOfSquares = changes.sumOfSquares + delta * delta;
    }
    changes.count += static_cast<long>(outstar.size());
}

// A time step someone watches: the same steps, with every value they use and make
// recorded. The moved winner column and its length are worked out again from the
// column as it was, by the same expressions the step uses, so they are its bits.
WorkedUnit explainTimeStep(Matrix<double>& U, Matrix<double>& V, const std::vector<double>& x,
                           std::span<const double> target, int timeStep,
                           const CpnParameters& parameters, std::vector<double>& squared,
                           std::vector<double>& deltas, PairChanges& changes, std::size_t& winner) {
    const int I = static_cast<int>(U.rows()), H = static_cast<int>(U.cols()),
              O = static_cast<int>(V.cols());
    WorkedUnit unit;
    unit.kind = NetworkKind::CPN;
    unit.values.reserve(6 + U.rows() * U.cols() + U.cols() + 3 * U.rows() + 4 * V.cols());
    unit.add("beta", parameters.Beta);
    unit.add("gamma", parameters.Gamma);
    unit.add("time_step", timeStep);
    for (int i = 0; i < I; ++i) {
        unit.add("input", x[i], i);
    }
    for (int k = 0; k < O; ++k) {
        unit.add("target", target[k], k);
    }
    for (int i = 0; i < I; ++i) {
        for (int j = 0; j < H; ++j) {
            unit.add("kohonen_weight_before", U.at(i, j), i, j);
        }
    }
    computeSquaredDistances(U, x, squared);
    for (int j = 0; j < H; ++j) {
        unit.add("distance", std::sqrt(squared[j]), j);
    }
    winner = closestUnit(squared);
    const int w = static_cast<int>(winner);
    unit.add("winner", std::sqrt(squared[winner]), w);
    const double rate = kohonenRate(static_cast<double>(timeStep));
    unit.add("rate", rate);
    double squares = 0.0;
    for (int i = 0; i < I; ++i) {
        const double weight = U.at(i, winner);
        const double moved = weight + rate * (x[i] - weight);
        squares = squares + moved * moved;
        unit.add("kohonen_moved", moved, i, w);
    }
    unit.add("kohonen_length", divisorFor(std::sqrt(squares)), w);
    const double activity = kohonenStepAndActivity(U, winner, x, timeStep);
    for (int i = 0; i < I; ++i) {
        unit.add("kohonen_weight", U.at(i, winner), i, w);
    }
    unit.add("activity", activity, w);
    for (int k = 0; k < O; ++k) {
        unit.add("outstar_weight_before", V.at(winner, k), w, k);
    }
    outstarStep(V.row(winner), target, activity, parameters, deltas, changes);
    for (int k = 0; k < O; ++k) {
        unit.add("outstar_change", deltas[k], w, k);
        unit.add("outstar_weight", V.at(winner, k), w, k);
    }
    return unit;
}

void showPair(ProgressSink& progress, const std::vector<double>& x, int pair) {
    progress.showCells(ProgressGrid::InputValues, 0, x, kShownWidth);
    const double pairIndex = pair;
    progress.showCells(ProgressGrid::Iterations, 0, {&pairIndex, 1}, kShownWidth);
}

// The change of every output weight of the winner, and its outstar as it now stands.
void showStep(ProgressSink& progress, const std::vector<double>& deltas, const Matrix<double>& V,
              std::size_t winner) {
    progress.showCells(ProgressGrid::ErrorValues, 0, deltas, kShownWidth);
    progress.showCells(ProgressGrid::OutputValues, 0, V.row(winner), kShownWidth);
}

}  // namespace

CpnRun trainCounterpropagation(const CpnParameters& parameters, const TrainingSet& data,
                               RandomSource& random, ProgressSink& progress) {
    checkShapes(parameters, data);
    const auto inputs = static_cast<std::size_t>(parameters.inputSize);
    const auto hidden = static_cast<std::size_t>(parameters.hiddenSize);
    const auto outputs = static_cast<std::size_t>(parameters.outputSize);
    const int pairs = data.count < 0 ? 0 : data.count;

    CpnRun run;
    Matrix<double>& U = run.network.HiddenWeights;
    Matrix<double>& V = run.network.OutputWeights;
    U = Matrix<double>(inputs, hidden);
    V = Matrix<double>(hidden, outputs);
    drawWeights(U, random);
    drawWeights(V, random);
    run.wins.assign(hidden, 0);

    std::vector<double> x(inputs);
    std::vector<double> columnLengths(hidden);
    std::vector<double> squaredDistances(hidden);
    std::vector<double> deltas(outputs);

    CellPublisher cells(progress);
    SnapshotPublisher snapshots(progress);
    int lastPair = 0;  // the pair and winner that wrote the grids last
    std::size_t lastWinner = 0;
    bool anyStep = false;
    for (int p = 0; p < pairs; ++p) {
        normaliseInput(data.inputs.row(std::size_t(p)), x);
        lastPair = p;
        cells.write([&] { showPair(progress, x, p); });

        scaleColumnsToUnitLength(U, columnLengths);

        PairChanges changes;
        for (int t = 1; t < parameters.NumberTimeSteps; ++t) {
            const auto finishStep = [&](std::size_t winner) {
                lastWinner = winner;
                ++run.wins[winner];
                anyStep = true;
                cells.write([&] { showStep(progress, deltas, V, winner); });
            };
            if (progress.unitsExplained()) [[unlikely]] {
                std::size_t winner = 0;
                WorkedUnit unit =
                    explainTimeStep(U, V, x, data.outputs.row(std::size_t(p)), t, parameters,
                                    squaredDistances, deltas, changes, winner);
                unit.epoch = t - 1;
                unit.vector = p;
                unit.unit = static_cast<long>(p) * (parameters.NumberTimeSteps - 1) + (t - 1);
                progress.requestCells();  // the grids show the unit the run stops at
                finishStep(winner);
                progress.unitWorked(std::move(unit));
                continue;
            }
            computeSquaredDistances(U, x, squaredDistances);
            const std::size_t winner = closestUnit(squaredDistances);
            const double activity = kohonenStepAndActivity(U, winner, x, t);
            outstarStep(V.row(winner), data.outputs.row(std::size_t(p)), activity, parameters,
                        deltas, changes);
            finishStep(winner);
        }

        EpochReport report;
        report.index = p;
        report.largestError = changes.largest;
        report.meanSquaredError =
            changes.count == 0 ? 0.0 : changes.sumOfSquares / static_cast<double>(changes.count);
        progress.endOfEpoch(report);
        snapshots.offer([&](TrainedNetwork& into) { snapshotOf<CpnNetwork>(into) = run.network; });

        if (p + 1 < pairs && progress.stopRequested()) {
            run.stopped = true;
            break;
        }
    }
    // Nothing changes x, the changes or V after the last step, so they are still what
    // the last writes showed.
    cells.publishLastIfMissed([&] {
        showPair(progress, x, lastPair);
        if (anyStep) {
            showStep(progress, deltas, V, lastWinner);
        }
    });
    return run;
}

}  // namespace vornetica
