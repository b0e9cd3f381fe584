#pragma once

#include <cstddef>

namespace vornetica {

// v[j] = exp(v[j]) for n values, with the bits of the C library's exp. Where the
// processor and the C library allow it, the values go several at a time through
// a copy of the C library's own steps in the vector units; otherwise, and for
// values outside the copy's range, one call each.
void exponentials(double* v, std::size_t n);

// net[j] = 1 / (1 + exp(-(net[j] + thresholds[j]))): the neuron library's logistic
// function of each node's sum and threshold, the same expression with the same
// exp's bits, without a call into the library per node.
void applyLogistic(double* net, const double* thresholds, std::size_t n);

// Whether exponentials() and applyLogistic() run several at a time at the present kernel level:
// only where the processor has the units and a check at first use found the copy giving the C
// library's bits.
bool exponentialsSideBySide();

}  // namespace vornetica
