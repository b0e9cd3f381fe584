#include "train/weight_panels.h"

#include <algorithm>
#include <vector>

#include "train/bpn_tuning.h"

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

PanelLayout::PanelLayout(std::size_t I, std::size_t H, std::size_t O) : I_(I), H_(H), O_(O) {
    if (!trainsAsSmallNet(I, H, O)) {
        outputWidth_ = H * O <= kOnePanelLimit ? H : kPanelWidth;
        hiddenWidth_ = I * H <= kHiddenPanelLimit ? H : kPanelWidth;
    }
}

// Each panel in place, with one panel of room aside.
void PanelLayout::turnOutputPanels(double* outputWeights, bool intoPanels) const {
    if (outputWidth_ == 0) {
        return;
    }
    const std::size_t O = O_;
    std::vector<double> aside(std::min(outputWidth_, H_) * O);
    forEachOutputPanel(outputWeights, [&](double* panel, std::size_t, std::size_t w) {
        std::copy(panel, panel + w * O, aside.begin());
        for (std::size_t l = 0; l < w; ++l) {
            for (std::size_t k = 0; k < O; ++k) {
                if (intoPanels) {
                    panel[k * w + l] = aside[l * O + k];
                } else {
                    panel[l * O + k] = aside[k * w + l];
                }
            }
        }
    });
}

void PanelLayout::arrange(double* hiddenWeights, double* outputWeights, bool intoPanels) const {
    turnOutputPanels(outputWeights, intoPanels);
    arrangePanels(hiddenWeights, I_, H_, hiddenWidth_, intoPanels);
}

}  // namespace vornetica
