#pragma once

#include <cstddef>

// The sizes at which backpropagation changes how it walks a net, kept together so
// that they are tuned together. None of them changes a single bit of the results
// (every path sums in the same order); they only choose the faster path on the
// two-processor machines we build on. The figures that chose them were not kept,
// so each says why it is where it is; measure again (bench_training, the two
// builds taking turns, medians of several rounds) before moving one.

namespace vornetica {

// Nets of at most this many connections (H * (I + O)), or with at most kFewEnds
// inputs and outputs, train in one plain function per vector: their layers are
// too short for the kernels' setup to pay, and each node's function right after
// its sum lets the divisions overlap the next exponentials.
constexpr std::size_t kSmallNet = 64;
constexpr std::size_t kFewEnds = 2;

// Within such a net, a hidden layer this long still has its sums taken by the
// vector kernel and its nodes computed layer by layer.
constexpr std::size_t kLongLayer = 16;

// The width, in hidden nodes, of the panels the larger weight matrices are kept
// in during a run: a panel's row length is then a constant, and sixteen of its
// rows are walked side by side with their sums in registers.
constexpr std::size_t kPanelWidth = 32;

// Output weights up to this many (64 KiB) are one panel; beyond it, panels of
// kPanelWidth. Hidden weights beyond this many go in panels of kPanelWidth. Both
// limits came down from 16384 and 32768 to 8192, where the panels' straight walks
// already pay for one call per panel.
constexpr std::size_t kOnePanelLimit = 8192;
constexpr std::size_t kHiddenPanelLimit = 8192;

inline bool trainsAsSmallNet(std::size_t I, std::size_t H, std::size_t O) {
    return H * (I + O) <= kSmallNet || (I <= kFewEnds && O <= kFewEnds);
}

}  // namespace vornetica
