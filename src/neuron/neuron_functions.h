#pragma once

// The neuron-function library: a small shared library with a C interface, so any
// program can call the same curves that training uses.

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define VORNETICA_NEURON_API __attribute__((visibility("default")))
#else
#define VORNETICA_NEURON_API
#endif

// slope * x
VORNETICA_NEURON_API double LinearThreshold(double slope, double x);
// boundary when x >= boundary, -boundary when x <= -boundary, otherwise x
VORNETICA_NEURON_API double RampThreshold(double boundary, double x);
// 1 / (1 + e^-x)
VORNETICA_NEURON_API double LogisticThreshold(double x);
// tanh x
VORNETICA_NEURON_API double TanhThreshold(double x);
// x^2 / (1 + x^2) for x > 0, otherwise 0
VORNETICA_NEURON_API double RatioSquaresThreshold(double x);

#ifdef __cplusplus
}
#endif
