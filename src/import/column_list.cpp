#include "import/column_list.h"

#include <charconv>

namespace vornetica {

namespace {

// Larger than any table a training data file can take.
constexpr int kLastColumn = 32767 * 2;

std::optional<int> columnNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < 1 ||
        value > kLastColumn) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<std::vector<int>> parseColumnList(std::string_view text) {
    std::vector<int> columns;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        const std::size_t dash = item.find('-');
        const std::optional<int> first = columnNumber(item.substr(0, dash));
        const std::optional<int> last =
            dash == std::string_view::npos ? first : columnNumber(item.substr(dash + 1));
        if (!first || !last || *last < *first) {
            return std::nullopt;
        }
        for (int column = *first; column <= *last; ++column) {
            columns.push_back(column - 1);
        }
        if (comma == std::string_view::npos) {
            return columns;
        }
        text.remove_prefix(comma + 1);
    }
}

}  // namespace vornetica
