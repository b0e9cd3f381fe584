#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/matrix.h"
#include "data/file_calls.h"

namespace vornetica {

// A training set as read: the count from the input data file, P x inputSize input
// values and, for the kinds with targets, P x outputSize output values.
struct TrainingSet {
    std::int16_t count = 0;
    Matrix<double> inputs;
    Matrix<double> outputs;
};

// Reads the input data file (count line, then count x inputSize values) and, when
// outputPath is given, the output data file (no count line, count x outputSize
// values). A line break, a comma or a space ends a number; numbers beyond those
// needed are ignored. Throws UserError naming the file, the line and the text
// found for a missing file, a bad count, a non-numeric field or a short file.
TrainingSet readTrainingData(const std::string& inputPath,
                             const std::optional<std::string>& outputPath, int inputSize,
                             int outputSize);

// Writes the input data file (count line, then the values) and, when outputs are
// given, the output data file (values only), each line ended by CR LF. Both files
// are written out in full beside their targets and put in place together, so a
// failure leaves both existing files whole. Throws UserError on failure.
void writeTrainingData(const std::string& inputPath, const Matrix<double>& inputs,
                       const std::string& outputPath, const Matrix<double>* outputs,
                       FileCalls& calls = systemFileCalls());

// The recall data file: the input data file format, its count read and ignored.
// Reads the first vector of `size` values. Returns nothing when the file ends before
// the vector is complete or with its last value (that press recalls nothing).
// Throws UserError for a missing file or a non-numeric field.
std::optional<std::vector<double>> readRecallVector(const std::string& path, int size);

// Every whole vector of a recall data file (the command line recalls them all).
std::vector<std::vector<double>> readRecallVectors(const std::string& path, int size);

}  // namespace vornetica
