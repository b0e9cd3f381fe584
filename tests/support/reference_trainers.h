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
#include "data/training_data.h"
#include "neuron/threshold.h"
#include "support/recording_progress.h"
#include "train/backpropagation.h"
#include "train/brain_state.h"
#include "train/counterpropagation.h"

namespace vornetica::testing {

using Rows = std::vector<std::vector<double>>;
using Ints = std::vector<std::vector<int>>;

// Backpropagation as laid down: every change matrix computed in full before it is
// added, every grid shown after the step that writes it, the stop test over the
// whole epoch's error signals. Stops after `stopAfterVectors` vectors if given.
struct ReferenceBpn {
    Rows HiddenWeights, OutputWeights;
    std::vector<double> HiddenThresholds, OutputThresholds;
    std::vector<ShownCells> shown;
    int epochs = 0;
    bool stopped = false;
};

inline void showReference(ReferenceBpn& run, ProgressGrid grid, const std::vector<double>& values,
                          int width) {
    run.shown.push_back({grid, 0, values, width});
}

inline ReferenceBpn referenceBpn(const BpnParameters& s, const TrainingSet& data,
                                 RandomSource& random, int stopAfterVectors = -1) {
    const int I = s.inputSize, H = s.hiddenSize, O = s.outputSize, P = data.count;
    Rows X(P, std::vector<double>(I)), T(P, std::vector<double>(O));
    for (int p = 0; p < P; ++p) {
        for (int i = 0; i < I; ++i) {
            X[p][i] = data.inputs.at(p, i) / s.InputScale;
        }
        for (int k = 0; k < O; ++k) {
            T[p][k] = data.outputs.at(p, k) / s.OutputScale;
        }
    }
    ReferenceBpn run;
    auto draw = [&random] { return 2.0 * double(random.next()) - 1.0; };
    run.HiddenWeights.assign(I, std::vector<double>(H));
    run.OutputWeights.assign(H, std::vector<double>(O));
    run.HiddenThresholds.assign(H, 0.0);
    run.OutputThresholds.assign(O, 0.0);
    for (int i = 0; i < I; ++i)
        for (int j = 0; j < H; ++j)
            run.HiddenWeights[i][j] = draw();
    for (int j = 0; j < H; ++j)
        for (int k = 0; k < O; ++k)
            run.OutputWeights[j][k] = draw();
    for (int j = 0; j < H; ++j)
        run.HiddenThresholds[j] = draw();
    for (int k = 0; k < O; ++k)
        run.OutputThresholds[k] = draw();

    Rows D(P, std::vector<double>(O));
    std::vector<double> h(H), o(O), e(H);
    int counter = 0, vectors = 0;
    bool continues = true;
    while (continues) {
        ++run.epochs;
        for (int p = 0; p < P; ++p) {
            for (int j = 0; j < H; ++j) {
                double sum = 0.0;
                for (int i = 0; i < I; ++i)
                    sum += run.HiddenWeights[i][j] * X[p][i];
                h[j] = applyThreshold(s.threshold, sum + run.HiddenThresholds[j]);
            }
            showReference(run, ProgressGrid::InputValues, X[p], 5);
            showReference(run, ProgressGrid::InputNodes, X[p], 5);
            showReference(run, ProgressGrid::Iterations, {double(counter)}, 5);
            for (int k = 0; k < O; ++k) {
                double sum = 0.0;
                for (int j = 0; j < H; ++j)
                    sum += h[j] * run.OutputWeights[j][k];
                o[k] = applyThreshold(s.threshold, sum + run.OutputThresholds[k]);
            }
            showReference(run, ProgressGrid::OutputValues, o, 6);
            for (int k = 0; k < O; ++k)
                D[p][k] = (1 - o[k]) * o[k] * (T[p][k] - o[k]);
            showReference(run, ProgressGrid::ErrorValues, D[p], 6);
            for (int j = 0; j < H; ++j) {
                double sum = 0.0;
                for (int k = 0; k < O; ++k)
                    sum += D[p][k] * run.OutputWeights[j][k];
                e[j] = (1 - h[j]) * h[j] * sum;
            }
            Rows outputChange(H, std::vector<double>(O));
            for (int j = 0; j < H; ++j)
                for (int k = 0; k < O; ++k)
                    outputChange[j][k] = s.Alpha * h[j] * D[p][k];
            for (int j = 0; j < H; ++j)
                for (int k = 0; k < O; ++k)
                    run.OutputWeights[j][k] += outputChange[j][k];
            for (int k = 0; k < O; ++k)
                run.OutputThresholds[k] += s.Alpha * D[p][k];
            showReference(run, ProgressGrid::OutputNodes, run.OutputThresholds, 6);
            Rows hiddenChange(I, std::vector<double>(H));
            for (int i = 0; i < I; ++i)
                for (int j = 0; j < H; ++j)
                    hiddenChange[i][j] = s.Beta * X[p][i] * e[j];
            for (int i = 0; i < I; ++i)
                for (int j = 0; j < H; ++j)
                    run.HiddenWeights[i][j] += hiddenChange[i][j];
            for (int j = 0; j < H; ++j)
                run.HiddenThresholds[j] += s.Beta * e[j];
            showReference(run, ProgressGrid::HiddenNodes, run.HiddenThresholds, 6);
            if (++vectors == stopAfterVectors) {
                run.stopped = true;
                return run;
            }
        }
        continues = false;
        for (int p = 0; p < P; ++p)
            for (int k = 0; k < O; ++k)
                if (D[p][k] > s.ErrorThreshold)
                    continues = true;
        if (counter > s.MaxIterations)
            continues = false;
        counter = counter + 1;
    }
    return run;
}

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
