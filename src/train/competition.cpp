#include "train/competition.h"

#include <cmath>

namespace vornetica {

namespace {

// The rule as written, for sums that hold a NaN: roots compared, and only a strictly
// smaller one replaces the winner.
std::size_t findWinnerByDistance(std::span<const double> squared) {
    std::size_t winner = 0;
    double best = std::sqrt(squared[0]);
    for (std::size_t j = 1; j < squared.size(); ++j) {
        const double distance = std::sqrt(squared[j]);
        if (distance < best) {
            best = distance;
            winner = j;
        }
    }
    return winner;
}

}  // namespace

// The winner is the lowest-indexed unit with the smallest distance, the square root
// of its squared sum. The root is monotonic, so the smallest squared sum has the
// smallest distance; but two different sums can round to the same root, so a unit
// below it whose sum is within a hair of the smallest is checked by its root too.
// No other unit needs a root taken.
std::size_t closestUnit(std::span<const double> squared) {
    std::size_t first = 0;
    double smallest = squared[0];
    bool anyNaN = std::isnan(squared[0]);
    for (std::size_t j = 1; j < squared.size(); ++j) {
        if (squared[j] < smallest) {
            smallest = squared[j];
            first = j;
        }
        anyNaN = anyNaN || std::isnan(squared[j]);
    }
    if (anyNaN) {
        return findWinnerByDistance(squared);
    }
    const double distance = std::sqrt(smallest);
    // Equal roots lie within a few units in the last place of each other's squares.
    const double nearlySmallest = smallest * (1.0 + 1e-14);
    for (std::size_t j = 0; j < first; ++j) {
        if (squared[j] <= nearlySmallest && std::sqrt(squared[j]) == distance) {
            return j;
        }
    }
    return first;
}

}  // namespace vornetica
