#pragma once

#include <cstddef>

// The weight passes of backpropagation's larger nets. Each keeps every sum in the
// order written here and only runs independent sums side by side, so it gives the
// bits of the plain loop; each is compiled once per vector unit (kernel_level.h)
// and the tests run every copy against the plain trainer. Matrices are row-major:
// element [r][c] of a rows x cols matrix is at r * cols + c.

namespace vornetica {

// net[c] = sum over r = 0, 1, ..., rows - 1 of W[r][c] * factor[r], each sum from
// 0.0 over ascending r.
void weightedSums(const double* W, std::size_t rows, std::size_t cols, const double* factor,
                  double* net);

// W[r][c] += (rate * rowSignal[r]) * colSignal[c] for every r and c.
void addChanges(double* W, std::size_t rows, std::size_t cols, double rate, const double* rowSignal,
                const double* colSignal);

// sums[r] += v[c] * M[r * stride + c] for c = 0, 1, ..., length - 1 in turn, for
// every r < rows: each sum goes on from the value it holds, over ascending c.
void addRowSums(const double* M, std::size_t rows, std::size_t stride, std::size_t length,
                const double* v, double* sums);

// addChanges(W, rows, cols, rate, rowSignal, colSignal), then
// weightedSums(W, rows, cols, factor, net) over the changed W, in one pass over W:
// row r takes its changes before it adds its terms W[r][c] * factor[r].
void addChangesThenWeightedSums(double* W, std::size_t rows, std::size_t cols, double rate,
                                const double* rowSignal, const double* colSignal,
                                const double* factor, double* net);

// sums[c] = sum over r = 0, 1, ..., rows - 1 of D[r] * WT[r][c], each from 0.0 over
// ascending r and from WT as it was before the call; then WT[r][c] +=
// rowChange[c] * D[r], in the same pass.
void columnSumsThenAddChanges(double* WT, std::size_t rows, std::size_t cols, const double* D,
                              const double* rowChange, double* sums);

}  // namespace vornetica
