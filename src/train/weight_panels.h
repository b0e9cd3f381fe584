#pragma once

#include <cstddef>

namespace vornetica {

// Transposes, in place, a rows x cols matrix whose elements are chunks of `chunk`
// doubles: the chunk at r * cols + c goes to c * rows + r.
void transposeChunks(double* values, std::size_t rows, std::size_t cols, std::size_t chunk);

// Moves a rows x cols matrix, in place, between its plain layout and panels of
// `width` columns: panel n holds columns [n * width, n * width + width) of every
// row, one row after the other, and a last, narrower panel the columns left over.
// Nothing moves when one panel would hold the whole matrix.
void arrangePanels(double* values, std::size_t rows, std::size_t cols, std::size_t width,
                   bool intoPanels);

}  // namespace vornetica
