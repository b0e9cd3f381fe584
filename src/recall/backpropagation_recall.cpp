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

constexpr std::size_t kShortRow = 32;

// sum[n] += row[n] * factor for a short row: the output layer's rows are too
// short for the dispatching vector kernels to pay for their call.
void addScaledShortRow(double* __restrict sum, const double* __restrict row, double factor,
                       std::size_t count) {
    for (std::size_t n = 0; n < count; ++n) {
        sum[n] += row[n] * factor;
    }
}

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

    std::vector<double> hidden(H, 0.0);
    // Each sum still runs from 0.0 in ascending order, a row of sums at a time;
    // the vector kernels and applyLogistic give the bits of the plain loops and of
    // the neuron library's LogisticThreshold.
    for (std::size_t i = 0; i < I; ++i) {
        const double x = input[i] / settings.RecallInputScale;
        addScaled(x, hiddenWeights.row(i).data(), hidden.data(), H);
    }
    applyLogistic(hidden.data(), settings.RecallHiddenThresholds.data(), H);

    std::vector<double> output(O, 0.0);
    for (std::size_t j = 0; j < H; ++j) {
        if (O < kShortRow) {
            addScaledShortRow(output.data(), outputWeights.row(j).data(), hidden[j], O);
        } else {
            addScaled(hidden[j], outputWeights.row(j).data(), output.data(), O);
        }
    }
    applyLogistic(output.data(), settings.RecallOutputThresholds.data(), O);
    for (std::size_t k = 0; k < O; ++k) {
        output[k] = settings.RecallOutputScale * output[k];
    }
    return output;
}

}  // namespace vornetica
