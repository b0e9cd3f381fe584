#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include "base/matrix.h"

namespace vornetica {

struct BpnNetwork {
    double InputScale = 0.0;
    double OutputScale = 0.0;
    Matrix<double> HiddenWeights;  // I x H, [i][j]
    Matrix<double> OutputWeights;  // H x O, [j][k]
    std::vector<double> HiddenThresholds;
    std::vector<double> OutputThresholds;

    int inputSize() const { return static_cast<int>(HiddenWeights.rows()); }
    int hiddenSize() const { return static_cast<int>(HiddenThresholds.size()); }
    int outputSize() const { return static_cast<int>(OutputThresholds.size()); }
};

struct CpnNetwork {
    Matrix<double> HiddenWeights;  // U, I x H; column j is hidden unit j's weight vector
    Matrix<double> OutputWeights;  // V, H x O; row j is hidden unit j's outstar

    int inputSize() const { return static_cast<int>(HiddenWeights.rows()); }
    int hiddenSize() const { return static_cast<int>(HiddenWeights.cols()); }
    int outputSize() const { return static_cast<int>(OutputWeights.cols()); }
};

struct BsbNetwork {
    Matrix<double> Weights;  // W, I x I

    int inputSize() const { return static_cast<int>(Weights.rows()); }
};

struct DaNetwork {
    Matrix<std::int16_t> CorrelationMatrix;  // T, In x In

    int inputSize() const { return static_cast<int>(CorrelationMatrix.rows()); }
};

// The training window's network storage: empty until a run has trained a network,
// then the network of the last run that finished its training set.
using TrainedNetwork = std::variant<std::monostate, BpnNetwork, CpnNetwork, BsbNetwork, DaNetwork>;

}  // namespace vornetica
