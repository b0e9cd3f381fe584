#include "ui/progress_history.h"

#include <algorithm>

namespace vornetica {

namespace {

constexpr double DecadesWorthALogAxis = 100.0;

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

}  // namespace vornetica
