#pragma once

#include <cstddef>
#include <vector>

namespace vornetica {

// How a vector is laid out as cells: a square when its size is a perfect square
// (16 gives 4 by 4, so a recalled letter can be seen), otherwise one row.
struct PatternLayout {
    int rows = 1;
    int columns = 0;
};
PatternLayout patternLayout(std::size_t size);

// In how many places two vectors hold different values; elements only one of them
// has count as different.
int differingElements(const std::vector<double>& first, const std::vector<double>& second);

}  // namespace vornetica
