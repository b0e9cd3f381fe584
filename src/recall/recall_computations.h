#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "settings/network_settings.h"

namespace vornetica {

// Each computation reads the loaded network from the recall fields and leaves its
// work vectors there, as the recall window's press expects.

// Logistic on both layers, input divided by RecallInputScale, output times
// RecallOutputScale.
std::vector<double> recallBackpropagation(const NetworkSettings& settings,
                                          std::span<const double> input);

// Winner-take-all on the raw input; the output is the winner's row of the
// hidden-to-output weights.
std::vector<double> recallCounterpropagation(NetworkSettings& settings,
                                             std::span<const double> input);

struct BsbRecall {
    std::vector<double> state;
    bool settled = true;  // no unit's relative change exceeds RecallErrorThreshold
};
// One sequential sweep limited to the box [-RecallGamma, RecallGamma].
BsbRecall recallBrainStateInABox(NetworkSettings& settings, std::span<const double> input);

// One in-place pass in increasing index order with 16-bit arithmetic. Throws
// UserError naming the element when a product or partial sum leaves 16 bits.
std::vector<std::int16_t> recallDiscreteAutocorrelator(NetworkSettings& settings,
                                                       std::span<const std::int16_t> input);

}  // namespace vornetica
