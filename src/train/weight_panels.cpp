#include "train/weight_panels.h"

#include <algorithm>
#include <vector>

namespace vornetica {

// Follows the cycles of the permutation, with one bit per chunk.
void transposeChunks(double* values, std::size_t rows, std::size_t cols, std::size_t chunk) {
    const std::size_t count = rows * cols;
    std::vector<bool> placed(count, false);
    std::vector<double> held(chunk);
    for (std::size_t start = 0; start < count; ++start) {
        if (placed[start]) {
            continue;
        }
        std::copy(values + start * chunk, values + (start + 1) * chunk, held.begin());
        std::size_t from = start;
        do {
            const std::size_t to = (from % cols) * rows + from / cols;
            std::swap_ranges(held.begin(), held.end(), values + to * chunk);
            placed[to] = true;
            from = to;
        } while (from != start);
    }
}

// The rows' parts in full panels are chunks of `width` values, gathered at the
// front and transposed as chunks; the parts in the narrower last panel are set
// aside meanwhile and make up that panel at the end.
void arrangePanels(double* values, std::size_t rows, std::size_t cols, std::size_t width,
                   bool intoPanels) {
    if (width == 0 || width >= cols) {
        return;
    }
    const std::size_t panels = cols / width;
    const std::size_t full = panels * width;
    const std::size_t rest = cols - full;
    std::vector<double> rests(rows * rest);
    // Row 0's part in full panels is at its place in both layouts; the others move
    // left (first rows first) or right (last rows first) without overwriting any
    // part yet to move.
    if (intoPanels) {
        for (std::size_t r = 0; r < rows; ++r) {
            double* row = values + r * cols;
            std::copy(row + full, row + cols, rests.begin() + r * rest);
            if (r > 0) {
                std::copy(row, row + full, values + r * full);
            }
        }
        transposeChunks(values, rows, panels, width);
        std::copy(rests.begin(), rests.end(), values + rows * full);
    } else {
        std::copy(values + rows * full, values + rows * cols, rests.begin());
        transposeChunks(values, panels, rows, width);
        for (std::size_t r = rows; r-- > 1;) {
            std::copy_backward(values + r * full, values + (r + 1) * full,
                               values + r * cols + full);
        }
        for (std::size_t r = 0; r < rows; ++r) {
            std::copy(rests.begin() + r * rest, rests.begin() + (r + 1) * rest,
                      values + r * cols + full);
        }
    }
}

}  // namespace vornetica
