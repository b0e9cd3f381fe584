#pragma once

#include <span>
#include <string>

#include "data/file_calls.h"
#include "data/replacing_file.h"

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

// The two record files written vector by vector, for recalls too long to hold:
// the same names are refused as by writeRecordFiles, and neither file replaces
// its target before commit() has finished both.
class RecordFilesWriter {
  public:
    RecordFilesWriter(const std::string& inputPath, const std::string& outputPath,
                      FileCalls& calls = systemFileCalls());
    void add(std::span<const double> input, std::span<const double> output);
    // Throws UserError naming the file that could not be put in place.
    void commit();

  private:
    std::string inputPath_;
    std::string outputPath_;
    ReplacingFile inputFile_;
    ReplacingFile outputFile_;
};

}  // namespace vornetica
