#include "recall/batch_recall.h"

#include <filesystem>
#include <system_error>

#include "base/number_chars.h"
#include "base/user_error.h"
#include "recall/recall_vector.h"

namespace vornetica {

namespace {

int outputWidthOf(const NetworkSettings& settings, NetworkKind kind) {
    const bool selfAssociating = kind == NetworkKind::BSB || kind == NetworkKind::DA;
    return selfAssociating ? settings.RecallInputSize : settings.RecallOutputSize;
}

NetworkKind loadedKind(const NetworkSettings& settings) {
    if (!settings.RecallLoadedKind) {
        throw UserError("No network is loaded. Choose a network file on the previous screen.");
    }
    return *settings.RecallLoadedKind;
}

std::string vectorsOf(std::uint64_t count, int width) {
    return std::to_string(count) + (count == 1 ? " vector of " : " vectors of ") +
           std::to_string(width);
}

// The expected-outputs file must pair every whole input vector with exactly one
// vector of the outputs' width: a shorter file, or one of another width, would
// compare outputs with the wrong values.
void requireMatchingCount(const std::string& path, std::uint64_t values, std::uint64_t vectors,
                          int width) {
    const std::uint64_t needed = vectors * static_cast<std::uint64_t>(width);
    if (values == needed || width <= 0) {
        return;
    }
    const std::string held = std::to_string(values) + (values == 1 ? " value" : " values");
    const std::string whole =
        values % static_cast<std::uint64_t>(width) == 0
            ? ", " + vectorsOf(values / width, width) + " outputs"
            : ", not a whole number of vectors of " + std::to_string(width) + " outputs";
    const std::string message = path + ": the expected-outputs file holds " + held + whole +
                                "; the recall data file's " + std::to_string(vectors) +
                                (vectors == 1 ? " whole vector needs " : " whole vectors need ") +
                                std::to_string(needed) + ".";
    throw UserError(message);
}

bool isOrdinaryFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// Comparing reads both files twice, first to count them.
void requireOrdinaryFile(const std::string& path, const char* what) {
    if (!isOrdinaryFile(path)) {
        throw UserError(path + ": the " + std::string(what) +
                        " must be an ordinary file when outputs are compared: it is read twice, "
                        "first to count its vectors.");
    }
}

void appendValues(std::string& line, const std::vector<double>& values) {
    for (const double value : values) {
        line += ',';
        appendFileNumber(line, value);
    }
}

void appendHeads(std::string& line, const char* head, int count) {
    for (int k = 1; k <= count; ++k) {
        line += ',';
        line += head;
        line += ' ';
        line += std::to_string(k);
    }
}

}  // namespace

BatchRecall::BatchRecall(NetworkSettings& settings, const std::string& inputPath,
                         const std::optional<std::string>& expectedPath, bool countVectors)
    : settings_(settings),
      kind_(loadedKind(settings)),
      inputWidth_(settings.RecallInputSize),
      outputWidth_(outputWidthOf(settings, kind_)),
      inputs_(inputPath, inputWidth_, VectorStream::CountItem::Skipped),
      summary_(outputWidth_) {
    if (expectedPath) {
        expectedPath_ = *expectedPath;
        expected_ = std::make_unique<VectorStream>(*expectedPath, outputWidth_,
                                                   VectorStream::CountItem::None);
        requireOrdinaryFile(inputPath, "recall data file");
        requireOrdinaryFile(*expectedPath, "expected-outputs file");
    }
    // A pipe cannot be read twice: it is recalled without a count.
    if ((expectedPath || countVectors) && isOrdinaryFile(inputPath)) {
        const std::uint64_t values = countFileValues(inputPath, VectorStream::CountItem::Skipped);
        const std::uint64_t vectors = inputWidth_ > 0 ? values / inputWidth_ : 0;
        vectorCount_ = static_cast<std::int64_t>(vectors);
        if (expectedPath) {
            requireMatchingCount(*expectedPath,
                                 countFileValues(*expectedPath, VectorStream::CountItem::None),
                                 vectors, outputWidth_);
        }
    }
}

BatchRecall::~BatchRecall() = default;

bool BatchRecall::next(BatchRow& row) {
    if (!inputs_.next(read_)) {
        return false;
    }
    row.number = ++recalled_;
    try {
        RecalledVector recalled = recallVector(settings_, kind_, read_);
        row.input = std::move(recalled.input);
        row.output = std::move(recalled.output);
        row.settled = recalled.settled;
    } catch (const UserError& error) {
        throw UserError("Vector " + std::to_string(row.number) + ": " + error.what());
    }
    row.expected.clear();
    row.error.clear();
    if (expected_) {
        if (!expected_->next(row.expected)) {
            // Counted whole before, so the file changed since.
            throw UserError(expectedPath_ + ": the expected-outputs file ended before vector " +
                            std::to_string(row.number) + ".");
        }
        row.error.resize(row.output.size());
        for (std::size_t k = 0; k < row.output.size(); ++k) {
            row.error[k] = row.expected[k] - row.output[k];
        }
        summary_.add(row.output, row.expected);
    }
    return true;
}

std::string resultsCsvHeader(int inputs, int outputs, bool compared) {
    std::string line = "vector";
    appendHeads(line, "input", inputs);
    appendHeads(line, "output", outputs);
    if (compared) {
        appendHeads(line, "expected", outputs);
        appendHeads(line, "error", outputs);
    }
    return line;
}

void appendResultsCsvLine(std::string& line, const BatchRow& row) {
    line += std::to_string(row.number);
    appendValues(line, row.input);
    appendValues(line, row.output);
    appendValues(line, row.expected);
    appendValues(line, row.error);
}

ResultsCsvFile::ResultsCsvFile(const std::string& path, int inputs, int outputs, bool compared,
                               FileCalls& calls)
    : path_(path), file_(path, calls) {
    file_.writeLine(resultsCsvHeader(inputs, outputs, compared));
}

void ResultsCsvFile::add(const BatchRow& row) {
    line_.clear();
    appendResultsCsvLine(line_, row);
    file_.writeLine(line_);
}

void ResultsCsvFile::commit() {
    if (!file_.commit()) {
        throw UserError("Cannot write the results file \"" + path_ + "\".");
    }
}

}  // namespace vornetica
