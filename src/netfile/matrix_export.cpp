#include "netfile/matrix_export.h"

#include <memory>
#include <type_traits>

#include "base/number_text.h"
#include "base/user_error.h"
#include "data/replacing_file.h"

namespace vornetica {

namespace {

template <typename T>
NamedMatrix named(std::string name, const Matrix<T>& matrix) {
    NamedMatrix result{std::move(name), matrix.rows(), matrix.cols(), {}};
    result.values.assign(matrix.values().begin(), matrix.values().end());
    return result;
}

NamedMatrix namedRow(std::string name, const std::vector<double>& values) {
    return {std::move(name), 1, values.size(), values};
}

std::vector<NamedMatrix> matricesOf(const BpnNetwork& network) {
    return {named("hidden-weights", network.HiddenWeights),
            named("output-weights", network.OutputWeights),
            namedRow("hidden-thresholds", network.HiddenThresholds),
            namedRow("output-thresholds", network.OutputThresholds)};
}

std::vector<NamedMatrix> matricesOf(const CpnNetwork& network) {
    return {named("hidden-weights", network.HiddenWeights),
            named("output-weights", network.OutputWeights)};
}

std::vector<NamedMatrix> matricesOf(const BsbNetwork& network) {
    return {named("weights", network.Weights)};
}

std::vector<NamedMatrix> matricesOf(const DaNetwork& network) {
    return {named("weights", network.CorrelationMatrix)};
}

std::vector<NamedMatrix> matricesOf(const std::monostate&) {
    return {};
}

bool endsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

}  // namespace

std::vector<NamedMatrix> networkMatrices(const TrainedNetwork& network) {
    return std::visit([](const auto& kind) { return matricesOf(kind); }, network);
}

std::string matrixCsvText(const NamedMatrix& matrix) {
    std::string text;
    for (std::size_t row = 0; row < matrix.rows; ++row) {
        for (std::size_t col = 0; col < matrix.cols; ++col) {
            if (col > 0) {
                text += ',';
            }
            text += exactNumberText(matrix.values[row * matrix.cols + col]);
        }
        text += "\r\n";
    }
    return text;
}

std::string matrixFilePath(const std::string& prefix, const std::string& name) {
    const std::string stem =
        endsWith(prefix, ".csv") ? prefix.substr(0, prefix.size() - 4) : prefix;
    return stem + "-" + name + ".csv";
}

std::vector<std::string> exportMatrices(const TrainedNetwork& network, const std::string& prefix,
                                        FileCalls& calls) {
    if (prefix.empty() || endsWith(prefix, "/")) {
        throw UserError("Please give a name for the matrix files.");
    }
    const std::vector<NamedMatrix> matrices = networkMatrices(network);
    if (matrices.empty()) {
        throw UserError("There is no trained network to export yet.");
    }
    std::vector<std::string> paths;
    std::vector<std::unique_ptr<ReplacingFile>> files;
    std::vector<ReplacingFile*> pointers;
    for (const NamedMatrix& matrix : matrices) {
        paths.push_back(matrixFilePath(prefix, matrix.name));
        files.push_back(std::make_unique<ReplacingFile>(paths.back(), calls));
        files.back()->write(matrixCsvText(matrix));
        pointers.push_back(files.back().get());
    }
    if (const std::optional<std::size_t> failed = commitTogether(pointers)) {
        throw UserError("The matrix file \"" + paths[*failed] +
                        "\" could not be written; no matrix file was changed.");
    }
    return paths;
}

}  // namespace vornetica
