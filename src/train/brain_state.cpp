#include "train/brain_state.h"

#include <cstddef>
#include <limits>
#include <span>
#include <vector>

#include "base/user_error.h"
#include "kernels/vector_kernels.h"
#include "train/network_snapshot.h"
#include "train/worked_calculation.h"

namespace vornetica {

namespace {

constexpr int kShownWidth = 6;

void checkShapes(const BsbParameters& parameters, const TrainingSet& data) {
    if (parameters.inputSize < 1) {
        throw UserError("The input size of a brain-state-in-a-box network must be at least 1.");
    }
    const auto count = static_cast<std::size_t>(data.count < 0 ? 0 : data.count);
    if (data.inputs.rows() != count ||
        (count != 0 && data.inputs.cols() != std::size_t(parameters.inputSize))) {
        throw UserError("The training set does not match the network's input size.");
    }
}

// Initial weights in [-1, 1), drawn with i outer and j inner, diagonal included.
void drawWeights(Matrix<double>& weights, RandomSource& random) {
    for (double& weight : weights.values()) {
        weight = 2.0 * static_cast<double>(random.next()) - 1.0;
    }
}

// y[i] = sum over ascending m of W[i][m] * x[m]. Only row i changes in unit i's
// correction, so every y may be taken from the weights as they stand before the
// pair. Eight rows run side by side: eight independent sums, each still in
// ascending m, instead of one chain that waits on every addition.
void computeResponses(const Matrix<double>& weights, std::span<const double> x,
                      std::vector<double>& y) {
    constexpr std::size_t kRowsAtOnce = 8;
    const std::size_t size = weights.rows();
    std::size_t i = 0;
    for (; i + kRowsAtOnce <= size; i += kRowsAtOnce) {
        const double* rows[kRowsAtOnce];
        double sums[kRowsAtOnce];
        for (std::size_t r = 0; r < kRowsAtOnce; ++r) {
            rows[r] = weights.row(i + r).data();
            sums[r] = 0.0;
        }
        for (std::size_t m = 0; m < size; ++m) {
            const double xm = x[m];
            for (std::size_t r = 0; r < kRowsAtOnce; ++r) {
                sums[r] = sums[r] + rows[r][m] * xm;
            }
        }
        for (std::size_t r = 0; r < kRowsAtOnce; ++r) {
            y[i + r] = sums[r];
        }
    }
    for (; i < size; ++i) {
        const double* row = weights.row(i).data();
        double sum = 0.0;
        for (std::size_t m = 0; m < size; ++m) {
            sum = sum + row[m] * x[m];
        }
        y[i] = sum;
    }
}

// Rows shorter than this take their changes here: a call into the vector kernels
// would cost more than the row itself.
constexpr std::size_t kShortRow = 16;

// Error correction for one pair: e[i] = x[i] - y[i], then
// W[i][j] = W[i][j] + (Alpha * e[i]) * x[j].
void correctWeights(Matrix<double>& weights, std::span<const double> x, double alpha,
                    std::vector<double>& y, std::vector<double>& errors) {
    computeResponses(weights, x, y);
    const std::size_t size = x.size();
    for (std::size_t i = 0; i < weights.rows(); ++i) {
        errors[i] = x[i] - y[i];
        const double change = alpha * errors[i];
        double* row = weights.row(i).data();
        if (size < kShortRow) {
            for (std::size_t j = 0; j < size; ++j) {
                row[j] = row[j] + change * x[j];
            }
        } else {
            addScaled(change, x.data(), row, size);
        }
    }
}

// A pair someone watches: the same correction, with the weights as they were, each
// response, error and change, and the weights after it recorded.
WorkedUnit explainPair(Matrix<double>& weights, std::span<const double> x, double alpha,
                       std::vector<double>& y, std::vector<double>& errors) {
    const int size = static_cast<int>(x.size());
    WorkedUnit unit;
    unit.kind = NetworkKind::BSB;
    unit.values.reserve(1 + 3 * x.size() + 3 * x.size() * x.size());
    unit.add("alpha", alpha);
    for (int i = 0; i < size; ++i) {
        unit.add("input", x[i], i);
    }
    for (int i = 0; i < size; ++i) {
        for (int j = 0; j < size; ++j) {
            unit.add("weight_before", weights.at(i, j), i, j);
        }
    }
    correctWeights(weights, x, alpha, y, errors);
    for (int i = 0; i < size; ++i) {
        unit.add("response", y[i], i);
        unit.add("error", errors[i], i);
        const double change = alpha * errors[i];
        for (int j = 0; j < size; ++j) {
            unit.add("weight_change", change * x[j], i, j);
            unit.add("weight", weights.at(i, j), i, j);
        }
    }
    return unit;
}

struct PassErrors {
    double largest = -std::numeric_limits<double>::infinity();
    double sumOfSquares = 0.0;
    long count = 0;
};

// Only a signed error above the threshold asks for another pass.
bool noteErrors(const std::vector<double>& errors, double threshold, PassErrors& pass) {
    bool above = false;
    for (const double error : errors) {
        if (error > threshold) {
            above = true;
        }
        if (error > pass.largest) {
            pass.largest = error;
        }
        pass.sumOfSquares = pass.sumOfSquares + error * error;
    }
    pass.count += static_cast<long>(errors.size());
    return above;
}

void reportPass(ProgressSink& progress, int pass, const PassErrors& errors) {
    EpochReport report;
    report.index = pass;
    report.largestError = errors.largest;
    report.meanSquaredError = errors.sumOfSquares / static_cast<double>(errors.count);
    progress.endOfEpoch(report);
}

// The pair, the pass counter and the pair's errors; the errors are final once the
// correction is done, so showing the three after it shows what the steps would.
void showPair(ProgressSink& progress, std::span<const double> x, int pass,
              const std::vector<double>& errors) {
    progress.showCells(ProgressGrid::InputValues, 0, x, kShownWidth);
    const double shownPass = pass;
    progress.showCells(ProgressGrid::Iterations, 0, {&shownPass, 1}, kShownWidth);
    progress.showCells(ProgressGrid::ErrorValues, 0, errors, kShownWidth);
}

}  // namespace

BsbRun trainBrainStateInABox(const BsbParameters& parameters, const TrainingSet& data,
                             RandomSource& random, ProgressSink& progress) {
    checkShapes(parameters, data);
    const auto size = static_cast<std::size_t>(parameters.inputSize);
    const int pairs = data.count < 0 ? 0 : data.count;

    BsbRun run;
    Matrix<double>& W = run.network.Weights;
    W = Matrix<double>(size, size);
    drawWeights(W, random);

    std::vector<double> y(size);
    std::vector<double> errors(size, 0.0);

    CellPublisher cells(progress);
    SnapshotPublisher snapshots(progress);
    int lastPair = 0;  // the pair and pass that wrote the grids last
    int lastPass = 0;
    int pass = 0;  // completed passes, shown during the next one
    bool errorMark = false;
    do {
        errorMark = false;
        PassErrors passErrors;
        for (int p = 0; p < pairs; ++p) {
            const std::span<const double> x = data.inputs.row(std::size_t(p));
            const auto finishPair = [&] {
                if (noteErrors(errors, parameters.ErrorThreshold, passErrors)) {
                    errorMark = true;
                }
                lastPair = p;
                lastPass = pass;
                cells.write([&] { showPair(progress, x, pass, errors); });
                snapshots.offer(
                    [&](TrainedNetwork& into) { snapshotOf<BsbNetwork>(into) = run.network; });
            };
            if (progress.unitsExplained()) [[unlikely]] {
                WorkedUnit unit = explainPair(W, x, parameters.Alpha, y, errors);
                unit.epoch = pass;
                unit.vector = p;
                unit.unit = static_cast<long>(pass) * pairs + p;
                progress.requestCells();  // the grids show the unit the run stops at
                finishPair();
                progress.unitWorked(std::move(unit));
            } else {
                correctWeights(W, x, parameters.Alpha, y, errors);
                finishPair();
            }

            const bool runEndsHere = p + 1 == pairs && (!errorMark || pass + 1 >= kBsbPassLimit);
            if (!runEndsHere && progress.stopRequested()) {
                run.stopped = true;
                break;
            }
        }
        if (pairs > 0) {
            reportPass(progress, pass, passErrors);
        }
        ++pass;
    } while (errorMark && !run.stopped && pass < kBsbPassLimit);

    cells.publishLastIfMissed(
        [&] { showPair(progress, data.inputs.row(std::size_t(lastPair)), lastPass, errors); });
    run.passes = pass;
    run.passLimitReached = errorMark && !run.stopped;
    return run;
}

}  // namespace vornetica
