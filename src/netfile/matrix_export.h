#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "data/file_calls.h"
#include "train/networks.h"

namespace vornetica {

// One matrix of a network as it is exported: a vector of thresholds is one row, so
// that its values line up with the columns of the weights that feed the same units.
struct NamedMatrix {
    std::string name;  // the file name's last part: "hidden-weights"
    std::size_t rows = 0;
    std::size_t cols = 0;
    std::vector<double> values;  // row by row, as the network file holds them
};

// The network's matrices in network file order: backpropagation's hidden and output
// weights and thresholds, counterpropagation's two weight matrices, the box's and
// the autocorrelator's one. An empty storage has none.
std::vector<NamedMatrix> networkMatrices(const TrainedNetwork& network);

// A matrix as comma-separated values: one line a row, ended with CR LF, each value
// in the shortest text that reads back to the same double.
std::string matrixCsvText(const NamedMatrix& matrix);

// The file each matrix goes to: PREFIX-NAME.csv. A prefix that already ends in
// ".csv" (a name typed into a save dialogue) loses that ending first.
std::string matrixFilePath(const std::string& prefix, const std::string& name);

// Writes every matrix of `network` to its file, all of them or none: each is
// written beside its target first and they replace their targets together, so a
// failure leaves every existing file as it was and creates none. Returns the paths
// written, in network file order. Throws UserError for an empty prefix, a network
// not yet trained, or a file that cannot be written (naming it).
std::vector<std::string> exportMatrices(const TrainedNetwork& network, const std::string& prefix,
                                        FileCalls& calls = systemFileCalls());

}  // namespace vornetica
