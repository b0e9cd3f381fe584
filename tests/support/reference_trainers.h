#pragma once

// The training loops written plainly from the algorithms' steps: nested vectors,
// one value at a time, every sum in its own order. The trainers' organised loops
// must give exactly these bits (the tests), and the benchmarks measure how much
// faster they are.

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "base/random_source.h"
#include "support/recording_progress.h"
#include "train/brain_state.h"
#include "train/counterpropagation.h"

namespace vornetica::testing {

using Rows = std::vector<std::vector<double>>;
using Ints = std::vector<std::vector<int>>;

// The algorithm as written: columns visited with i inner, one value at a time.
struct ReferenceCpn {
    Rows U, V;
    std::vector<ShownCells> shown;
    std::vector<double> largestChanges;
};

inline ReferenceCpn referenceCpn(const CpnParameters& par, const Rows& X, const Rows& Y,
                                 RandomSource& random, bool recordShown = true) {
    const int I = par.inputSize, H = par.hiddenSize, O = par.outputSize;
    ReferenceCpn ref;
    ref.U.assign(I, std::vector<double>(H));
    ref.V.assign(H, std::vector<double>(O));
    for (int i = 0; i < I; ++i)
        for (int j = 0; j < H; ++j)
            ref.U[i][j] = random.next();
    for (int j = 0; j < H; ++j)
        for (int k = 0; k < O; ++k)
            ref.V[j][k] = random.next();
    auto& U = ref.U;
    auto& V = ref.V;
    for (std::size_t p = 0; p < X.size(); ++p) {
        double n = 0.0;
        for (int i = 0; i < I; ++i)
            n = n + X[p][i] * X[p][i];
        n = std::sqrt(n);
        std::vector<double> x(I, 0.0);
        if (n != 0.0)
            for (int i = 0; i < I; ++i)
                x[i] = X[p][i] / n;
        if (recordShown) {
            ref.shown.push_back({ProgressGrid::InputValues, 0, x, 6});
            ref.shown.push_back({ProgressGrid::Iterations, 0, {double(p)}, 6});
        }
        for (int j = 0; j < H; ++j) {
            double s = 0.0;
            for (int i = 0; i < I; ++i)
                s = s + U[i][j] * U[i][j];
            s = std::sqrt(s);
            if (s != 0.0)
                for (int i = 0; i < I; ++i)
                    U[i][j] = U[i][j] / s;
        }
        double largest = 0.0;
        for (int t = 1; t <= par.NumberTimeSteps - 1; ++t) {
            std::vector<double> d(H);
            for (int j = 0; j < H; ++j) {
                double s = 0.0;
                for (int i = 0; i < I; ++i)
                    s = s + (x[i] - U[i][j]) * (x[i] - U[i][j]);
                d[j] = std::sqrt(s);
            }
            int w = 0;
            for (int j = 1; j < H; ++j)
                if (d[j] < d[w])
                    w = j;
            const double rate = 0.2 * (1.0 - double(t) / 10000.0);
            for (int i = 0; i < I; ++i)
                U[i][w] = U[i][w] + rate * (x[i] - U[i][w]);
            double s = 0.0;
            for (int i = 0; i < I; ++i)
                s = s + U[i][w] * U[i][w];
            s = std::sqrt(s);
            if (s != 0.0)
                for (int i = 0; i < I; ++i)
                    U[i][w] = U[i][w] / s;
            double h = 0.0;
            for (int i = 0; i < I; ++i)
                h = h + x[i] * U[i][w];
            std::vector<double> deltas(O);
            for (int k = 0; k < O; ++k) {
                deltas[k] = par.Gamma * h * Y[p][k] - par.Beta * V[w][k];
                V[w][k] = V[w][k] + deltas[k];
                largest = std::max(largest, std::abs(deltas[k]));
            }
            if (recordShown) {
                ref.shown.push_back({ProgressGrid::ErrorValues, 0, deltas, 6});
                ref.shown.push_back({ProgressGrid::OutputValues, 0, V[w], 6});
            }
        }
        ref.largestChanges.push_back(largest);
    }
    return ref;
}

// The error-correction step as laid down, one weight at a time, row i's response
// taken just before row i changes.
struct ReferenceBsb {
    Rows W;
    int passes = 0;
    bool limitReached = false;
    std::vector<ShownCells> shown;
};

inline ReferenceBsb referenceBsb(const BsbParameters& par, const Rows& X, RandomSource& random,
                                 bool recordShown = true) {
    const int I = par.inputSize;
    ReferenceBsb ref;
    ref.W.assign(I, std::vector<double>(I));
    for (int i = 0; i < I; ++i)
        for (int j = 0; j < I; ++j)
            ref.W[i][j] = 2.0 * double(random.next()) - 1.0;
    auto& W = ref.W;
    bool mark = false;
    do {
        mark = false;
        for (const auto& x : X) {
            if (recordShown) {
                ref.shown.push_back({ProgressGrid::InputValues, 0, x, 6});
                ref.shown.push_back({ProgressGrid::Iterations, 0, {double(ref.passes)}, 6});
            }
            std::vector<double> e(I);
            for (int i = 0; i < I; ++i) {
                double y = 0.0;
                for (int m = 0; m < I; ++m)
                    y = y + W[i][m] * x[m];
                e[i] = x[i] - y;
                for (int j = 0; j < I; ++j)
                    W[i][j] = W[i][j] + par.Alpha * e[i] * x[j];
            }
            for (int k = 0; k < I; ++k)
                if (e[k] > par.ErrorThreshold)
                    mark = true;
            if (recordShown) {
                ref.shown.push_back({ProgressGrid::ErrorValues, 0, e, 6});
            }
        }
        ++ref.passes;
    } while (mark && ref.passes < kBsbPassLimit);
    ref.limitReached = mark;
    return ref;
}

// The three 16-bit steps as laid down: all products, then all differences, then
// all sums. Returns nothing when any of them leaves the range.
inline std::optional<Ints> referenceDa(const Ints& X, int n) {
    auto fits = [](long v) { return v >= -32768 && v <= 32767; };
    Ints T(n, std::vector<int>(n, 0));
    for (const auto& x : X) {
        Ints O(n, std::vector<int>(n)), D(n, std::vector<int>(n));
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                O[i][j] = x[i] * x[j];
                if (!fits(O[i][j]))
                    return std::nullopt;
            }
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                D[i][j] = O[i][j] - (i == j ? 1 : 0);
                if (!fits(D[i][j]))
                    return std::nullopt;
            }
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                T[i][j] = T[i][j] + D[i][j];
                if (!fits(T[i][j]))
                    return std::nullopt;
            }
    }
    return T;
}

}  // namespace vornetica::testing
