#include "train/autocorrelator.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/rounding.h"
#include "base/user_error.h"
#include "kernels/vector_kernels.h"
#include "train/network_snapshot.h"
#include "train/worked_calculation.h"

namespace vornetica {

namespace {

constexpr int kShownWidth = 6;
constexpr double kInt16Min = -32768.0;
constexpr double kInt16Max = 32767.0;
const char* const kRange = " is outside the 16-bit range -32768 to 32767";
const char* const kCounting = " (vectors and elements are counted from 1)";

bool fitsInt16(double value) {
    return value >= kInt16Min && value <= kInt16Max;
}

double identity(std::size_t i, std::size_t j) {
    return i == j ? 1.0 : 0.0;
}

std::string integerText(double value) {
    return std::to_string(static_cast<long long>(value));
}

std::string ordinal(std::size_t zeroBased) {
    return std::to_string(zeroBased + 1);
}

std::string vectorName(std::size_t p) {
    return "Training vector " + ordinal(p);
}

void checkInputSize(int inputSize) {
    if (inputSize < 1) {
        throw UserError("The input size of a discrete autocorrelator must be at least 1.");
    }
    if (inputSize > kDaMaxInputSize) {
        throw UserError("The input size " + std::to_string(inputSize) +
                        " of a discrete autocorrelator is above " +
                        std::to_string(kDaMaxInputSize) +
                        ": its matrix would not fit 16-bit counts.");
    }
}

// Every file value is taken as a 16-bit integer, rounded half to even.
Matrix<double> readVectors(std::size_t size, const TrainingSet& data) {
    const auto count = static_cast<std::size_t>(data.count < 0 ? 0 : data.count);
    if (data.inputs.rows() != count || (count != 0 && data.inputs.cols() != size)) {
        throw UserError("The training set does not match the network's input size.");
    }
    Matrix<double> vectors(count, size);
    for (std::size_t p = 0; p < count; ++p) {
        for (std::size_t i = 0; i < size; ++i) {
            try {
                vectors.at(p, i) = toInt16RoundingHalfEven(data.inputs.at(p, i));
            } catch (const UserError& error) {
                throw UserError(vectorName(p) + ", element " + ordinal(i) + ": " + error.what() +
                                kCounting);
            }
        }
    }
    return vectors;
}

// The straightforward order of the three 16-bit steps is: every product of the
// vector, then every difference, then every sum. The fast loop found that one of
// them leaves the range in row `failedRow`, whose cells already hold the new sums
// (rows above it fitted); this names the first that the three steps would meet.
[[noreturn]] void reportOverflow(const Matrix<double>& sums, std::size_t failedRow,
                                 std::span<const double> x, std::size_t p) {
    const std::size_t size = x.size();
    for (std::size_t i = 0; i < size; ++i) {
        for (std::size_t j = 0; j < size; ++j) {
            const double product = x[i] * x[j];
            if (!fitsInt16(product)) {
                throw UserError(vectorName(p) + ": the product of elements " + ordinal(i) +
                                " and " + ordinal(j) + ", " + integerText(product) + kRange +
                                kCounting + ".");
            }
        }
    }
    for (std::size_t i = 0; i < size; ++i) {
        for (std::size_t j = 0; j < size; ++j) {
            const double difference = x[i] * x[j] - identity(i, j);
            if (!fitsInt16(difference)) {
                throw UserError(vectorName(p) + ": the product of elements " + ordinal(i) +
                                " and " + ordinal(j) + " less the identity, " +
                                integerText(difference) + kRange + kCounting + ".");
            }
        }
    }
    for (std::size_t j = 0; j < size; ++j) {
        const double sum = sums.at(failedRow, j);
        if (!fitsInt16(sum)) {
            throw UserError(vectorName(p) + ": adding it to matrix element (" + ordinal(failedRow) +
                            ", " + ordinal(j) + ") gives " + integerText(sum) + ", which" + kRange +
                            kCounting + ".");
        }
    }
    throw UserError(vectorName(p) + " leaves the 16-bit range" + kCounting + ".");
}

// Every product, difference and sum of row i, checked one by one.
bool rowFits(std::span<const double> row, std::span<const double> x, std::size_t i) {
    for (std::size_t j = 0; j < x.size(); ++j) {
        const double product = x[i] * x[j];
        const double difference = product - identity(i, j);
        if (!fitsInt16(product) || !fitsInt16(difference) || !fitsInt16(row[j])) {
            return false;
        }
    }
    return true;
}

// T(i, j) = T(i, j) + (x_i * x_j - identity(i, j)) for row i. The values are whole
// numbers far inside a double's exact range, so the double arithmetic is the 16-bit
// arithmetic as long as every product, difference and sum is checked against the
// 16-bit range. The vector loop adds the products and marks any value outside it;
// the identity comes off the diagonal afterwards, so a mark there (or a row that
// only leaves the range by the identity) is settled by checking the row one value
// at a time. Returns false when something left the range.
bool addRow(std::span<double> row, std::span<const double> x, std::size_t i) {
    const bool marked = addOuterProductPart(x[i], x.data(), row.data(), x.size()) != 0;
    row[i] = row[i] - 1.0;
    return (!marked && fitsInt16(row[i])) || rowFits(row, x, i);
}

// The sums so far, as the 16-bit matrix they become; every one was checked to fit.
void copyCorrelations(const Matrix<double>& sums, TrainedNetwork& into) {
    Matrix<std::int16_t>& matrix = snapshotOf<DaNetwork>(into).CorrelationMatrix;
    if (matrix.rows() != sums.rows()) {
        matrix = Matrix<std::int16_t>(sums.rows(), sums.cols());
    }
    std::transform(sums.values().begin(), sums.values().end(), matrix.values().begin(),
                   [](double sum) { return static_cast<std::int16_t>(sum); });
}

// A vector someone watches: the matrix before it, the product less the identity it
// adds, and the matrix after it. The added values are whole numbers, so working
// them out again gives the very values the run added.
WorkedUnit explainVector(const Matrix<double>& before, const Matrix<double>& after,
                         std::span<const double> x) {
    const int size = static_cast<int>(x.size());
    WorkedUnit unit;
    unit.kind = NetworkKind::DA;
    unit.values.reserve(x.size() + 3 * x.size() * x.size());
    for (int i = 0; i < size; ++i) {
        unit.add("input", x[i], i);
    }
    for (int i = 0; i < size; ++i) {
        for (int j = 0; j < size; ++j) {
            unit.add("matrix_before", before.at(i, j), i, j);
            unit.add("product", x[i] * x[j] - identity(i, j), i, j);
            unit.add("matrix", after.at(i, j), i, j);
        }
    }
    return unit;
}

void showVector(ProgressSink& progress, std::size_t p, const Matrix<double>& sums) {
    const double vectorIndex = static_cast<double>(p);
    progress.showCells(ProgressGrid::Iterations, 0, {&vectorIndex, 1}, kShownWidth);
    progress.showCells(ProgressGrid::OutputValues, 0, sums.values(), kShownWidth);
}

}  // namespace

DaRun trainDiscreteAutocorrelator(int inputSize, const TrainingSet& data, ProgressSink& progress) {
    checkInputSize(inputSize);
    const auto size = static_cast<std::size_t>(inputSize);
    const Matrix<double> vectors = readVectors(size, data);

    // T is kept in doubles holding whole numbers, which is also what the grid shows.
    Matrix<double> sums(size, size);
    CellPublisher publisher(progress);
    SnapshotPublisher snapshots(progress);
    for (std::size_t p = 0; p < vectors.rows(); ++p) {
        const std::span<const double> x = vectors.row(p);
        const auto addVector = [&] {
            for (std::size_t i = 0; i < size; ++i) {
                if (!addRow(sums.row(i), x, i)) {
                    reportOverflow(sums, i, x, p);
                }
            }
        };
        const auto finishVector = [&] {
            publisher.write([&] { showVector(progress, p, sums); });
            snapshots.offer([&](TrainedNetwork& into) { copyCorrelations(sums, into); });
            EpochReport report;
            report.index = static_cast<int>(p);
            progress.endOfEpoch(report);
        };
        if (progress.unitsExplained()) [[unlikely]] {
            const Matrix<double> before = sums;
            addVector();
            WorkedUnit unit = explainVector(before, sums, x);
            unit.vector = static_cast<int>(p);
            unit.unit = static_cast<long>(p);
            progress.requestCells();  // the grids show the unit the run stops at
            finishVector();
            progress.unitWorked(std::move(unit));
        } else {
            addVector();
            finishVector();
        }
    }

    publisher.publishLastIfMissed([&] { showVector(progress, vectors.rows() - 1, sums); });

    DaRun run;
    run.network.CorrelationMatrix = Matrix<std::int16_t>(size, size);
    auto& cells = run.network.CorrelationMatrix.values();
    for (std::size_t c = 0; c < cells.size(); ++c) {
        cells[c] = static_cast<std::int16_t>(sums.values()[c]);
    }
    return run;
}

}  // namespace vornetica
