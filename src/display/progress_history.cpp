#include "display/progress_history.h"

#include <algorithm>
#include <cmath>

namespace vornetica {

namespace {

constexpr double DecadesWorthALogAxis = 100.0;
constexpr double RoomAboveFraction = 0.05;
constexpr double IntervalsWanted = 5.0;

// The smallest of 1, 2, 2.5 and 5 times a power of ten that is at least `rough`.
double roundStep(double rough) {
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 2.5, 5.0}) {
        if (factor * decade >= rough) {
            return factor * decade;
        }
    }
    return 10.0 * decade;
}

}  // namespace

ProgressHistory::ProgressHistory(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 2)) {
    kept_.reserve(capacity_);
}

void ProgressHistory::clear() {
    stride_ = 1;
    received_ = 0;
    kept_.clear();
    newest_.reset();
}

void ProgressHistory::add(const EpochReport& report) {
    const Kept arrived{received_, report};
    ++received_;
    newest_ = arrived;
    if (arrived.arrival % stride_ != 0) {
        return;
    }
    kept_.push_back(arrived);
    if (kept_.size() >= capacity_) {
        thin();
    }
}

void ProgressHistory::thin() {
    stride_ *= 2;
    std::erase_if(kept_, [this](const Kept& each) { return each.arrival % stride_ != 0; });
}

std::vector<EpochReport> ProgressHistory::points() const {
    std::vector<EpochReport> result;
    result.reserve(kept_.size() + 1);
    for (const Kept& each : kept_) {
        result.push_back(each.report);
    }
    const bool newestKept = !kept_.empty() && newest_ && kept_.back().arrival == newest_->arrival;
    if (newest_ && !newestKept) {
        result.push_back(newest_->report);
    }
    return result;
}

std::optional<ValueRange> rangeOf(const std::vector<double>& values) {
    if (values.empty()) {
        return std::nullopt;
    }
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return ValueRange{*low, *high};
}

bool wantsLogarithmicAxis(const std::vector<double>& values) {
    const std::optional<ValueRange> range = rangeOf(values);
    if (!range || range->low <= 0.0) {
        return false;
    }
    return range->high >= range->low * DecadesWorthALogAxis;
}

LinearScale roundLinearScale(ValueRange range) {
    const double low = std::min(range.low, 0.0);
    double high = std::max(range.high, 0.0);
    if (high <= low) {
        high = low + 1.0;
    }
    const double roomy = high + (high - low) * RoomAboveFraction;
    const double top = std::isfinite(roomy) ? roomy : high;
    const double step = roundStep((top - low) / IntervalsWanted);
    const double roundLow = std::floor(low / step) * step;
    const double roundHigh = std::ceil(top / step) * step;
    // Values near the largest a double holds leave no room for rounding.
    if (!std::isfinite(step) || step <= 0.0 || !std::isfinite(roundLow) ||
        !std::isfinite(roundHigh)) {
        return {low, top, static_cast<int>(IntervalsWanted)};
    }
    return {roundLow, roundHigh, static_cast<int>(std::lround((roundHigh - roundLow) / step))};
}

}  // namespace vornetica
