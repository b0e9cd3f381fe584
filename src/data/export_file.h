#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/file_calls.h"

namespace vornetica {

// Rows of texts as comma-separated values: one line a row, ended with CR LF; a
// field holding a comma, a double quote, a line break or a blank at either end
// goes in double quotes, its quotes doubled.
std::string csvText(const std::vector<std::vector<std::string>>& rows);

// Writes `bytes` as the whole of `path` through the atomic writer, so that a
// failure leaves an existing file as it was. Throws UserError naming the file.
void writeExportFile(const std::string& path, std::string_view bytes,
                     FileCalls& calls = systemFileCalls());

}  // namespace vornetica
