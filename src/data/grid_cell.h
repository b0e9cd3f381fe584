#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vornetica {

// The grid cells' key rule: a digit, "-" or "." is appended; Backspace (8) and
// Delete (127) empty the cell; every other key changes nothing. Returns whether
// the text changed.
bool applyCellKey(std::string& cellText, char32_t key);

// The grid screens' reading of a cell: the number its text begins with (an
// optional minus, digits, optionally a point and more digits); 0 when there is
// none. "1-2" gives 1, "1.2.3" gives 1.2, "--1" gives 0.
double leadingCellValue(std::string_view cellText);

// The recall window's reading of a cell: the whole text must be a number
// ("-.5", "3", "1.25"); an empty or malformed text gives nothing.
std::optional<double> strictCellValue(std::string_view cellText);

}  // namespace vornetica
