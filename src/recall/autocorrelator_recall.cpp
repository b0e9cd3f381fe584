#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/user_error.h"
#include "recall/recall_computations.h"

namespace vornetica {

namespace {

constexpr std::int32_t kInt16Min = -32768;
constexpr std::int32_t kInt16Max = 32767;

bool fitsInt16(std::int32_t value) {
    return value >= kInt16Min && value <= kInt16Max;
}

std::string ordinal(std::size_t zeroBased) {
    return std::to_string(zeroBased + 1);
}

void checkLoadedNetwork(const NetworkSettings& settings, std::size_t inputCount) {
    const auto size = static_cast<std::size_t>(settings.RecallInputSize);
    if (settings.RecallInputSize < 1 || settings.RecallMatrix.rows() != size ||
        settings.RecallMatrix.cols() != size) {
        throw UserError("No discrete autocorrelator is loaded.");
    }
    if (inputCount != size) {
        throw UserError("The input vector has " + std::to_string(inputCount) +
                        " values; the network expects " + std::to_string(size) + ".");
    }
}

[[noreturn]] void reportOverflow(const char* what, std::size_t k, std::size_t j,
                                 std::int32_t value) {
    throw UserError(std::string("Recall of output element ") + ordinal(k) + ": the " + what +
                    " with matrix element (" + ordinal(j) + ", " + ordinal(k) + "), " +
                    std::to_string(value) +
                    ", is outside the 16-bit range -32768 to 32767 (counted from 1).");
}

// s = sum over ascending j of T(j, k) * b(j), every product and partial sum in 16 bits.
std::int32_t columnSum(const Matrix<std::int16_t>& matrix, const std::vector<std::int16_t>& b,
                       std::size_t k) {
    std::int32_t sum = 0;
    for (std::size_t j = 0; j < b.size(); ++j) {
        const std::int32_t product = std::int32_t{matrix.at(j, k)} * b[j];
        if (!fitsInt16(product)) {
            reportOverflow("product", k, j, product);
        }
        sum += product;
        if (!fitsInt16(sum)) {
            reportOverflow("partial sum ending", k, j, sum);
        }
    }
    return sum;
}

std::int16_t signOf(std::int32_t sum) {
    if (sum > 0) {
        return 1;
    }
    return sum < 0 ? -1 : 0;
}

}  // namespace

std::vector<std::int16_t> recallDiscreteAutocorrelator(NetworkSettings& settings,
                                                       std::span<const std::int16_t> input) {
    checkLoadedNetwork(settings, input.size());
    // The pass runs on a copy, so a pass stopped by an overflow leaves the work
    // vectors holding the last vector that was recalled.
    std::vector<std::int16_t> state(input.begin(), input.end());
    for (std::size_t k = 0; k < state.size(); ++k) {
        state[k] = signOf(columnSum(settings.RecallMatrix, state, k));
    }
    settings.RecallInputCopy.assign(input.begin(), input.end());
    settings.RecallStateBits = state;
    return state;
}

}  // namespace vornetica
