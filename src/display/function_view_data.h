#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "base/matrix.h"
#include "neuron/threshold.h"
#include "train/networks.h"

namespace vornetica {

// The output vector of a backpropagation network for the input `input` (values
// as a file holds them), computed as the network trains: inputs divided by the
// input scale, both layers through `function`, outputs times the output scale.
std::vector<double> networkOutputs(const BpnNetwork& network, const ThresholdChoice& function,
                                   std::span<const double> input);

// How the function view draws a network, by its number of inputs.
enum class FunctionShape {
    Curve,  // one input: the chosen output against the input
    Map,    // two inputs: the chosen output over the plane of both
    Pairs,  // more: each training vector's output against its target
};

FunctionShape functionShapeFor(int inputSize);

// What the function view draws of one output of one network, with the training
// set's points. All values are as a file holds them (scaled back).
struct FunctionSamples {
    FunctionShape shape = FunctionShape::Curve;
    int output = 0;  // the output drawn, from 0
    // Curve and Map: the input range sampled (the training inputs' range; Map uses
    // the first input's for x and the second's for y).
    double xLow = 0.0, xHigh = 1.0, yLow = 0.0, yHigh = 1.0;
    // Curve: `columns` samples, values[c] at x = xLow + c * (xHigh - xLow) / (columns - 1).
    // Map: `rows` x `columns` samples in row order, row 0 at yLow.
    int columns = 0;
    int rows = 0;
    std::vector<double> values;
    // The training vectors: Curve (input, target), Map (first input, second input),
    // Pairs (target, output).
    std::vector<double> pointX;
    std::vector<double> pointY;
    // Map: each vector's target, which the view colours its point with.
    std::vector<double> pointTarget;
};

// Samples the chosen output of `network` for the function view. `inputs` and
// `targets` are the training set as read (P rows each); `resolution` is the
// samples along a side (Curve: the columns; Map: both sides).
FunctionSamples sampleFunction(const BpnNetwork& network, const ThresholdChoice& function,
                               const Matrix<double>& inputs, const Matrix<double>& targets,
                               int output, int resolution);

// The view's caption: which function the drawing uses ("logistic", "tanh", ...)
// and, unless it is the logistic, that recall uses the logistic instead.
std::string functionCaption(const ThresholdChoice& function);

}  // namespace vornetica
