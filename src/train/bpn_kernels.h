#pragma once

// Included by backpropagation.cpp alone: the kernels stay local to its translation
// unit, so that the compiler sees what each call leaves untouched and keeps the
// callers' values in registers across it, and inlines the dispatch, as it did when
// they were written there.

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "kernels/kernel_level.h"
#include "train/bpn_tuning.h"

// The weight passes of backpropagation's larger nets. Each keeps every sum in the
// order written here and only runs independent sums side by side, so it gives the
// bits of the plain loop; each is compiled once per vector unit (kernel_level.h)
// and the tests run every copy against the plain trainer. Matrices are row-major:
// element [r][c] of a rows x cols matrix is at r * cols + c.

namespace vornetica {
namespace {

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

// The kernels below keep every sum in its own order (from 0.0, ascending index)
// and only run independent sums side by side, so their results are the bits of
// the plain loops. Each is compiled for the wider vector units too (kernel_level.h).

// net[c] = sum over r of W[r][c] * factor[r], each sum from 0.0 over ascending r,
// all columns side by side.
VORNETICA_KERNEL_BODY void weightedSumsBody(const double* __restrict W, std::size_t rows,
                                            std::size_t cols, const double* __restrict factor,
                                            double* __restrict net) {
    for (std::size_t c = 0; c < cols; ++c) {
        net[c] = 0.0;
    }
    std::size_t r = 0;
    // Four rows per pass over net: each net[c] still gets its additions one by one
    // in ascending r.
    for (; r + 4 <= rows; r += 4) {
        const double f0 = factor[r], f1 = factor[r + 1], f2 = factor[r + 2], f3 = factor[r + 3];
        const double* row = W + r * cols;
        for (std::size_t c = 0; c < cols; ++c) {
            double sum = net[c];
            sum += row[c] * f0;
            sum += row[cols + c] * f1;
            sum += row[2 * cols + c] * f2;
            sum += row[3 * cols + c] * f3;
            net[c] = sum;
        }
    }
    for (; r < rows; ++r) {
        const double f = factor[r];
        const double* row = W + r * cols;
        for (std::size_t c = 0; c < cols; ++c) {
            net[c] += row[c] * f;
        }
    }
}

// W[r][c] += (rate * rowSignal[r]) * colSignal[c]: the changes of one vector.
VORNETICA_KERNEL_BODY void addChangesBody(double* __restrict W, std::size_t rows, std::size_t cols,
                                          double rate, const double* __restrict rowSignal,
                                          const double* __restrict colSignal) {
    for (std::size_t r = 0; r < rows; ++r) {
        const double f = rate * rowSignal[r];
        double* row = W + r * cols;
        for (std::size_t c = 0; c < cols; ++c) {
            row[c] += f * colSignal[c];
        }
    }
}

// A panel's row length as a constant: the rows of a group are then offsets from one
// pointer, not one pointer each that the loop must keep in registers.
using PanelStride = std::integral_constant<std::size_t, kPanelWidth>;

// sums[l] += D[k] * w[l * stride + k] for k = 0, 1, ..., length - 1 in turn, for
// the 4 * Groups rows l. The vector form holds four sums in the lanes of one
// register and turns each 4 x 4 tile of four rows' terms so that lane l meets row
// l's terms in ascending k: the same additions in the same order as the scalar
// loop. Several groups keep several independent additions in flight.
template <int Groups, typename Stride>
VORNETICA_KERNEL_BODY void addRowSumsOfGroups(const double* __restrict w, Stride stride,
                                              std::size_t length, const double* __restrict D,
                                              double* sums) {
    constexpr int kRows = 4 * Groups;
    std::size_t k = 0;
    double s[kRows];
    for (int l = 0; l < kRows; ++l) {
        s[l] = sums[l];
    }
#if defined(__GNUC__) && !defined(__clang__)
    using Lanes = double __attribute__((vector_size(32)));
    using Picks = long long __attribute__((vector_size(32)));
    Lanes lanes[Groups];
    for (int g = 0; g < Groups; ++g) {
        lanes[g] = Lanes{s[4 * g], s[4 * g + 1], s[4 * g + 2], s[4 * g + 3]};
    }
    for (; k + 4 <= length; k += 4) {
        if constexpr (std::is_same_v<Stride, PanelStride> && Groups == 4) {
            // Panels of a large matrix come from the outer caches, and sixteen rows
            // walked side by side hide the order from the processor's prefetching:
            // the next groups but one are fetched here, a line per row.
            const double* ahead = w + 2 * 16 * stride + (k / 4) * 64;
            for (int line = 0; line < 8; ++line) {
                __builtin_prefetch(ahead + 8 * line);
            }
        }
        // The terms are multiplied out row by row before the tile turns: the same
        // products, from one load of D per step instead of four broadcasts, and no
        // register held for them across the groups.
        Lanes factors;
        std::memcpy(&factors, D + k, sizeof factors);
        for (int g = 0; g < Groups; ++g) {
            const double* rows = w + std::size_t(4 * g) * stride + k;
            Lanes r0, r1, r2, r3;
            std::memcpy(&r0, rows, sizeof r0);
            std::memcpy(&r1, rows + stride, sizeof r1);
            std::memcpy(&r2, rows + 2 * stride, sizeof r2);
            std::memcpy(&r3, rows + 3 * stride, sizeof r3);
            r0 = factors * r0;
            r1 = factors * r1;
            r2 = factors * r2;
            r3 = factors * r3;
            const Lanes t0 = __builtin_shuffle(r0, r1, Picks{0, 4, 2, 6});
            const Lanes t1 = __builtin_shuffle(r0, r1, Picks{1, 5, 3, 7});
            const Lanes t2 = __builtin_shuffle(r2, r3, Picks{0, 4, 2, 6});
            const Lanes t3 = __builtin_shuffle(r2, r3, Picks{1, 5, 3, 7});
            // Column m of the tile: the term of element k + m of each of the four rows.
            const Lanes c0 = __builtin_shuffle(t0, t2, Picks{0, 1, 4, 5});
            const Lanes c1 = __builtin_shuffle(t1, t3, Picks{0, 1, 4, 5});
            const Lanes c2 = __builtin_shuffle(t0, t2, Picks{2, 3, 6, 7});
            const Lanes c3 = __builtin_shuffle(t1, t3, Picks{2, 3, 6, 7});
            Lanes sum = lanes[g];
            sum = sum + c0;
            sum = sum + c1;
            sum = sum + c2;
            sum = sum + c3;
            lanes[g] = sum;
        }
    }
    for (int l = 0; l < kRows; ++l) {
        s[l] = lanes[l / 4][l % 4];
    }
#endif
    for (; k < length; ++k) {
        for (int l = 0; l < kRows; ++l) {
            s[l] += D[k] * w[std::size_t(l) * stride + k];
        }
    }
    for (int l = 0; l < kRows; ++l) {
        sums[l] = s[l];
    }
}

// The same for Rows rows, one to three, side by side.
template <int Rows>
VORNETICA_KERNEL_BODY void addRowSumsOfFew(const double* __restrict M, std::size_t stride,
                                           std::size_t length, const double* __restrict v,
                                           double* __restrict sums) {
    double s[Rows];
    for (int n = 0; n < Rows; ++n) {
        s[n] = sums[n];
    }
    for (std::size_t c = 0; c < length; ++c) {
        for (int n = 0; n < Rows; ++n) {
            s[n] += v[c] * M[std::size_t(n) * stride + c];
        }
    }
    for (int n = 0; n < Rows; ++n) {
        sums[n] = s[n];
    }
}

// sums[r] += v[c] * M[r * stride + c] for c = 0, 1, ..., length - 1 in turn, for
// every row r: sixteen rows at a time, then the rest in one go, so that the sums
// of several rows always overlap.
VORNETICA_KERNEL_BODY void addRowSumsBody(const double* __restrict M, std::size_t rows,
                                          std::size_t stride, std::size_t length,
                                          const double* __restrict v, double* __restrict sums) {
    std::size_t r = 0;
    if (stride == kPanelWidth) {
        for (; r + 16 <= rows; r += 16) {
            addRowSumsOfGroups<4>(M + r * stride, PanelStride{}, length, v, sums + r);
        }
    }
    for (; r + 16 <= rows; r += 16) {
        addRowSumsOfGroups<4>(M + r * stride, stride, length, v, sums + r);
    }
    switch ((rows - r) / 4) {
        case 3:
            addRowSumsOfGroups<3>(M + r * stride, stride, length, v, sums + r);
            r += 12;
            break;
        case 2:
            addRowSumsOfGroups<2>(M + r * stride, stride, length, v, sums + r);
            r += 8;
            break;
        case 1:
            addRowSumsOfGroups<1>(M + r * stride, stride, length, v, sums + r);
            r += 4;
            break;
        default:
            break;
    }
    switch (rows - r) {
        case 3:
            addRowSumsOfFew<3>(M + r * stride, stride, length, v, sums + r);
            break;
        case 2:
            addRowSumsOfFew<2>(M + r * stride, stride, length, v, sums + r);
            break;
        case 1:
            addRowSumsOfFew<1>(M + r * stride, stride, length, v, sums + r);
            break;
        default:
            break;
    }
}

// L doubles side by side; the vector units hold one or more in a register.
// (GCC drops a dependent vector_size from an alias template, so a member type.)
template <int L>
struct LanesOf {
    typedef double type __attribute__((vector_size(L * sizeof(double))));
};
template <int L>
using Lanes = typename LanesOf<L>::type;

// By reference: a vector passed by value would change the calling convention.
template <int L>
VORNETICA_KERNEL_BODY void loadLanes(Lanes<L>& v, const double* p) {
    std::memcpy(&v, p, sizeof v);
}

template <int L>
VORNETICA_KERNEL_BODY void storeLanes(double* p, const Lanes<L>& v) {
    std::memcpy(p, &v, sizeof v);
}

// The column loops below take the columns in strips of N * L, keeping the strip's
// sums and per-column values in registers over all rows, so that each sum is
// loaded and stored once per strip instead of once per few rows; each sum still
// gets its additions one by one over ascending rows, two rows to a step. A strip
// type gives its rows, its row length (cols), the per-column values it reads
// (columns), the sums it writes (sums) and what one row does (runRow).
template <int L, int N, typename Strip>
VORNETICA_KERNEL_BODY void walkStrip(const Strip& strip, std::size_t c) {
    Lanes<L> columns[N], sum[N];
    for (int n = 0; n < N; ++n) {
        loadLanes<L>(columns[n], strip.columns + c + n * L);
        sum[n] = Lanes<L>{} + 0.0;
    }
    std::size_t r = 0;
    for (; r + 2 <= strip.rows; r += 2) {
        strip.template runRow<L, N>(r, c, columns, sum);
        strip.template runRow<L, N>(r + 1, c, columns, sum);
    }
    if (r < strip.rows) {
        strip.template runRow<L, N>(r, c, columns, sum);
    }
    for (int n = 0; n < N; ++n) {
        storeLanes<L>(strip.sums + c + n * L, sum[n]);
    }
}

// The wide strips go first, then strips of 8, 4, 2 and 1 for the columns left.
template <int N, typename Strip>
VORNETICA_KERNEL_BODY void forEachStrip(const Strip& strip) {
    const std::size_t cols = strip.cols;
    std::size_t c = 0;
    for (; c + 8 * N <= cols; c += 8 * N) {
        walkStrip<8, N>(strip, c);
    }
    for (; c + 8 <= cols; c += 8) {
        walkStrip<8, 1>(strip, c);
    }
    if (c + 4 <= cols) {
        walkStrip<4, 1>(strip, c);
        c += 4;
    }
    if (c + 2 <= cols) {
        walkStrip<2, 1>(strip, c);
        c += 2;
    }
    if (c < cols) {
        walkStrip<1, 1>(strip, c);
    }
}

// The hidden weights' changes of the previous vector fused with the next vector's
// hidden sums, so the matrix is read once instead of twice: row r first takes its
// changes (rate * rowSignal[r]) * columns[c], then adds W[r][c] * factor[r] to
// sums[c]. Each sum still runs from 0.0 over ascending r, each over the row as
// changed, which is what the two loops one after the other give.
struct ChangeThenSumStrip {
    double* __restrict W;
    std::size_t rows, cols;
    double rate;
    const double* __restrict rowSignal;
    const double* __restrict columns;  // the column signals
    const double* __restrict factor;
    double* __restrict sums;  // the next vector's nets

    template <int L, int N>
    VORNETICA_KERNEL_BODY void runRow(std::size_t r, std::size_t c, const Lanes<L>* signal,
                                      Lanes<L>* sum) const {
        const double f = rate * rowSignal[r];
        const double g = factor[r];
        double* row = W + r * cols + c;
        for (int n = 0; n < N; ++n) {
            Lanes<L> w;
            loadLanes<L>(w, row + n * L);
            w = w + f * signal[n];
            storeLanes<L>(row + n * L, w);
            sum[n] = sum[n] + w * g;
        }
    }
};

template <int N>
VORNETICA_KERNEL_BODY void addChangesThenWeightedSumsBody(double* W, std::size_t rows,
                                                          std::size_t cols, double rate,
                                                          const double* rowSignal,
                                                          const double* colSignal,
                                                          const double* factor, double* net) {
    forEachStrip<N>(ChangeThenSumStrip{W, rows, cols, rate, rowSignal, colSignal, factor, net});
}

// The backward sums over the transposed output weights WT (O x H, WT[k][j] =
// W[j][k]), fused with their changes: sums[j] = sum over ascending k of
// D[k] * WT[k][j] from the values before this vector, and WT[k][j] +=
// rowChange[j] * D[k] with rowChange[j] = Alpha * h[j]. Every sum is a column
// sum here, so the vector units add whole rows and no sum changes its order.
struct SumThenChangeStrip {
    double* __restrict WT;
    std::size_t rows, cols;
    const double* __restrict D;
    const double* __restrict columns;  // rowChange, each hidden node's change factor
    double* __restrict sums;

    template <int L, int N>
    VORNETICA_KERNEL_BODY void runRow(std::size_t r, std::size_t c, const Lanes<L>* change,
                                      Lanes<L>* sum) const {
        const double d = D[r];
        double* row = WT + r * cols + c;
        for (int n = 0; n < N; ++n) {
            Lanes<L> w;
            loadLanes<L>(w, row + n * L);
            sum[n] = sum[n] + d * w;
            storeLanes<L>(row + n * L, w + change[n] * d);
        }
    }
};

template <int N>
VORNETICA_KERNEL_BODY void columnSumsThenAddChangesBody(double* WT, std::size_t rows,
                                                        std::size_t cols, const double* D,
                                                        const double* rowChange, double* sums) {
    forEachStrip<N>(SumThenChangeStrip{WT, rows, cols, D, rowChange, sums});
}

VORNETICA_STRIP_KERNEL(void, columnSumsThenAddChanges, columnSumsThenAddChangesBody,
                       (double* WT, std::size_t rows, std::size_t cols, const double* D,
                        const double* rowChange, double* sums),
                       (WT, rows, cols, D, rowChange, sums))
VORNETICA_STRIP_KERNEL(void, addChangesThenWeightedSums, addChangesThenWeightedSumsBody,
                       (double* W, std::size_t rows, std::size_t cols, double rate,
                        const double* rowSignal, const double* colSignal, const double* factor,
                        double* net),
                       (W, rows, cols, rate, rowSignal, colSignal, factor, net))
VORNETICA_KERNEL(void, addRowSums, addRowSumsBody,
                 (const double* M, std::size_t rows, std::size_t stride, std::size_t length,
                  const double* v, double* sums),
                 (M, rows, stride, length, v, sums))
VORNETICA_KERNEL(void, weightedSums, weightedSumsBody,
                 (const double* W, std::size_t rows, std::size_t cols, const double* factor,
                  double* net),
                 (W, rows, cols, factor, net))
VORNETICA_KERNEL(void, addChanges, addChangesBody,
                 (double* W, std::size_t rows, std::size_t cols, double rate,
                  const double* rowSignal, const double* colSignal),
                 (W, rows, cols, rate, rowSignal, colSignal))

}  // namespace
}  // namespace vornetica
