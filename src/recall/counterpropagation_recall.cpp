#include <algorithm>
#include <cstddef>
#include <string>

#include "base/user_error.h"
#include "kernels/vector_kernels.h"
#include "recall/recall_computations.h"

namespace vornetica {

namespace {

void checkLoadedNetwork(const NetworkSettings& settings, std::size_t inputCount) {
    const auto inputs = static_cast<std::size_t>(settings.RecallInputSize);
    const auto hidden = static_cast<std::size_t>(settings.RecallHiddenSize);
    const auto outputs = static_cast<std::size_t>(settings.RecallOutputSize);
    if (settings.RecallInputSize < 1 || settings.RecallHiddenSize < 1 ||
        settings.RecallOutputSize < 1 || settings.RecallHiddenWeights.rows() != inputs ||
        settings.RecallHiddenWeights.cols() != hidden ||
        settings.RecallOutputWeights.rows() != hidden ||
        settings.RecallOutputWeights.cols() != outputs) {
        throw UserError("No counterpropagation network is loaded.");
    }
    if (inputCount != inputs) {
        throw UserError("The input vector has " + std::to_string(inputCount) +
                        " values; the network expects " + std::to_string(inputs) + ".");
    }
}

void sizeWorkVector(std::vector<double>& vector, std::size_t size) {
    if (vector.size() != size) {
        vector.assign(size, 0.0);
    }
}

}  // namespace

std::vector<double> recallCounterpropagation(NetworkSettings& settings,
                                             std::span<const double> input) {
    checkLoadedNetwork(settings, input.size());
    const Matrix<double>& U = settings.RecallHiddenWeights;
    const Matrix<double>& V = settings.RecallOutputWeights;
    std::vector<double>& state = settings.RecallStateVector;
    std::vector<double>& hiddenVector = settings.RecallHiddenVector;
    std::vector<double>& output = settings.RecallOutputVector;
    sizeWorkVector(state, U.rows());
    sizeWorkVector(hiddenVector, U.cols());
    sizeWorkVector(output, V.cols());

    // The input is taken as it stands: recall does not normalise it.
    std::copy(input.begin(), input.end(), state.begin());

    // Net inputs accumulate a row of weights at a time; each unit still sums over
    // ascending i from 0.0.
    std::fill(hiddenVector.begin(), hiddenVector.end(), 0.0);
    for (std::size_t i = 0; i < U.rows(); ++i) {
        addScaled(state[i], U.row(i).data(), hiddenVector.data(), hiddenVector.size());
    }

    // Only a net input above 0 can win; unit 0 wins when none is, and the lowest
    // index wins a tie.
    double best = 0.0;
    std::size_t winner = 0;
    for (std::size_t j = 0; j < hiddenVector.size(); ++j) {
        if (hiddenVector[j] > best) {
            best = hiddenVector[j];
            winner = j;
        }
    }

    std::fill(hiddenVector.begin(), hiddenVector.end(), 0.0);
    hiddenVector[winner] = 1.0;
    for (std::size_t k = 0; k < output.size(); ++k) {
        output[k] = hiddenVector[winner] * V.at(winner, k);
    }
    return output;
}

}  // namespace vornetica
