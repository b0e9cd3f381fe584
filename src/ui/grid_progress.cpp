#include "ui/grid_progress.h"

#include <algorithm>

namespace vornetica {

void GridProgress::showCells(ProgressGrid grid, int firstColumn, std::span<const double> values,
                             int width) {
    const int end = firstColumn + static_cast<int>(values.size());
    std::lock_guard lock(mutex_);
    Slot& slot = slots_[static_cast<std::size_t>(grid)];
    if (static_cast<int>(slot.values.size()) < end) {
        slot.values.resize(static_cast<std::size_t>(end));
    }
    std::copy(values.begin(), values.end(), slot.values.begin() + firstColumn);
    slot.width = width;
    slot.dirtyBegin = std::min(slot.dirtyBegin, firstColumn);
    slot.dirtyEnd = std::max(slot.dirtyEnd, end);
}

void GridProgress::reset() {
    std::lock_guard lock(mutex_);
    slots_ = {};
    stop_.store(false, std::memory_order_relaxed);
}

std::vector<GridProgress::Change> GridProgress::takeChanges() {
    std::vector<Change> changes;
    std::lock_guard lock(mutex_);
    for (std::size_t index = 0; index < slots_.size(); ++index) {
        Slot& slot = slots_[index];
        if (slot.dirtyBegin >= slot.dirtyEnd) {
            continue;
        }
        Change change;
        change.grid = static_cast<ProgressGrid>(index);
        change.firstColumn = slot.dirtyBegin;
        change.width = slot.width;
        change.values.assign(slot.values.begin() + slot.dirtyBegin,
                             slot.values.begin() + slot.dirtyEnd);
        changes.push_back(std::move(change));
        slot.dirtyBegin = std::numeric_limits<int>::max();
        slot.dirtyEnd = 0;
    }
    return changes;
}

}  // namespace vornetica
