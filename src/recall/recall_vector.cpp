#include "recall/recall_vector.h"

#include <cstdint>

#include "base/rounding.h"
#include "base/user_error.h"
#include "recall/recall_computations.h"

namespace vornetica {

RecallWorkSnapshot::RecallWorkSnapshot(const NetworkSettings& settings)
    : state_(settings.RecallStateVector),
      hidden_(settings.RecallHiddenVector),
      output_(settings.RecallOutputVector),
      start_(settings.RecallStartVector),
      inputCopy_(settings.RecallInputCopy),
      stateBits_(settings.RecallStateBits) {}

void RecallWorkSnapshot::restore(NetworkSettings& settings) const {
    settings.RecallStateVector = state_;
    settings.RecallHiddenVector = hidden_;
    settings.RecallOutputVector = output_;
    settings.RecallStartVector = start_;
    settings.RecallInputCopy = inputCopy_;
    settings.RecallStateBits = stateBits_;
}

namespace {

RecalledVector recallAutocorrelator(NetworkSettings& settings, std::span<const double> input) {
    std::vector<std::int16_t> integers;
    integers.reserve(input.size());
    for (const double value : input) {
        integers.push_back(toInt16RoundingHalfEven(value));
    }
    const std::vector<std::int16_t> states = recallDiscreteAutocorrelator(settings, integers);
    RecalledVector result;
    result.input.assign(integers.begin(), integers.end());
    result.output.assign(states.begin(), states.end());
    return result;
}

RecalledVector compute(NetworkSettings& settings, NetworkKind kind, std::span<const double> input) {
    RecalledVector result;
    switch (kind) {
        case NetworkKind::BPN:
            result.input.assign(input.begin(), input.end());
            result.output = recallBackpropagation(settings, input);
            return result;
        case NetworkKind::CPN:
            result.input.assign(input.begin(), input.end());
            result.output = recallCounterpropagation(settings, input);
            return result;
        case NetworkKind::BSB: {
            BsbRecall recalled = recallBrainStateInABox(settings, input);
            result.input.assign(input.begin(), input.end());
            result.output = std::move(recalled.state);
            result.settled = recalled.settled;
            return result;
        }
        case NetworkKind::DA:
            break;
    }
    return recallAutocorrelator(settings, input);
}

}  // namespace

RecalledVector recallVector(NetworkSettings& settings, NetworkKind kind,
                            std::span<const double> input) {
    if (kind == NetworkKind::BPN) {
        // Backpropagation recall only reads the settings: nothing to put back, and
        // a file of a million vectors need not copy the work vectors a million times.
        return compute(settings, kind, input);
    }
    const RecallWorkSnapshot saved(settings);
    try {
        return compute(settings, kind, input);
    } catch (const UserError&) {
        saved.restore(settings);
        throw;
    }
}

}  // namespace vornetica
