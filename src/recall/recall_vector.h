#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "settings/network_settings.h"

namespace vornetica {

// One input vector turned into the loaded network's output, as both the recall
// window and the command line do it.
struct RecalledVector {
    std::vector<double> input;    // as recalled: for the autocorrelator rounded to integers
    std::vector<double> output;   // for the autocorrelator -1, 0 or 1
    std::optional<bool> settled;  // brain-state-in-a-box only
};

// The work vectors a recall computation leaves in the settings, kept so that a
// press that fails after the computation can still leave everything unchanged.
class RecallWorkSnapshot {
  public:
    explicit RecallWorkSnapshot(const NetworkSettings& settings);
    void restore(NetworkSettings& settings) const;

  private:
    std::vector<double> state_, hidden_, output_, start_;
    std::vector<std::int16_t> inputCopy_, stateBits_;
};

// Runs the recall computation of `kind` on `input` (RecallInputSize values). The
// autocorrelator's values are rounded to the nearest integer, halves to even.
// Throws UserError when a value or a 16-bit sum does not fit; the recall work
// vectors are then left as they were.
RecalledVector recallVector(NetworkSettings& settings, NetworkKind kind,
                            std::span<const double> input);

}  // namespace vornetica
