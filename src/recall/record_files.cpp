#include "recall/record_files.h"

#include "base/number_text.h"
#include "base/user_error.h"
#include "data/replacing_file.h"

namespace vornetica {

namespace {

[[noreturn]] void refuseRecordFile(const std::string& path) {
    throw UserError("Cannot write the record file " + path + ".");
}

void writeValues(ReplacingFile& file, std::span<const double> values) {
    for (const double value : values) {
        file.writeLine(fileNumberText(value));
    }
}

}  // namespace

void writeRecordFiles(const std::string& inputPath, std::span<const double> inputs,
                      const std::string& outputPath, std::span<const double> outputs,
                      FileCalls& calls) {
    if (inputPath.empty() || outputPath.empty()) {
        throw UserError("Please enter a file name for the record files.");
    }
    if (namesOneFile(inputPath, outputPath)) {
        throw UserError("The input and output record files must have different names.");
    }
    // Both files are written out in full before either replaces what was there, and
    // put back together if either cannot be put in place, so a failure in either
    // leaves both earlier record files as they were. A device such as /dev/null is
    // written in place, never replaced by a file.
    ReplacingFile inputFile(inputPath, calls);
    ReplacingFile outputFile(outputPath, calls);
    writeValues(inputFile, inputs);
    writeValues(outputFile, outputs);
    if (const auto failed = commitTogether({&inputFile, &outputFile})) {
        refuseRecordFile(*failed == 0 ? inputPath : outputPath);
    }
}

}  // namespace vornetica
