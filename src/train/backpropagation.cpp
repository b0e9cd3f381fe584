#include "train/backpropagation.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "neuron/neuron_functions.h"
#include "settings/user_error.h"
#include "train/exponentials.h"
#include "train/kernel_level.h"
#include "train/vector_kernels.h"
#include "train/weight_panels.h"

namespace vornetica {
namespace {

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

// The larger matrices are stored in panels this many columns wide (see BpnWork).
constexpr std::size_t kPanelWidth = 32;

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

// Nets this small, or with this few inputs and outputs, are trained vector by
// vector with trainSmallVector: their layers are too short for the kernels' setup
// to pay, and computing each node's function right after its sum lets the
// divisions overlap the next exponentials.
constexpr std::size_t kSmallNet = 64;
constexpr std::size_t kFewEnds = 2;
// A hidden layer this long has its sums and its nodes computed by the vector
// kernels even then.
constexpr std::size_t kLongLayer = 16;

bool trainsAsSmallNet(std::size_t I, std::size_t H, std::size_t O) {
    return H * (I + O) <= kSmallNet || (I <= kFewEnds && O <= kFewEnds);
}

// The stop test and the epoch's report need only these of the epoch's output error
// signals, gathered vector by vector in the order the signals are stored, so no
// P x O matrix is kept.
struct EpochErrors {
    bool above = false;
    double largest = 0.0;
    double squares = 0.0;
    std::size_t count = 0;
};

// Larger nets train their output weights in panels: each block of outputPanelWidth
// rows (hidden nodes) is stored transposed, in its own place in the matrix, so that
// the backward sums of a panel's nodes run down its columns, each added from whole
// rows of the panel, and its changes go with them; the output sums then turn small
// tiles of each panel in registers. Up to this many weights (64 KiB) the whole
// matrix is one panel; beyond, panels kPanelWidth wide keep every walk through them
// contiguous and their row length a constant. Below it, one call per panel would
// cost more than the walks save.
constexpr std::size_t kOnePanelLimit = 8192;

// Hidden weights beyond this many are kept in panels of kPanelWidth hidden nodes
// during a run: panel n holds the columns [n * kPanelWidth, ...) of every input's
// row, one row after the other, so that the pass over the weights walks each panel
// straight through with the panel's sums held in registers. A strip of columns of
// the whole matrix would step a full row at a time, which the caches serve more
// slowly the larger the matrix.
constexpr std::size_t kHiddenPanelLimit = 8192;

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
    std::size_t outputPanelWidth = 0;  // 0: the small nets' plain layout
    std::size_t hiddenPanelWidth = 0;  // 0 or H: the plain layout
    std::span<double> rowChange;       // Alpha * h[j]
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
    if (!trainsAsSmallNet(work.I, work.H, work.O)) {
        work.outputPanelWidth = work.H * work.O <= kOnePanelLimit ? work.H : kPanelWidth;
        work.hiddenPanelWidth = work.I * work.H <= kHiddenPanelLimit ? work.H : kPanelWidth;
    }
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

template <typename Node>
void computeHiddenLayer(const Node& node, const BpnNetwork& network, const double* x,
                        BpnWork& work) {
    double* net = work.hidden.data();
    forEachHiddenPanel(work, network.HiddenWeights.values().data(),
                       [&](const double* panel, std::size_t j, std::size_t w) {
                           weightedSums(panel, work.I, w, x, net + j);
                       });
    applyNodes(node, network.HiddenThresholds, net);
}

// Panels of `width` hidden nodes in turn, each of `length` rows: the panel of
// nodes [j, j + w) starts after the j * length weights of the panels before it.
template <typename Weights, typename PanelStep>
void forEachPanel(std::size_t H, std::size_t width, std::size_t length, Weights* weights,
                  const PanelStep& step) {
    for (std::size_t j = 0; j < H; j += width) {
        const std::size_t w = std::min(width, H - j);
        step(weights + j * length, j, w);
    }
}

// The panels of the output weights: the hidden nodes of panel [j, j + w) are its
// columns, and its row k holds W[j][k] to W[j + w - 1][k].
template <typename Weights, typename PanelStep>
void forEachOutputPanel(const BpnWork& work, Weights* outputWeights, const PanelStep& step) {
    forEachPanel(work.H, work.outputPanelWidth, work.O, outputWeights, step);
}

// The panels of the hidden weights: row i of the panel of nodes [j, j + w) holds
// W[i][j] to W[i][j + w - 1].
template <typename Weights, typename PanelStep>
void forEachHiddenPanel(const BpnWork& work, Weights* hiddenWeights, const PanelStep& step) {
    forEachPanel(work.H, work.hiddenPanelWidth, work.I, hiddenWeights, step);
}

// Each output sum takes the panels in turn and, within a panel, its row's terms in
// ascending j: the terms h[j] * W[j][k] of the plain loop, in its order.
template <typename Node>
void computeOutputLayer(const Node& node, const BpnNetwork& network, BpnWork& work) {
    double* net = work.output.data();
    std::fill(work.output.begin(), work.output.end(), 0.0);
    forEachOutputPanel(work, network.OutputWeights.values().data(),
                       [&](const double* panel, std::size_t j, std::size_t w) {
                           addRowSums(panel, work.O, w, w, work.hidden.data() + j, net);
                       });
    applyNodes(node, network.OutputThresholds, net);
}

void updateThresholds(std::vector<double>& thresholds, double rate, const double* signal) {
    addScaled(rate, signal, thresholds.data(), thresholds.size());
}

// Nets of a few connections: the steps as written, in one function, since a call
// per layer would cost more than the layer. Row j of the output weights gives e[j]
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
    for (std::size_t k = 0; k < O; ++k) {
        double sum = 0.0;
        for (std::size_t j = 0; j < H; ++j) {
            sum += h[j] * outputWeights[j * O + k];
        }
        o[k] = node(sum + outputThresholds[k]);
    }
    for (std::size_t k = 0; k < O; ++k) {
        D[k] = ((1.0 - o[k]) * o[k]) * (t[k] - o[k]);
    }
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

// Error signals from the output weights' panels, which take their changes at once.
void backPropagateInPanels(const BpnParameters& parameters, BpnNetwork& network, BpnWork& work) {
    const double* h = work.hidden.data();
    products(parameters.Alpha, h, work.rowChange.data(), work.H);
    double* e = work.hiddenError.data();
    forEachOutputPanel(work, network.OutputWeights.values().data(),
                       [&](double* panel, std::size_t j, std::size_t w) {
                           columnSumsThenAddChanges(panel, work.O, w, work.D.data(),
                                                    work.rowChange.data() + j, e + j);
                       });
    logisticSignals(h, e, e, work.H);
}

// Turns each panel of the output weights between its rows' plain layout (w x O)
// and its transposed one (O x w), in place, with one panel of room aside.
void turnPanels(BpnNetwork& network, const BpnWork& work, bool intoPanels) {
    if (work.outputPanelWidth == 0) {
        return;
    }
    const std::size_t O = work.O;
    std::vector<double> aside(std::min(work.outputPanelWidth, work.H) * O);
    forEachOutputPanel(work, network.OutputWeights.values().data(),
                       [&](double* panel, std::size_t, std::size_t w) {
                           std::copy(panel, panel + w * O, aside.begin());
                           for (std::size_t l = 0; l < w; ++l) {
                               for (std::size_t k = 0; k < O; ++k) {
                                   if (intoPanels) {
                                       panel[k * w + l] = aside[l * O + k];
                                   } else {
                                       panel[l * O + k] = aside[k * w + l];
                                   }
                               }
                           }
                       });
}

// Moves both weight matrices into the layouts the run's passes walk, or back into
// their plain layouts, which is all anything outside a run may see.
void arrangeForRun(BpnNetwork& network, const BpnWork& work, bool intoPanels) {
    turnPanels(network, work, intoPanels);
    arrangePanels(network.HiddenWeights.values().data(), work.I, work.H, work.hiddenPanelWidth,
                  intoPanels);
}

// The hidden weights' changes of a vector wait for the next vector's hidden sums
// (addChangesThenWeightedSums), or for the end of the run (flushWaitingChanges).
template <typename Node>
void trainVector(const Node& node, const BpnParameters& parameters, BpnNetwork& network,
                 BpnWork& work) {
    const double* x = work.x.data();
    double* D = work.D.data();
    if (work.hiddenChangesWait) {
        forEachHiddenPanel(work, network.HiddenWeights.values().data(),
                           [&](double* panel, std::size_t j, std::size_t w) {
                               addChangesThenWeightedSums(
                                   panel, work.I, w, parameters.Beta, work.waitingInput.data(),
                                   work.hiddenError.data() + j, x, work.hidden.data() + j);
                           });
        applyNodes(node, network.HiddenThresholds, work.hidden.data());
    } else {
        computeHiddenLayer(node, network, x, work);
    }
    computeOutputLayer(node, network, work);
    logisticOutputSignals(work.output.data(), work.t.data(), D, work.O);
    backPropagateInPanels(parameters, network, work);
    updateThresholds(network.OutputThresholds, parameters.Alpha, D);
    updateThresholds(network.HiddenThresholds, parameters.Beta, work.hiddenError.data());
    std::copy(work.x.begin(), work.x.end(), work.waitingInput.begin());
    work.hiddenChangesWait = true;
}

void flushWaitingChanges(const BpnParameters& parameters, BpnNetwork& network, BpnWork& work) {
    if (work.hiddenChangesWait) {
        forEachHiddenPanel(work, network.HiddenWeights.values().data(),
                           [&](double* panel, std::size_t j, std::size_t w) {
                               addChanges(panel, work.I, w, parameters.Beta,
                                          work.waitingInput.data(), work.hiddenError.data() + j);
                           });
        work.hiddenChangesWait = false;
    }
    arrangeForRun(network, work, false);
}

// The seven grids as the vector just trained leaves them (the buffers still hold
// it), in the order its steps write them. Each
// value is final once written within the vector (inputs, counter, outputs, error
// signals, then the thresholds after their updates), so showing them all after the
// vector shows what showing them step by step would.
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
            if (exclusiveOr) {
                trainSmallVector<2, 2, 1>(node, parameters, network, work);
            } else if (small) {
                trainSmallVector<0, 0, 0>(node, parameters, network, work);
            } else {
                trainVector(node, parameters, network, work);
            }
            noteErrors(work, parameters.ErrorThreshold, errors);
            lastCounter = counter;
            cells.write([&] { showVector(counter, network, work, progress); });
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
    flushWaitingChanges(parameters, network, work);
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
