#include "data/training_data.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "base/memory_limit.h"
#include "base/number_text.h"
#include "base/user_error.h"
#include "data/item_reader.h"
#include "data/replacing_file.h"

namespace vornetica {

namespace {

constexpr char kDataFile[] = "data file";

std::string lineLabel(const std::string& path, std::int64_t line) {
    return path + ", line " + std::to_string(line) + ": ";
}

[[noreturn]] void refuseValue(const std::string& path, const ItemReader& reader,
                              std::string_view item) {
    if (reader.itemTooLong()) {
        throw UserError(lineLabel(path, reader.line()) + quotedExcerpt(item) +
                        " is too long to be a number.");
    }
    throw UserError(lineLabel(path, reader.line()) + badNumberText(item) + ".");
}

double valueOf(const std::string& path, const ItemReader& reader, std::string_view item) {
    double value = 0.0;
    if (reader.itemTooLong() || !parseFileNumber(item, value)) {
        refuseValue(path, reader, item);
    }
    return value;
}

// The first item of an input data file: a whole number from 0 to 32767, which
// may be written with a fraction of zero ("2.0").
std::int16_t readVectorCount(ItemReader& reader, const std::string& path) {
    std::string_view item;
    if (!reader.next(item)) {
        throw UserError(path + ": the file is empty; it must begin with the vector count.");
    }
    double value = 0.0;
    if (reader.itemTooLong() || !parseFileNumber(item, value) || value != std::floor(value) ||
        value < 0.0 || value > 32767.0) {
        throw UserError(lineLabel(path, reader.line()) + quotedExcerpt(item) +
                        " is not a vector count (a whole number from 0 to 32767).");
    }
    return static_cast<std::int16_t>(value);
}

// Each value takes at least one character and a separator (the last one may
// lack its separator), so a file cannot hold more values than this.
std::uint64_t mostValuesIn(const ItemReader& reader) {
    if (reader.fileSize() < 0) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return static_cast<std::uint64_t>(reader.fileSize()) / 2 + 1;
}

[[noreturn]] void refuseShortFile(const std::string& path, std::uint64_t found, int vectors,
                                  int size) {
    const std::uint64_t needed = static_cast<std::uint64_t>(vectors) * size;
    throw UserError(path + ": the file ends after " + std::to_string(found) + " of the " +
                    std::to_string(needed) + " values needed (" + std::to_string(vectors) +
                    (vectors == 1 ? " vector of " : " vectors of ") + std::to_string(size) + ").");
}

// Reads the rest of a file that is too short for what it must hold, to report
// how far it goes (or the first item that is not a number).
[[noreturn]] void refuseFileTooShortForItsSize(ItemReader& reader, const std::string& path,
                                               int vectors, int size) {
    std::uint64_t found = 0;
    std::string_view item;
    while (reader.next(item)) {
        valueOf(path, reader, item);
        ++found;
    }
    refuseShortFile(path, found, vectors, size);
}

void requireRoomFor(const std::string& path, int vectors, int size) {
    if (!fitsInMemory(matrixBytes(static_cast<std::uint64_t>(vectors),
                                  static_cast<std::uint64_t>(size), sizeof(double)))) {
        throw UserError(path + ": the data (" + std::to_string(vectors) + " vectors of " +
                        std::to_string(size) + " values) does not fit in memory.");
    }
}

Matrix<double> readVectors(ItemReader& reader, const std::string& path, int vectors, int size) {
    const std::uint64_t needed =
        static_cast<std::uint64_t>(vectors) * static_cast<std::uint64_t>(size);
    if (needed > mostValuesIn(reader)) {
        refuseFileTooShortForItsSize(reader, path, vectors, size);
    }
    requireRoomFor(path, vectors, size);
    MatrixValues<double> values;
    try {
        // The file can hold this many values (checked above), and reserving without
        // filling costs no memory until values arrive; growing by copies instead
        // would hold up to three times the values while reading.
        values.reserve(static_cast<std::size_t>(needed));
        std::string_view item;
        for (std::uint64_t i = 0; i < needed; ++i) {
            if (!reader.next(item)) {
                refuseShortFile(path, i, vectors, size);
            }
            values.push_back(valueOf(path, reader, item));
        }
    } catch (const std::bad_alloc&) {
        throw UserError(path + ": the data (" + std::to_string(vectors) + " vectors of " +
                        std::to_string(size) + " values) does not fit in memory.");
    }
    return Matrix<double>(static_cast<std::size_t>(vectors), static_cast<std::size_t>(size),
                          std::move(values));
}

void writeValues(ReplacingFile& file, const Matrix<double>& matrix) {
    for (const double value : matrix.values()) {
        file.writeLine(fileNumberText(value));
    }
}

[[noreturn]] void refuseWrite(const std::string& path) {
    throw UserError("Cannot write the data file \"" + path + "\".");
}

// Reads the count item of a recall data file, which is not used. Returns false
// when the file holds nothing at all.
bool skipRecallCount(ItemReader& reader, const std::string& path) {
    std::string_view item;
    if (!reader.next(item)) {
        return false;
    }
    valueOf(path, reader, item);
    return true;
}

}  // namespace

TrainingSet readTrainingData(const std::string& inputPath,
                             const std::optional<std::string>& outputPath, int inputSize,
                             int outputSize) {
    TrainingSet set;
    {
        ItemReader reader(inputPath, ItemSeparators::LinesCommasAndBlanks, kDataFile);
        set.count = readVectorCount(reader, inputPath);
        set.inputs = readVectors(reader, inputPath, set.count, inputSize);
    }
    if (outputPath) {
        ItemReader reader(*outputPath, ItemSeparators::LinesCommasAndBlanks, kDataFile);
        set.outputs = readVectors(reader, *outputPath, set.count, outputSize);
    }
    return set;
}

void writeTrainingData(const std::string& inputPath, const Matrix<double>& inputs,
                       const std::string& outputPath, const Matrix<double>* outputs,
                       FileCalls& calls) {
    ReplacingFile inputFile(inputPath, calls);
    inputFile.writeLine(fileIntegerText(static_cast<std::int64_t>(inputs.rows())));
    writeValues(inputFile, inputs);
    if (outputs == nullptr) {
        if (!inputFile.commit()) {
            refuseWrite(inputPath);
        }
        return;
    }
    ReplacingFile outputFile(outputPath, calls);
    writeValues(outputFile, *outputs);
    if (const auto failed = commitTogether({&inputFile, &outputFile})) {
        refuseWrite(*failed == 0 ? inputPath : outputPath);
    }
}

std::optional<std::vector<double>> readRecallVector(const std::string& path, int size) {
    ItemReader reader(path, ItemSeparators::LinesCommasAndBlanks, kDataFile);
    if (size < 1 || !skipRecallCount(reader, path)) {
        return std::nullopt;
    }
    std::vector<double> vector;
    std::string_view item;
    for (int j = 0; j < size; ++j) {
        if (!reader.next(item)) {
            return std::nullopt;
        }
        vector.push_back(valueOf(path, reader, item));
    }
    // The window reads one value at a time and stops as soon as the end of the
    // file has been reached with a value, even the vector's last one.
    if (!reader.next(item)) {
        return std::nullopt;
    }
    return vector;
}

std::vector<std::vector<double>> readRecallVectors(const std::string& path, int size) {
    ItemReader reader(path, ItemSeparators::LinesCommasAndBlanks, kDataFile);
    std::vector<std::vector<double>> vectors;
    if (size < 1 || !skipRecallCount(reader, path)) {
        return vectors;
    }
    try {
        std::vector<double> current;
        std::string_view item;
        while (reader.next(item)) {
            current.push_back(valueOf(path, reader, item));
            if (current.size() == static_cast<std::size_t>(size)) {
                vectors.push_back(std::move(current));
                current.clear();
            }
        }
    } catch (const std::bad_alloc&) {
        throw UserError(path + ": the vectors in this file do not fit in memory.");
    }
    return vectors;
}

}  // namespace vornetica
