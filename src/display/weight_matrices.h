#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "train/networks.h"

namespace vornetica {

// One weight matrix or threshold vector of a network, as the weight view draws
// it: rows x cols values in row order (a vector is one row), with what its rows
// and columns stand for so each cell can be named.
struct WeightMatrix {
    std::string title;    // "Hidden weights (input to hidden node)"
    std::string weight;   // "hidden weight", "threshold of", ...
    std::string rowUnit;  // "input", "hidden node", ...; empty for a vector
    std::string colUnit;  // "hidden node", ...
    std::size_t rows = 0;
    std::size_t cols = 0;
    std::vector<double> values;

    double at(std::size_t row, std::size_t col) const { return values[row * cols + col]; }
};

// The matrices of a network in the order the weight view offers them: for
// backpropagation the hidden and output weights and the two threshold vectors;
// for counterpropagation the Kohonen and outstar weights; for the box and the
// autocorrelator their one matrix. None for an empty storage.
std::vector<WeightMatrix> weightMatricesOf(const TrainedNetwork& network);

// The weight at (row, col), named for a person, counting from 1 as the window's
// messages do: "hidden weight from input 2 to hidden node 5", "threshold of
// output node 1". Empty outside the matrix.
std::string weightName(const WeightMatrix& matrix, std::size_t row, std::size_t col);

}  // namespace vornetica
