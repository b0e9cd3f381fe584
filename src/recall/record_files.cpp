#include "recall/record_files.h"

#include "base/number_chars.h"
#include "base/user_error.h"
#include "data/replacing_file.h"

namespace vornetica {

namespace {

[[noreturn]] void refuseRecordFile(const std::string& path) {
    throw UserError("Cannot write the record file " + path + ".");
}

void writeValues(ReplacingFile& file, std::span<const double> values) {
    char line[kFileNumberChars + 2];
    for (const double value : values) {
        char* end = writeFileNumber(line, value);
        *end++ = '\r';
        *end++ = '\n';
        file.write(std::string_view(line, static_cast<std::size_t>(end - line)));
    }
}

const std::string& checkedNames(const std::string& inputPath, const std::string& outputPath) {
    if (inputPath.empty() || outputPath.empty()) {
        throw UserError("Please enter a file name for the record files.");
    }
    if (namesOneFile(inputPath, outputPath)) {
        throw UserError("The input and output record files must have different names.");
    }
    return inputPath;
}

}  // namespace

void writeRecordFiles(const std::string& inputPath, std::span<const double> inputs,
                      const std::string& outputPath, std::span<const double> outputs,
                      FileCalls& calls) {
    RecordFilesWriter writer(inputPath, outputPath, calls);
    writer.add(inputs, outputs);
    writer.commit();
}

RecordFilesWriter::RecordFilesWriter(const std::string& inputPath, const std::string& outputPath,
                                     FileCalls& calls)
    : inputPath_(checkedNames(inputPath, outputPath)),
      outputPath_(outputPath),
      inputFile_(inputPath, calls),
      outputFile_(outputPath, calls) {}

void RecordFilesWriter::add(std::span<const double> input, std::span<const double> output) {
    writeValues(inputFile_, input);
    writeValues(outputFile_, output);
}

// Both files are written out in full before either replaces what was there, and
// put back together if either cannot be put in place, so a failure in either
// leaves both earlier record files as they were. A device such as /dev/null is
// written in place, never replaced by a file.
void RecordFilesWriter::commit() {
    if (const auto failed = commitTogether({&inputFile_, &outputFile_})) {
        refuseRecordFile(*failed == 0 ? inputPath_ : outputPath_);
    }
}

}  // namespace vornetica
