#include "train/autocorrelator.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "recall/recall_computations.h"
#include "settings/user_error.h"

namespace vornetica {

namespace {

constexpr int kShownWidth = 6;
constexpr std::int32_t kInt16Min = -32768;
constexpr std::int32_t kInt16Max = 32767;
const char* const kRange = " is outside the 16-bit range -32768 to 32767";
const char* const kCounting = " (vectors and elements are counted from 1)";

bool fitsInt16(std::int32_t value) {
    return value >= kInt16Min && value <= kInt16Max;
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
Matrix<std::int16_t> readVectors(std::size_t size, const TrainingSet& data) {
    const auto count = static_cast<std::size_t>(data.count < 0 ? 0 : data.count);
    if (data.inputs.rows() != count || (count != 0 && data.inputs.cols() != size)) {
        throw UserError("The training set does not match the network's input size.");
    }
    Matrix<std::int16_t> vectors(count, size);
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
// them leaves the range; this names the first that the three steps would meet.
[[noreturn]] void reportOverflow(const Matrix<std::int32_t>& sums, std::size_t failedRow,
                                 std::span<const std::int16_t> x, std::size_t p) {
    const std::size_t size = x.size();
    for (std::size_t i = 0; i < size; ++i) {
        for (std::size_t j = 0; j < size; ++j) {
            const std::int32_t product = std::int32_t{x[i]} * x[j];
            if (!fitsInt16(product)) {
                throw UserError(vectorName(p) + ": the product of elements " + ordinal(i) +
                                " and " + ordinal(j) + ", " + std::to_string(product) + kRange +
                                kCounting + ".");
            }
        }
    }
    for (std::size_t i = 0; i < size; ++i) {
        for (std::size_t j = 0; j < size; ++j) {
            const std::int32_t difference = std::int32_t{x[i]} * x[j] - (i == j ? 1 : 0);
            if (!fitsInt16(difference)) {
                throw UserError(vectorName(p) + ": the product of elements " + ordinal(i) +
                                " and " + ordinal(j) + " less the identity, " +
                                std::to_string(difference) + kRange + kCounting + ".");
            }
        }
    }
    for (std::size_t j = 0; j < size; ++j) {
        const std::int32_t identity = failedRow == j ? 1 : 0;
        const std::int32_t sum =
            sums.at(failedRow, j) + (std::int32_t{x[failedRow]} * x[j] - identity);
        if (!fitsInt16(sum)) {
            throw UserError(vectorName(p) + ": adding it to matrix element (" + ordinal(failedRow) +
                            ", " + ordinal(j) + ") gives " + std::to_string(sum) + ", which" +
                            kRange + kCounting + ".");
        }
    }
    throw UserError(vectorName(p) + " leaves the 16-bit range" + kCounting + ".");
}

// T(i, j) = T(i, j) + (x_i * x_j - identity(i, j)) for one row, each product,
// difference and sum checked against 16 bits; nothing is written unless the whole
// row fits. Returns false when something left the range.
bool addRow(std::span<std::int32_t> sums, std::span<const std::int16_t> x, std::size_t i,
            std::vector<std::int32_t>& newRow) {
    const std::int32_t xi = x[i];
    std::int32_t outOfRange = 0;
    for (std::size_t j = 0; j < x.size(); ++j) {
        const std::int32_t product = xi * x[j];
        const std::int32_t difference = product - static_cast<std::int32_t>(j == i);
        const std::int32_t sum = sums[j] + difference;
        outOfRange |= static_cast<std::int32_t>(!fitsInt16(product)) |
                      static_cast<std::int32_t>(!fitsInt16(difference)) |
                      static_cast<std::int32_t>(!fitsInt16(sum));
        newRow[j] = sum;
    }
    if (outOfRange != 0) {
        return false;
    }
    std::copy(newRow.begin(), newRow.end(), sums.begin());
    return true;
}

}  // namespace

DaRun trainDiscreteAutocorrelator(int inputSize, const TrainingSet& data, ProgressSink& progress) {
    checkInputSize(inputSize);
    const auto size = static_cast<std::size_t>(inputSize);
    const Matrix<std::int16_t> vectors = readVectors(size, data);

    // The sums stay within 16 bits (every step is checked); 32-bit cells let the
    // checks run without overflowing themselves.
    Matrix<std::int32_t> sums(size, size);
    std::vector<std::int32_t> newRow(size);
    std::vector<double> shown(size * size, 0.0);

    DaRun run;
    for (std::size_t p = 0; p < vectors.rows(); ++p) {
        const std::span<const std::int16_t> x = vectors.row(p);
        for (std::size_t i = 0; i < size; ++i) {
            if (!addRow(sums.row(i), x, i, newRow)) {
                reportOverflow(sums, i, x, p);
            }
            double* shownRow = shown.data() + i * size;
            for (std::size_t j = 0; j < size; ++j) {
                shownRow[j] = static_cast<double>(newRow[j]);
            }
        }
        const double vectorIndex = static_cast<double>(p);
        progress.showCells(ProgressGrid::Iterations, 0, {&vectorIndex, 1}, kShownWidth);
        progress.showCells(ProgressGrid::OutputValues, 0, shown, kShownWidth);
        EpochReport report;
        report.index = static_cast<int>(p);
        progress.endOfEpoch(report);
    }

    run.network.CorrelationMatrix = Matrix<std::int16_t>(size, size);
    std::vector<std::int16_t>& cells = run.network.CorrelationMatrix.values();
    for (std::size_t c = 0; c < cells.size(); ++c) {
        cells[c] = static_cast<std::int16_t>(sums.values()[c]);
    }
    return run;
}

}  // namespace vornetica
