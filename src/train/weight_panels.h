#pragma once

#include <algorithm>
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

// Where a backpropagation run keeps the weights of a net of I inputs, H hidden and
// O output nodes, in panels of hidden nodes, so that every pass over a larger net's
// weights walks memory straight through. Nets that train as small nets keep both
// matrices plain. Nothing outside a run sees the panels: arrange() puts the
// matrices back before the run returns.
//
// Output weights (H x O, [j][k]): each panel of `outputWidth` hidden nodes is
// stored transposed in its own place, so that row k of the panel of nodes
// [j, j + w) holds W[j][k] to W[j + w - 1][k]. The backward sums of a panel's
// nodes then run down its columns, each added from whole rows, and its changes go
// with them; the output sums turn small tiles of each panel in registers. Up to
// kOnePanelLimit weights the whole matrix is one panel.
//
// Hidden weights (I x H, [i][j]): panel n holds the columns [n * kPanelWidth, ...)
// of every input's row, one row after the other, so the pass over the weights
// walks each panel straight through with its sums in registers; a strip of
// columns of the whole matrix would step a full row at a time, which the caches
// serve more slowly the larger the matrix. Up to kHiddenPanelLimit weights the
// matrix stays plain (one panel as wide as H).
class PanelLayout {
  public:
    PanelLayout() = default;
    PanelLayout(std::size_t I, std::size_t H, std::size_t O);

    // step(panel, j, w) for the output weights' panels of nodes [j, j + w) in turn.
    template <typename Weights, typename PanelStep>
    void forEachOutputPanel(Weights* outputWeights, const PanelStep& step) const {
        forEachPanel(outputWidth_, O_, outputWeights, step);
    }

    // step(panel, j, w) for the hidden weights' panels of nodes [j, j + w) in turn;
    // row i of a panel holds W[i][j] to W[i][j + w - 1].
    template <typename Weights, typename PanelStep>
    void forEachHiddenPanel(Weights* hiddenWeights, const PanelStep& step) const {
        forEachPanel(hiddenWidth_, I_, hiddenWeights, step);
    }

    // Moves both matrices into the layouts the run's passes walk, or back into
    // their plain layouts, which is all anything outside a run may see.
    void arrange(double* hiddenWeights, double* outputWeights, bool intoPanels) const;

  private:
    // The panel of nodes [j, j + w), each of `length` rows, starts after the
    // j * length weights of the panels before it.
    template <typename Weights, typename PanelStep>
    void forEachPanel(std::size_t width, std::size_t length, Weights* weights,
                      const PanelStep& step) const {
        for (std::size_t j = 0; j < H_; j += width) {
            const std::size_t w = std::min(width, H_ - j);
            step(weights + j * length, j, w);
        }
    }

    void turnOutputPanels(double* outputWeights, bool intoPanels) const;

    std::size_t I_ = 0, H_ = 0, O_ = 0;
    std::size_t outputWidth_ = 0;  // 0: the small nets' plain layout
    std::size_t hiddenWidth_ = 0;  // 0 or H: the plain layout
};

}  // namespace vornetica
