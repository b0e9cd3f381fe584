#pragma once

// The readers behind importTable and previewTable: each walks a file and hands
// every value of every row to a RowVisitor.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/line_source.h"
#include "import/table_import.h"

namespace vornetica {

class RowVisitor {
  public:
    virtual ~RowVisitor() = default;
    // The value of `column` (from 0) of the current row, found on `line` in
    // field `lineColumn` (both from 1).
    virtual void value(int column, std::string_view text, std::int64_t line, int lineColumn) = 0;
    // Ends the row, `bytesRead` into the file; returns false to stop reading.
    virtual bool endRow(std::int64_t bytesRead) = 0;
};

// "name, line 3, column 2: " for messages.
std::string placeLabel(const std::string& path, std::int64_t line, int column = 0);

// The layout of the file under the choices, detecting what they leave open.
TableLayout detectLayout(const std::string& path, const ImportChoices& choices);

// Reads every row of the file under `layout` (which detectLayout gave).
void readRows(const std::string& path, const TableLayout& layout, RowVisitor& visitor);

}  // namespace vornetica
