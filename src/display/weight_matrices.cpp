#include "display/weight_matrices.h"

#include <algorithm>
#include <variant>

namespace vornetica {

namespace {

template <typename T>
WeightMatrix matrixOf(const Matrix<T>& values, std::string title, std::string weight,
                      std::string rowUnit, std::string colUnit) {
    WeightMatrix matrix;
    matrix.title = std::move(title);
    matrix.weight = std::move(weight);
    matrix.rowUnit = std::move(rowUnit);
    matrix.colUnit = std::move(colUnit);
    matrix.rows = values.rows();
    matrix.cols = values.cols();
    matrix.values.assign(values.values().begin(), values.values().end());
    return matrix;
}

WeightMatrix vectorOf(const std::vector<double>& values, std::string title, std::string unit) {
    WeightMatrix matrix;
    matrix.title = std::move(title);
    matrix.weight = "threshold of";
    matrix.colUnit = std::move(unit);
    matrix.rows = values.empty() ? 0 : 1;
    matrix.cols = values.size();
    matrix.values = values;
    return matrix;
}

std::vector<WeightMatrix> matricesOf(const BpnNetwork& network) {
    std::vector<WeightMatrix> matrices;
    matrices.push_back(matrixOf(network.HiddenWeights, "Hidden weights (input to hidden node)",
                                "hidden weight", "input", "hidden node"));
    matrices.push_back(matrixOf(network.OutputWeights,
                                "Output weights (hidden node to output node)", "output weight",
                                "hidden node", "output node"));
    matrices.push_back(vectorOf(network.HiddenThresholds, "Hidden thresholds", "hidden node"));
    matrices.push_back(vectorOf(network.OutputThresholds, "Output thresholds", "output node"));
    return matrices;
}

std::vector<WeightMatrix> matricesOf(const CpnNetwork& network) {
    return {matrixOf(network.HiddenWeights, "Kohonen weights (input to hidden node)",
                     "Kohonen weight", "input", "hidden node"),
            matrixOf(network.OutputWeights, "Outstar weights (hidden node to output)",
                     "outstar weight", "hidden node", "output")};
}

std::vector<WeightMatrix> matricesOf(const BsbNetwork& network) {
    return {matrixOf(network.Weights, "Weights (unit to unit)", "weight", "unit", "unit")};
}

std::vector<WeightMatrix> matricesOf(const DaNetwork& network) {
    return {matrixOf(network.CorrelationMatrix, "Correlation matrix (unit to unit)", "correlation",
                     "unit", "unit")};
}

std::vector<WeightMatrix> matricesOf(const std::monostate&) {
    return {};
}

}  // namespace

std::vector<WeightMatrix> weightMatricesOf(const TrainedNetwork& network) {
    return std::visit([](const auto& each) { return matricesOf(each); }, network);
}

std::string weightName(const WeightMatrix& matrix, std::size_t row, std::size_t col) {
    if (row >= matrix.rows || col >= matrix.cols) {
        return {};
    }
    const std::string to = matrix.colUnit + " " + std::to_string(col + 1);
    if (matrix.rowUnit.empty()) {
        return matrix.weight + " " + to;
    }
    return matrix.weight + " from " + matrix.rowUnit + " " + std::to_string(row + 1) + " to " + to;
}

}  // namespace vornetica
