#include "train/unit_stepper.h"

#include <utility>

namespace vornetica {

void UnitStepper::reset() {
    const std::lock_guard lock(mutex_);
    stepping_ = false;
    newest_.reset();
    progress_.explainUnits(false);
}

void UnitStepper::step() {
    {
        const std::lock_guard lock(mutex_);
        stepping_ = true;
        ++releases_;
        progress_.explainUnits(true);
    }
    released_.notify_all();
}

void UnitStepper::letGo() {
    {
        const std::lock_guard lock(mutex_);
        stepping_ = false;
        ++releases_;
        progress_.explainUnits(false);
    }
    released_.notify_all();
}

bool UnitStepper::stepping() const {
    const std::lock_guard lock(mutex_);
    return stepping_;
}

std::optional<WorkedUnit> UnitStepper::takeUnit() {
    const std::lock_guard lock(mutex_);
    return std::exchange(newest_, std::nullopt);
}

void UnitStepper::unitWorked(WorkedUnit&& unit) {
    std::unique_lock lock(mutex_);
    newest_ = std::move(unit);
    if (!stepping_) {
        return;
    }
    const long seen = releases_;
    released_.wait(lock, [&] { return releases_ != seen; });
}

}  // namespace vornetica
