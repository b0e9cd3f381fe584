#include "display/pattern_layout.h"

#include <algorithm>
#include <cmath>

namespace vornetica {

PatternLayout patternLayout(std::size_t size) {
    const auto side = static_cast<std::size_t>(std::llround(std::sqrt(static_cast<double>(size))));
    if (size > 1 && side * side == size) {
        return {static_cast<int>(side), static_cast<int>(side)};
    }
    return {1, static_cast<int>(size)};
}

int differingElements(const std::vector<double>& first, const std::vector<double>& second) {
    const std::size_t common = std::min(first.size(), second.size());
    int count = static_cast<int>(std::max(first.size(), second.size()) - common);
    for (std::size_t index = 0; index < common; ++index) {
        if (first[index] != second[index]) {
            ++count;
        }
    }
    return count;
}

}  // namespace vornetica
