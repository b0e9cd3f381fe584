#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

#include "base/user_error.h"
#include "recall/recall_computations.h"

namespace vornetica {

namespace {

void checkLoadedNetwork(const NetworkSettings& settings, std::size_t inputCount) {
    const auto size = static_cast<std::size_t>(settings.RecallInputSize);
    if (settings.RecallInputSize < 1 || settings.RecallOutputWeights.rows() != size ||
        settings.RecallOutputWeights.cols() != size) {
        throw UserError("No brain-state-in-a-box network is loaded.");
    }
    if (!(settings.RecallGamma > 0.0)) {
        throw UserError("The gamma recall value must be above 0: it is the limit of the box.");
    }
    if (inputCount != size) {
        throw UserError("The input vector has " + std::to_string(inputCount) +
                        " values; the network expects " + std::to_string(size) + ".");
    }
}

void sizeWorkVector(std::vector<double>& vector, std::size_t size) {
    if (vector.size() != size) {
        vector.assign(size, 0.0);
    }
}

// The three wall tests in their order, on the same v: a value on a wall becomes
// the wall, and a value that meets none of them (NaN) leaves the unit as it was.
void limitToBox(double v, double gamma, double& unit) {
    if (v >= gamma) {
        unit = gamma;
    }
    if (std::abs(v) < gamma) {
        unit = v;
    }
    if (v <= -gamma) {
        unit = -gamma;
    }
}

// The sweep is sequential: unit i sees the new values of the units below it.
void sweep(const Matrix<double>& weights, double beta, double gamma, std::vector<double>& state) {
    for (std::size_t i = 0; i < state.size(); ++i) {
        const double* row = weights.row(i).data();
        double net = 0.0;
        for (std::size_t m = 0; m < state.size(); ++m) {
            net = net + row[m] * state[m];
        }
        const double v = beta * net + state[i];
        limitToBox(v, gamma, state[i]);
    }
}

// A unit whose new value is 0 has no relative change; it counts as settled only
// when it also started at 0.
bool hasSettled(const std::vector<double>& start, const std::vector<double>& state,
                double threshold) {
    for (std::size_t i = 0; i < state.size(); ++i) {
        if (state[i] == 0.0) {
            if (start[i] != 0.0) {
                return false;
            }
            continue;
        }
        if (std::abs((start[i] - state[i]) / state[i]) > threshold) {
            return false;
        }
    }
    return true;
}

}  // namespace

BsbRecall recallBrainStateInABox(NetworkSettings& settings, std::span<const double> input) {
    checkLoadedNetwork(settings, input.size());
    std::vector<double>& state = settings.RecallStateVector;
    std::vector<double>& start = settings.RecallStartVector;
    sizeWorkVector(state, input.size());
    sizeWorkVector(start, input.size());

    std::copy(input.begin(), input.end(), state.begin());
    std::copy(state.begin(), state.end(), start.begin());
    sweep(settings.RecallOutputWeights, settings.RecallBeta, settings.RecallGamma, state);

    BsbRecall result;
    result.state = state;
    result.settled = hasSettled(start, state, settings.RecallErrorThreshold);
    return result;
}

}  // namespace vornetica
