#include "neuron/neuron_functions.h"

#include <cmath>

extern "C" {

double LinearThreshold(double slope, double x) {
    return slope * x;
}

double RampThreshold(double boundary, double x) {
    if (x >= boundary) {
        return boundary;
    }
    if (x <= -boundary) {
        return -boundary;
    }
    return x;
}

double LogisticThreshold(double x) {
    return 1.0 / (1.0 + std::exp(-x));
}

double TanhThreshold(double x) {
    return std::tanh(x);
}

double RatioSquaresThreshold(double x) {
    if (x > 0.0) {
        const double square = x * x;
        return square / (1.0 + square);
    }
    return 0.0;
}
}
