#include "display/grid_progress.h"

#include <algorithm>

#include "base/number_text.h"

namespace vornetica {

std::string progressCellText(ProgressGrid grid, double value, int width) {
    if (grid == ProgressGrid::Iterations) {
        std::string whole = numberText(value);
        whole.erase(0, whole.find_first_not_of(' '));
        return whole;
    }
    return cutNumberText(value, width);
}

bool runWritesGrid(NetworkKind kind, ProgressGrid grid) {
    switch (kind) {
        case NetworkKind::BPN:
            return true;
        case NetworkKind::CPN:
            return grid == ProgressGrid::InputValues || grid == ProgressGrid::OutputValues ||
                   grid == ProgressGrid::ErrorValues || grid == ProgressGrid::Iterations;
        case NetworkKind::BSB:
            return grid == ProgressGrid::InputValues || grid == ProgressGrid::ErrorValues ||
                   grid == ProgressGrid::Iterations;
        case NetworkKind::DA:
            break;
    }
    return grid == ProgressGrid::OutputValues || grid == ProgressGrid::Iterations;
}

[[gnu::noinline]] static void growTo(std::vector<double>& values, std::size_t size) {
    values.resize(size);
}

inline void GridProgress::Slot::write(int firstColumn, std::span<const double> source,
                                      int shownWidth) {
    const std::size_t first = static_cast<std::size_t>(firstColumn);
    const std::size_t end = first + source.size();
    if (values.size() < end) [[unlikely]] {
        growTo(values, end);
    }
    // The run's buffers never overlap ours; a plain loop beats a call to memcpy
    // for the short vectors mostly shown.
    double* __restrict target = values.data() + first;
    const double* __restrict from = source.data();
    const std::size_t count = source.size();
    for (std::size_t index = 0; index < count; ++index) {
        target[index] = from[index];
    }
    width = shownWidth;
    if (first < dirtyBegin) [[unlikely]] {
        dirtyBegin = first;
    }
    if (end > dirtyEnd) [[unlikely]] {
        dirtyEnd = end;
    }
}

void GridProgress::showCells(ProgressGrid grid, int firstColumn, std::span<const double> values,
                             int width) {
    // Trainers write cells only when asked (requestCells below), a few times a
    // second, so each write can go straight over.
    running_[static_cast<std::size_t>(grid)].write(firstColumn, values, width);
    handOver();
}

void GridProgress::endOfEpoch(const EpochReport& report) {
    runningHistory_.add(report);
    record_.add(report);
    if (historyWanted_.load(std::memory_order_relaxed)) [[unlikely]] {
        handOverHistory();
    }
}

void GridProgress::finish() {
    handOver();
    if (!runningHistory_.empty()) {
        handOverHistory();
    }
}

void GridProgress::handOverHistory() {
    std::vector<EpochReport> points = runningHistory_.points();
    std::lock_guard lock(mutex_);
    handedOverHistory_ = std::move(points);
    historyWanted_.store(false, std::memory_order_relaxed);
}

void GridProgress::handOver() {
    std::lock_guard lock(mutex_);
    for (std::size_t index = 0; index < running_.size(); ++index) {
        Slot& from = running_[index];
        if (!from.dirty()) {
            continue;
        }
        handedOver_[index].write(
            from.dirtyBegin,
            std::span<const double>(from.values)
                .subspan(static_cast<std::size_t>(from.dirtyBegin),
                         static_cast<std::size_t>(from.dirtyEnd - from.dirtyBegin)),
            from.width);
        from.markClean();
    }
}

void GridProgress::reset() {
    std::lock_guard lock(mutex_);
    running_ = {};
    handedOver_ = {};
    runningHistory_.clear();
    record_.clear();
    handedOverHistory_.reset();
    historyWanted_.store(true, std::memory_order_relaxed);
    stop_.store(false, std::memory_order_relaxed);
    requestCells();
    snapshots_.reset();
}

std::vector<GridProgress::Change> GridProgress::takeChanges() {
    std::vector<Change> changes;
    {
        std::lock_guard lock(mutex_);
        for (std::size_t index = 0; index < handedOver_.size(); ++index) {
            Slot& slot = handedOver_[index];
            if (!slot.dirty()) {
                continue;
            }
            Change change;
            change.grid = static_cast<ProgressGrid>(index);
            change.firstColumn = static_cast<int>(slot.dirtyBegin);
            change.width = slot.width;
            change.values.assign(slot.values.begin() + static_cast<std::ptrdiff_t>(slot.dirtyBegin),
                                 slot.values.begin() + static_cast<std::ptrdiff_t>(slot.dirtyEnd));
            changes.push_back(std::move(change));
            slot.markClean();
        }
    }
    // The run publishes the cells of its next vector, and they go over at once.
    requestCells();
    return changes;
}

std::optional<std::vector<EpochReport>> GridProgress::takeHistory() {
    std::optional<std::vector<EpochReport>> taken;
    {
        std::lock_guard lock(mutex_);
        taken.swap(handedOverHistory_);
    }
    historyWanted_.store(true, std::memory_order_relaxed);
    return taken;
}

}  // namespace vornetica
