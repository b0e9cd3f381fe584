#include "import/import_report.h"

#include <algorithm>
#include <cmath>

#include "base/number_text.h"

namespace vornetica {

namespace {

std::string shown(double value) {
    std::string text = numberText(value);
    return text.front() == ' ' ? text.substr(1) : text;
}

std::string plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The smallest positive s with low <= t / s <= high for every t in [least, most],
// for a range that holds 0; nothing when no positive s does it.
std::optional<double> positiveScale(double least, double most, const FunctionRange& range) {
    double scale = 0.0;
    if (most > 0.0) {
        if (range.high <= 0.0) {
            return std::nullopt;
        }
        scale = std::max(scale, most / range.high);
    }
    if (least < 0.0) {
        if (range.low >= 0.0) {
            return std::nullopt;
        }
        scale = std::max(scale, least / range.low);
    }
    return scale > 0.0 && std::isfinite(scale) ? scale : 1.0;
}

std::string columnLine(std::size_t index, const ColumnSummary& column,
                       const std::vector<std::string>& classes) {
    std::string line = "  " + std::to_string(index + 1) + " " + column.name + ": ";
    if (column.role == ColumnRole::Ignored) {
        return line + "ignored";
    }
    line += column.role == ColumnRole::Input ? "input" : "target";
    if (column.role == ColumnRole::Target && !classes.empty()) {
        line += ", classes";
        for (std::size_t k = 0; k < classes.size(); ++k) {
            line += (k == 0 ? " " : ", ") + classes[k];
        }
        return line;
    }
    return line + ", smallest " + shown(column.smallest) + ", largest " + shown(column.largest);
}

std::string scaleLines(const ImportedTable& table, const ThresholdChoice& function) {
    const FunctionRange range = functionRangeOf(function);
    const ScaleAdvice advice = adviseScales(table, range);
    std::string text = "For backpropagation with the " +
                       std::string(functionName(function.function)) + " function: input scale " +
                       shown(advice.inputScale) + " brings the inputs into -1..1";
    if (table.outputs.cols() == 0) {
        return text + ".\n";
    }
    if (!range.bounded) {
        return text + "; the function has no bounds, so output scale 1 keeps the targets.\n";
    }
    const std::string bounds = shown(range.low) + ".." + shown(range.high);
    if (!advice.outputScale) {
        return text + "; no output scale brings these targets into " + bounds +
               " (shift them first).\n";
    }
    return text + "; output scale " + shown(*advice.outputScale) + " brings the targets into " +
           bounds + ".\n";
}

}  // namespace

ScaleAdvice adviseScales(const ImportedTable& table, const FunctionRange& range) {
    ScaleAdvice advice;
    double largest = 0.0;
    for (const double value : table.inputs.values()) {
        largest = std::max(largest, std::abs(value));
    }
    advice.inputScale = largest > 0.0 ? largest : 1.0;
    if (!range.bounded) {
        advice.outputScale = 1.0;
        return advice;
    }
    const auto [least, most] =
        std::minmax_element(table.outputs.values().begin(), table.outputs.values().end());
    if (least == table.outputs.values().end()) {
        advice.outputScale = 1.0;
        return advice;
    }
    // Dividing by a negative scale mirrors the targets, which may be what fits.
    advice.outputScale = positiveScale(*least, *most, range);
    if (!advice.outputScale) {
        if (const auto mirrored = positiveScale(-*most, -*least, range)) {
            advice.outputScale = -*mirrored;
        }
    }
    return advice;
}

std::string importReport(const ImportedTable& table,
                         const std::optional<ThresholdChoice>& function) {
    std::string text = plural(table.inputs.rows(), "vector", "vectors") + ", " +
                       plural(table.inputs.cols(), "input", "inputs") + ", " +
                       plural(table.outputs.cols(), "output", "outputs");
    if (!table.classes.empty()) {
        text += " (one per class)";
    }
    text += ".\n";
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        text += columnLine(c, table.columns[c], table.classes) + "\n";
    }
    if (function) {
        text += scaleLines(table, *function);
    }
    return text;
}

}  // namespace vornetica
