#include "kernels/vector_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "kernels/kernel_level.h"

// The default build stays portable; the few hot loops get a copy per vector unit
// (kernel_level.h).

namespace vornetica {

namespace {

VORNETICA_KERNEL_BODY void addSquaredDifferencesBody(double x, const double* __restrict u,
                                                     double* __restrict acc, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        const double difference = x - u[j];
        acc[j] = acc[j] + difference * difference;
    }
}

VORNETICA_KERNEL_BODY void addSquaresBody(const double* __restrict u, double* __restrict acc,
                                          std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        acc[j] = acc[j] + u[j] * u[j];
    }
}

VORNETICA_KERNEL_BODY void addScaledBody(double c, const double* __restrict v,
                                         double* __restrict acc, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        acc[j] = acc[j] + c * v[j];
    }
}

VORNETICA_KERNEL_BODY void productsBody(double c, const double* __restrict v,
                                        double* __restrict out, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        out[j] = c * v[j];
    }
}

// No restrict on error and signal: the hidden signals are scaled in place.
VORNETICA_KERNEL_BODY void logisticSignalsBody(const double* __restrict y, const double* error,
                                               double* signal, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        signal[j] = ((1.0 - y[j]) * y[j]) * error[j];
    }
}

VORNETICA_KERNEL_BODY void logisticOutputSignalsBody(const double* __restrict y,
                                                     const double* __restrict target,
                                                     double* __restrict signal, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        signal[j] = ((1.0 - y[j]) * y[j]) * (target[j] - y[j]);
    }
}

VORNETICA_KERNEL_BODY void takeSquareRootsBody(double* v, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        v[j] = std::sqrt(v[j]);
    }
}

VORNETICA_KERNEL_BODY void divideElementwiseBody(double* __restrict v,
                                                 const double* __restrict divisors, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        v[j] = v[j] / divisors[j];
    }
}

VORNETICA_KERNEL_BODY void quotientsBody(const double* __restrict v, double divisor,
                                         double* __restrict out, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        out[j] = v[j] / divisor;
    }
}

// Whole numbers up to 2^31 in magnitude: v + 0.5 is exact, and |v + 0.5| > 32767.5
// holds exactly when v lies outside -32768 to 32767. The marks are or-ed, not
// counted, so no addition chain holds up the loop.
VORNETICA_KERNEL_BODY long addOuterProductPartBody(double x, const double* __restrict v,
                                                   double* __restrict row, std::size_t n) {
    long outOfRange = 0;
    for (std::size_t j = 0; j < n; ++j) {
        const double product = x * v[j];
        const double sum = row[j] + product;
        row[j] = sum;
        outOfRange |= static_cast<long>(std::abs(product + 0.5) > 32767.5) |
                      static_cast<long>(std::abs(sum + 0.5) > 32767.5);
    }
    return outOfRange;
}

// Eight doubles side by side: one register of the widest unit, two or four of the
// narrower ones.
typedef double EightLanes __attribute__((vector_size(8 * sizeof(double))));

// The columns [start, start + width) of addWeightedRows in one pass over the rows,
// where width is more than 8 * (Strips - 1) and at most 8 * Strips. A strip of
// fewer than eight columns is loaded whole all the same, taking the next row's
// first values into lanes that are never stored; where that would reach past the
// matrix, the row's values are copied into a padded row first.
template <int Strips>
VORNETICA_KERNEL_BODY void addWeightedBlock(const double* __restrict M, std::size_t rows,
                                            std::size_t cols, std::size_t start, std::size_t width,
                                            const double* __restrict factor,
                                            double* __restrict acc) {
    constexpr std::size_t kWidth = 8 * Strips;
    double padded[kWidth] = {};
    EightLanes sums[Strips];
    std::copy(acc + start, acc + start + width, padded);
    std::memcpy(sums, padded, sizeof sums);
    const std::size_t end = rows * cols;
    for (std::size_t r = 0; r < rows; ++r) {
        const double* row = M + r * cols + start;
        if (r * cols + start + kWidth > end) {
            std::copy(row, row + width, padded);
            row = padded;
        }
        const double f = factor[r];
        for (int s = 0; s < Strips; ++s) {
            EightLanes terms;
            std::memcpy(&terms, row + 8 * s, sizeof terms);
            sums[s] = sums[s] + terms * f;
        }
    }
    std::memcpy(padded, sums, sizeof sums);
    std::copy(padded, padded + width, acc + start);
}

template <int MostStrips>
VORNETICA_KERNEL_BODY void addWeightedRowsBody(const double* M, std::size_t rows, std::size_t cols,
                                               const double* factor, double* acc) {
    for (std::size_t start = 0; start < cols; start += 8 * MostStrips) {
        const std::size_t width = std::min<std::size_t>(8 * MostStrips, cols - start);
        switch ((width + 7) / 8) {
            case 1:
                addWeightedBlock<1>(M, rows, cols, start, width, factor, acc);
                break;
            case 2:
                if constexpr (MostStrips >= 2) {
                    addWeightedBlock<2>(M, rows, cols, start, width, factor, acc);
                }
                break;
            case 3:
                if constexpr (MostStrips >= 3) {
                    addWeightedBlock<3>(M, rows, cols, start, width, factor, acc);
                }
                break;
            default:
                if constexpr (MostStrips >= 4) {
                    addWeightedBlock<4>(M, rows, cols, start, width, factor, acc);
                }
                break;
        }
    }
}

}  // namespace

VORNETICA_STRIP_KERNEL(void, addWeightedRows, addWeightedRowsBody,
                       (const double* M, std::size_t rows, std::size_t cols, const double* factor,
                        double* acc),
                       (M, rows, cols, factor, acc))
VORNETICA_KERNEL(void, addSquaredDifferences, addSquaredDifferencesBody,
                 (double x, const double* u, double* acc, std::size_t n), (x, u, acc, n))
VORNETICA_KERNEL(void, addSquares, addSquaresBody, (const double* u, double* acc, std::size_t n),
                 (u, acc, n))
VORNETICA_KERNEL(void, addScaled, addScaledBody,
                 (double c, const double* v, double* acc, std::size_t n), (c, v, acc, n))
VORNETICA_KERNEL(void, products, productsBody,
                 (double c, const double* v, double* out, std::size_t n), (c, v, out, n))
VORNETICA_KERNEL(void, logisticSignals, logisticSignalsBody,
                 (const double* y, const double* error, double* signal, std::size_t n),
                 (y, error, signal, n))
VORNETICA_KERNEL(void, logisticOutputSignals, logisticOutputSignalsBody,
                 (const double* y, const double* target, double* signal, std::size_t n),
                 (y, target, signal, n))
VORNETICA_KERNEL(void, takeSquareRoots, takeSquareRootsBody, (double* v, std::size_t n), (v, n))
VORNETICA_KERNEL(void, divideElementwise, divideElementwiseBody,
                 (double* v, const double* divisors, std::size_t n), (v, divisors, n))
VORNETICA_KERNEL(void, quotients, quotientsBody,
                 (const double* v, double divisor, double* out, std::size_t n),
                 (v, divisor, out, n))
VORNETICA_KERNEL(long, addOuterProductPart, addOuterProductPartBody,
                 (double x, const double* v, double* row, std::size_t n), (x, v, row, n))

}  // namespace vornetica
