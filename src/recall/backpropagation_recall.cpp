#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "base/user_error.h"
#include "kernels/exponentials.h"
#include "kernels/vector_kernels.h"
#include "recall/recall_computations.h"

namespace vornetica {
namespace {

void checkLoadedNetwork(const NetworkSettings& settings, std::size_t inputCount) {
    const std::size_t I = settings.RecallHiddenWeights.rows();
    const std::size_t H = settings.RecallHiddenThresholds.size();
    const std::size_t O = settings.RecallOutputThresholds.size();
    if (inputCount != I || settings.RecallHiddenWeights.cols() != H ||
        settings.RecallOutputWeights.rows() != H || settings.RecallOutputWeights.cols() != O) {
        throw UserError("The input vector has " + std::to_string(inputCount) +
                        " values; the loaded network takes " + std::to_string(I) + ".");
    }
}

}  // namespace

// The logistic function is used on both layers whatever function trained the
// network. A net input far below zero makes e^-net infinite and the node's output
// 0, the formula's limit; nothing traps.
std::vector<double> recallBackpropagation(const NetworkSettings& settings,
                                          std::span<const double> input) {
    checkLoadedNetwork(settings, input.size());
    const Matrix<double>& hiddenWeights = settings.RecallHiddenWeights;
    const Matrix<double>& outputWeights = settings.RecallOutputWeights;
    const std::size_t I = hiddenWeights.rows();
    const std::size_t H = settings.RecallHiddenThresholds.size();
    const std::size_t O = settings.RecallOutputThresholds.size();

    // Each sum still runs from 0.0 over ascending rows; addWeightedRows and
    // applyLogistic give the bits of the plain loops and of the neuron library's
    // LogisticThreshold.
    std::vector<double> scaled(input.begin(), input.end());
    for (double& x : scaled) {
        x = x / settings.RecallInputScale;
    }
    std::vector<double> hidden(H, 0.0);
    addWeightedRows(hiddenWeights.values().data(), I, H, scaled.data(), hidden.data());
    applyLogistic(hidden.data(), settings.RecallHiddenThresholds.data(), H);

    std::vector<double> output(O, 0.0);
    addWeightedRows(outputWeights.values().data(), H, O, hidden.data(), output.data());
    applyLogistic(output.data(), settings.RecallOutputThresholds.data(), O);
    for (std::size_t k = 0; k < O; ++k) {
        output[k] = settings.RecallOutputScale * output[k];
    }
    return output;
}

}  // namespace vornetica
