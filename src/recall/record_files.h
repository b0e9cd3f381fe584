#pragma once

#include <span>
#include <string>

#include "data/file_calls.h"

namespace vornetica {

// Writes the two recall record files: each value on a line of its own in the file
// number form, CR LF line ends, no header or count. Both files are first written
// beside their targets and put in place together, so a failure leaves any existing
// record files whole. Two names of one file (see
// namesOneFile) are refused before anything is written. Throws UserError naming
// the file.
void writeRecordFiles(const std::string& inputPath, std::span<const double> inputs,
                      const std::string& outputPath, std::span<const double> outputs,
                      FileCalls& calls = systemFileCalls());

}  // namespace vornetica
