#include "display/function_view_data.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace vornetica {

namespace {

// The smallest and largest finite values of column `col`; an empty or flat range
// is widened by one each way, so that the view still has an axis to draw.
std::pair<double, double> columnRange(const Matrix<double>& values, std::size_t col) {
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (std::size_t row = 0; row < values.rows(); ++row) {
        const double value = values.at(row, col);
        if (std::isfinite(value)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    if (low > high) {
        return {-1.0, 1.0};
    }
    if (low == high) {
        return {low - 1.0, high + 1.0};
    }
    return {low, high};
}

double sampleAt(double low, double high, int index, int count) {
    if (count < 2) {
        return low;
    }
    return low + (high - low) * static_cast<double>(index) / static_cast<double>(count - 1);
}

// One layer: out[n] = function(sum over m of in[m] * W[m][n], from 0.0, + thresholds[n]).
void layer(const Matrix<double>& weights, const std::vector<double>& thresholds,
           const ThresholdChoice& function, std::span<const double> in, std::vector<double>& out) {
    out.assign(thresholds.size(), 0.0);
    for (std::size_t n = 0; n < thresholds.size(); ++n) {
        double sum = 0.0;
        for (std::size_t m = 0; m < in.size(); ++m) {
            sum += weights.at(m, n) * in[m];
        }
        out[n] = applyThreshold(function, sum + thresholds[n]);
    }
}

// The forward pass with its buffers kept from one input to the next: the view
// samples hundreds of inputs several times a second.
class ForwardPass {
  public:
    ForwardPass(const BpnNetwork& network, const ThresholdChoice& function)
        : network_(network), function_(function) {}

    // Output k, scaled back, for `input` as a file holds it.
    double output(std::span<const double> input, std::size_t k) { return outputs(input)[k]; }
    const std::vector<double>& outputs(std::span<const double> input) {
        x_.resize(input.size());
        for (std::size_t i = 0; i < input.size(); ++i) {
            x_[i] = input[i] / network_.InputScale;
        }
        layer(network_.HiddenWeights, network_.HiddenThresholds, function_, x_, hidden_);
        layer(network_.OutputWeights, network_.OutputThresholds, function_, hidden_, output_);
        for (double& value : output_) {
            value *= network_.OutputScale;
        }
        return output_;
    }

  private:
    const BpnNetwork& network_;
    const ThresholdChoice& function_;
    std::vector<double> x_, hidden_, output_;
};

void sampleCurve(const BpnNetwork& network, const ThresholdChoice& function,
                 const Matrix<double>& inputs, int resolution, FunctionSamples& samples) {
    std::tie(samples.xLow, samples.xHigh) = columnRange(inputs, 0);
    samples.columns = std::max(resolution, 2);
    samples.rows = 1;
    const auto k = static_cast<std::size_t>(samples.output);
    ForwardPass pass(network, function);
    for (int c = 0; c < samples.columns; ++c) {
        const double x = sampleAt(samples.xLow, samples.xHigh, c, samples.columns);
        samples.values.push_back(pass.output({&x, 1}, k));
    }
}

void sampleMap(const BpnNetwork& network, const ThresholdChoice& function,
               const Matrix<double>& inputs, int resolution, FunctionSamples& samples) {
    std::tie(samples.xLow, samples.xHigh) = columnRange(inputs, 0);
    std::tie(samples.yLow, samples.yHigh) = columnRange(inputs, 1);
    samples.columns = std::max(resolution, 2);
    samples.rows = samples.columns;
    const auto k = static_cast<std::size_t>(samples.output);
    ForwardPass pass(network, function);
    for (int r = 0; r < samples.rows; ++r) {
        for (int c = 0; c < samples.columns; ++c) {
            const double input[2] = {sampleAt(samples.xLow, samples.xHigh, c, samples.columns),
                                     sampleAt(samples.yLow, samples.yHigh, r, samples.rows)};
            samples.values.push_back(pass.output(input, k));
        }
    }
}

}  // namespace

std::vector<double> networkOutputs(const BpnNetwork& network, const ThresholdChoice& function,
                                   std::span<const double> input) {
    ForwardPass pass(network, function);
    return pass.outputs(input);
}

FunctionShape functionShapeFor(int inputSize) {
    if (inputSize <= 1) {
        return FunctionShape::Curve;
    }
    return inputSize == 2 ? FunctionShape::Map : FunctionShape::Pairs;
}

FunctionSamples sampleFunction(const BpnNetwork& network, const ThresholdChoice& function,
                               const Matrix<double>& inputs, const Matrix<double>& targets,
                               int output, int resolution) {
    FunctionSamples samples;
    samples.shape = functionShapeFor(network.inputSize());
    samples.output = std::clamp(output, 0, std::max(network.outputSize() - 1, 0));
    if (network.outputSize() == 0 || network.inputSize() == 0) {
        return samples;
    }
    const bool dataFits = inputs.cols() == static_cast<std::size_t>(network.inputSize()) &&
                          targets.cols() == static_cast<std::size_t>(network.outputSize()) &&
                          targets.rows() >= inputs.rows();
    const Matrix<double> none(0, static_cast<std::size_t>(network.inputSize()));
    const Matrix<double>& points = dataFits ? inputs : none;
    const auto k = static_cast<std::size_t>(samples.output);
    ForwardPass pass(network, function);
    switch (samples.shape) {
        case FunctionShape::Curve:
            sampleCurve(network, function, points, resolution, samples);
            break;
        case FunctionShape::Map:
            sampleMap(network, function, points, resolution, samples);
            break;
        case FunctionShape::Pairs:
            break;
    }
    for (std::size_t p = 0; p < points.rows(); ++p) {
        const std::span<const double> input = points.row(p);
        switch (samples.shape) {
            case FunctionShape::Curve:
                samples.pointX.push_back(input[0]);
                samples.pointY.push_back(targets.at(p, k));
                break;
            case FunctionShape::Map:
                samples.pointX.push_back(input[0]);
                samples.pointY.push_back(input[1]);
                samples.pointTarget.push_back(targets.at(p, k));
                break;
            case FunctionShape::Pairs:
                samples.pointX.push_back(targets.at(p, k));
                samples.pointY.push_back(pass.output(input, k));
                break;
        }
    }
    return samples;
}

std::string functionCaption(const ThresholdChoice& function) {
    std::string name;
    switch (function.function) {
        case ThresholdKind::Linear:
            name = "linear";
            break;
        case ThresholdKind::Ramp:
            name = "ramp";
            break;
        case ThresholdKind::Step:
            name = "step";
            break;
        case ThresholdKind::Logistic:
            return "Drawn with the logistic function, which the network trained with and "
                   "recall uses.";
        case ThresholdKind::Tanh:
            name = "tanh";
            break;
        case ThresholdKind::RatioSquares:
        case ThresholdKind::NoneChosen:
            name = "ratio of squares";
            break;
    }
    return "Drawn with the " + name +
           " function, which the network trained with; recall uses the logistic function and "
           "gives other outputs.";
}

}  // namespace vornetica
