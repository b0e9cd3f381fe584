#pragma once

#include <cmath>
#include <cstddef>

namespace vornetica {

// Element-wise loops over contiguous rows, shared by the trainers and recall. Each
// element is its own independent computation, so whichever vector width the
// processor offers gives the same bits as the scalar loop (no multiply-add is ever
// fused: the build forbids contraction).

// acc[j] = acc[j] + (x - u[j]) * (x - u[j])
void addSquaredDifferences(double x, const double* u, double* acc, std::size_t n);

// acc[j] = acc[j] + u[j] * u[j]
void addSquares(const double* u, double* acc, std::size_t n);

// acc[j] = acc[j] + c * v[j]
void addScaled(double c, const double* v, double* acc, std::size_t n);

// acc[c] = acc[c] + M[r][c] * factor[r], one r after another from the first row,
// for the row-major rows x cols matrix M: a layer's weighted sums, each still
// added up over ascending r, with a block of columns' sums kept in registers for
// the whole pass over the rows.
void addWeightedRows(const double* M, std::size_t rows, std::size_t cols, const double* factor,
                     double* acc);

// out[j] = c * v[j]
void products(double c, const double* v, double* out, std::size_t n);

// The error signals of logistic nodes: signal[j] = ((1 - y[j]) * y[j]) * error[j],
// where error may be signal itself.
void logisticSignals(const double* y, const double* error, double* signal, std::size_t n);

// signal[j] = ((1 - y[j]) * y[j]) * (target[j] - y[j])
void logisticOutputSignals(const double* y, const double* target, double* signal, std::size_t n);

// v[j] = sqrt(v[j])
void takeSquareRoots(double* v, std::size_t n);

// v[j] = v[j] / divisors[j]
void divideElementwise(double* v, const double* divisors, std::size_t n);

// out[j] = v[j] / divisor
void quotients(const double* v, double divisor, double* out, std::size_t n);

// For whole numbers in doubles: row[j] = row[j] + x * v[j].
// Returns non-zero when a product or sum lies outside the 16-bit range -32768 to 32767.
long addOuterProductPart(double x, const double* v, double* row, std::size_t n);

// The neuron library's logistic function, the same expression with the same exp,
// so it gives the library's bits without a call into the library.
inline double logistic(double x) {
    return 1.0 / (1.0 + std::exp(-x));
}

}  // namespace vornetica
