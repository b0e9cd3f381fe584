#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/file_calls.h"
#include "data/replacing_file.h"
#include "data/vector_stream.h"
#include "recall/recall_summary.h"
#include "settings/network_settings.h"

namespace vornetica {

// One recalled vector of a batch, with what was expected of it when that is known.
struct BatchRow {
    std::int64_t number = 0;       // counted from 1
    std::vector<double> input;     // as recalled (the autocorrelator's rounded)
    std::vector<double> output;    // the output vector, or the settled state
    std::vector<double> expected;  // empty without an expected-outputs file
    std::vector<double> error;     // expected - output, per output; empty likewise
    std::optional<bool> settled;   // brain-state-in-a-box only
};

// Recalls every whole vector of a recall data file with the loaded network, one
// vector at a time, so that memory does not grow with the file. With an
// expected-outputs file (the output data file format: no count, the values in
// vector order) each output is compared with its expected value and a running
// summary is kept. Brain-state-in-a-box and the autocorrelator compare the state
// they settle to, which has as many values as the input.
class BatchRecall {
  public:
    // Opens the files. With an expected-outputs file, or when `countVectors` is
    // set, the files are counted first: a refused count leaves nothing recalled.
    // Comparing needs both files to be ordinary files (a pipe cannot be counted
    // first); without it a recall data file that is a pipe is not counted.
    // Throws UserError for no loaded network, a file that cannot be opened, or an
    // expected-outputs file that does not hold exactly one vector of the outputs'
    // width for every whole input vector.
    BatchRecall(NetworkSettings& settings, const std::string& inputPath,
                const std::optional<std::string>& expectedPath, bool countVectors = false);
    ~BatchRecall();
    BatchRecall(const BatchRecall&) = delete;
    BatchRecall& operator=(const BatchRecall&) = delete;

    // Recalls the next whole vector into `row`; false at the end of the file.
    // Throws UserError (naming the vector) for a value that is not a number or a
    // recall that does not fit in 16 bits.
    bool next(BatchRow& row);

    int inputWidth() const { return inputWidth_; }
    int outputWidth() const { return outputWidth_; }
    bool comparing() const { return expected_ != nullptr; }
    // The whole vectors in the file, when it was counted.
    std::optional<std::int64_t> vectorCount() const { return vectorCount_; }
    const RecallSummary& summary() const { return summary_; }

  private:
    NetworkSettings& settings_;
    NetworkKind kind_;
    int inputWidth_;
    int outputWidth_;
    std::optional<std::int64_t> vectorCount_;
    VectorStream inputs_;
    std::string expectedPath_;
    std::unique_ptr<VectorStream> expected_;
    std::vector<double> read_;
    std::int64_t recalled_ = 0;
    RecallSummary summary_;
};

// The results table as CSV, one line per vector: its number, the inputs, the
// outputs and, when compared, the expected values and the errors. Lines end with
// CR LF; numbers are in the file form.
std::string resultsCsvHeader(int inputs, int outputs, bool compared);
void appendResultsCsvLine(std::string& line, const BatchRow& row);

// Writes the results table to a file row by row, never holding it whole; the
// file is put in place only by commit(), so a file that fails or is abandoned
// leaves what was there before.
class ResultsCsvFile {
  public:
    ResultsCsvFile(const std::string& path, int inputs, int outputs, bool compared,
                   FileCalls& calls = systemFileCalls());
    void add(const BatchRow& row);
    // Throws UserError naming the file when it cannot be written.
    void commit();

  private:
    std::string path_;
    ReplacingFile file_;
    std::string line_;
};

}  // namespace vornetica
