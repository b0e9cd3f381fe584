#include "data/grid_cell.h"

#include <charconv>
#include <limits>
#include <system_error>

#include "base/number_text.h"

namespace vornetica {

namespace {

constexpr char32_t kBackspace = 8;
constexpr char32_t kDelete = 127;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isDigit(text[pos])) {
        ++pos;
    }
    return pos;
}

// The length of the cell number that `text` begins with: an optional minus,
// digits, optionally a point and more digits. 0 when it holds no digit at all.
std::size_t cellNumberLength(std::string_view text) {
    std::size_t pos = text.empty() || text[0] != '-' ? 0 : 1;
    const std::size_t integerEnd = skipDigits(text, pos);
    bool anyDigit = integerEnd > pos;
    pos = integerEnd;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fractionEnd = skipDigits(text, pos + 1);
        anyDigit = anyDigit || fractionEnd > pos + 1;
        // A point with no digits after it still ends the number: "5." is 5.
        pos = fractionEnd;
    }
    return anyDigit ? pos : 0;
}

// A cell number of any length: one too large for a double becomes infinite, as
// the C library's reading does; one too small becomes zero.
double cellNumberValue(std::string_view number) {
    const bool negative = number[0] == '-';
    std::string_view magnitudeText = negative ? number.substr(1) : number;
    double magnitude = 0.0;
    const auto result = std::from_chars(magnitudeText.data(),
                                        magnitudeText.data() + magnitudeText.size(), magnitude);
    if (result.ec == std::errc::result_out_of_range) {
        const std::size_t integerEnd = skipDigits(magnitudeText, 0);
        const bool hasIntegerPart =
            magnitudeText.substr(0, integerEnd).find_first_not_of('0') != std::string_view::npos;
        magnitude = hasIntegerPart ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -magnitude : magnitude;
}

}  // namespace

bool applyCellKey(std::string& cellText, char32_t key) {
    if ((key >= U'0' && key <= U'9') || key == U'-' || key == U'.') {
        cellText.push_back(static_cast<char>(key));
        return true;
    }
    if (key == kBackspace || key == kDelete) {
        const bool changed = !cellText.empty();
        cellText.clear();
        return changed;
    }
    return false;
}

double leadingCellValue(std::string_view cellText) {
    const std::size_t length = cellNumberLength(cellText);
    if (length == 0) {
        return 0.0;
    }
    return cellNumberValue(cellText.substr(0, length));
}

std::optional<double> strictCellValue(std::string_view cellText) {
    const std::size_t length = cellNumberLength(cellText);
    if (length == 0 || length != cellText.size()) {
        return std::nullopt;
    }
    double value = 0.0;
    if (!parseFileNumber(cellText, value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace vornetica
