#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace vornetica {

// Reads a list of columns counted from 1, such as "1-4,6", into columns counted
// from 0 in the order written. Nothing for a text that is not such a list (an
// empty item, a range that runs backwards, a column 0 or beyond 32767).
std::optional<std::vector<int>> parseColumnList(std::string_view text);

}  // namespace vornetica
