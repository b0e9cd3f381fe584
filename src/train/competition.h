#pragma once

#include <cstddef>
#include <span>

namespace vornetica {

// The counterpropagation competition over squared Euclidean distances: the winner
// is the lowest-indexed unit with the smallest distance (the square root of its
// squared sum), found with as few roots as exactness allows. At least one unit.
std::size_t closestUnit(std::span<const double> squaredDistances);

}  // namespace vornetica
