#include "import/table_import.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <unordered_map>

#include "base/number_text.h"
#include "base/user_error.h"
#include "data/replacing_file.h"
#include "data/training_data.h"
#include "import/field_text.h"
#include "import/table_readers.h"

namespace vornetica {

namespace {

// The count line and the sizes of a training data file are 16-bit numbers.
constexpr std::size_t kMostVectors = 32767;
constexpr std::size_t kMostValuesPerVector = 32767;
// After this many rows the values read so far tell how many the file holds.
constexpr std::size_t kRowsBeforeEstimate = 64;
constexpr const char* kLabelHint =
    "; a target column of class labels can give one output per class";

// A text with no digit, as class names are.
bool looksLikeLabel(std::string_view text) {
    return !trimBlanks(text).empty() &&
           std::none_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string columnLabel(int column) {
    return "Column " + std::to_string(column + 1);
}

// Gathers the values of each row into the inputs and the targets, in column order.
class TableBuilder : public RowVisitor {
  public:
    TableBuilder(const std::string& path, const TableLayout& layout, std::vector<ColumnRole> roles,
                 bool oneHot)
        : path_(path),
          decimalComma_(layout.decimalComma),
          roles_(std::move(roles)),
          oneHot_(oneHot),
          smallest_(roles_.size(), std::numeric_limits<double>::infinity()),
          largest_(roles_.size(), -std::numeric_limits<double>::infinity()) {
        inputsPerRow_ =
            static_cast<std::size_t>(std::count(roles_.begin(), roles_.end(), ColumnRole::Input));
        targetsPerRow_ =
            static_cast<std::size_t>(std::count(roles_.begin(), roles_.end(), ColumnRole::Target));
        fileBytes_ = fileSizeOf(path);
    }

    void value(int column, std::string_view text, std::int64_t line, int lineColumn) override {
        const ColumnRole role = roles_[static_cast<std::size_t>(column)];
        if (role == ColumnRole::Ignored) {
            return;
        }
        lastLine_ = line;
        if (role == ColumnRole::Target && oneHot_) {
            labels_.push_back(classOf(trimBlanks(text), line, lineColumn));
            return;
        }
        double value = 0.0;
        if (!parseFieldNumber(text, decimalComma_, value)) {
            // A text in the target column is most often a class label.
            throw UserError(
                placeLabel(path_, line, lineColumn) + refusedFieldText(text, decimalComma_) +
                (role == ColumnRole::Target && looksLikeLabel(text) ? kLabelHint : "") + ".");
        }
        (role == ColumnRole::Input ? inputs_ : outputs_).push_back(value);
        const auto c = static_cast<std::size_t>(column);
        smallest_[c] = std::min(smallest_[c], value);
        largest_[c] = std::max(largest_[c], value);
    }

    bool endRow(std::int64_t bytesRead) override {
        if (++rows_ > kMostVectors) {
            throw UserError(placeLabel(path_, lastLine_) +
                            "the table holds more than 32767 vectors, "
                            "the most a training data file can count.");
        }
        if (rows_ == kRowsBeforeEstimate) {
            setAsideForTheRest(bytesRead);
        }
        return true;
    }

    ImportedTable finish(const TableLayout& layout) {
        if (rows_ == 0) {
            throw UserError(path_ + ": the table holds no vectors.");
        }
        ImportedTable table;
        table.layout = layout;
        table.inputs = Matrix<double>(rows_, inputsPerRow_, std::move(inputs_));
        table.outputs =
            oneHot_ ? oneHotTargets() : Matrix<double>(rows_, targetsPerRow_, std::move(outputs_));
        table.classes = std::move(classes_);
        for (std::size_t c = 0; c < roles_.size(); ++c) {
            ColumnSummary summary;
            summary.name = c < layout.columnNames.size() ? layout.columnNames[c]
                                                         : columnLabel(static_cast<int>(c));
            summary.role = roles_[c];
            if (smallest_[c] <= largest_[c]) {
                summary.smallest = smallest_[c];
                summary.largest = largest_[c];
            }
            table.columns.push_back(std::move(summary));
        }
        return table;
    }

  private:
    static std::int64_t fileSizeOf(const std::string& path) {
        std::error_code error;
        const auto size = std::filesystem::file_size(path, error);
        return error ? -1 : static_cast<std::int64_t>(size);
    }

    // Sets aside room for the rows the file seems to hold, so the values are not
    // copied as they grow (a copy would hold them twice at once). Room set aside
    // costs no memory until values arrive in it.
    void setAsideForTheRest(std::int64_t bytesRead) {
        if (fileBytes_ <= 0 || bytesRead <= 0) {
            return;
        }
        const double rowBytes = static_cast<double>(bytesRead) / static_cast<double>(rows_);
        const double expected = static_cast<double>(fileBytes_) / rowBytes * 1.05 + 16.0;
        const auto rows =
            static_cast<std::size_t>(std::min(expected, static_cast<double>(kMostVectors)));
        inputs_.reserve(rows * inputsPerRow_);
        if (!oneHot_) {
            outputs_.reserve(rows * targetsPerRow_);
        }
    }

    int classOf(std::string_view label, std::int64_t line, int lineColumn) {
        if (label.empty()) {
            throw UserError(placeLabel(path_, line, lineColumn) +
                            "an empty field is not a class label.");
        }
        const auto [found, added] =
            classIndex_.try_emplace(std::string(label), static_cast<int>(classes_.size()));
        if (added) {
            if (classes_.size() == kMostValuesPerVector) {
                throw UserError(placeLabel(path_, line, lineColumn) +
                                "more than 32767 classes; a "
                                "target of one output per class cannot hold them.");
            }
            classes_.emplace_back(label);
        }
        return found->second;
    }

    Matrix<double> oneHotTargets() const {
        Matrix<double> targets(rows_, classes_.size());
        for (std::size_t r = 0; r < rows_; ++r) {
            targets.at(r, static_cast<std::size_t>(labels_[r])) = 1.0;
        }
        return targets;
    }

    const std::string& path_;
    bool decimalComma_;
    std::vector<ColumnRole> roles_;
    bool oneHot_;
    std::size_t inputsPerRow_ = 0;
    std::size_t targetsPerRow_ = 0;
    std::int64_t fileBytes_ = -1;
    std::size_t rows_ = 0;
    std::int64_t lastLine_ = 0;
    MatrixValues<double> inputs_;
    MatrixValues<double> outputs_;
    std::vector<double> smallest_;
    std::vector<double> largest_;
    std::vector<int> labels_;
    std::vector<std::string> classes_;
    std::unordered_map<std::string, int> classIndex_;
};

// Keeps the texts of the first rows.
class PreviewCollector : public RowVisitor {
  public:
    explicit PreviewCollector(std::size_t rows) : wanted_(rows) {}

    void value(int, std::string_view text, std::int64_t, int) override {
        if (row_.empty()) {
            row_.reserve(16);
        }
        row_.emplace_back(trimBlanks(text));
    }
    bool endRow(std::int64_t) override {
        rows_.push_back(std::move(row_));
        row_.clear();
        return rows_.size() < wanted_;
    }
    std::vector<std::vector<std::string>> take() { return std::move(rows_); }

  private:
    std::size_t wanted_;
    std::vector<std::string> row_;
    std::vector<std::vector<std::string>> rows_;
};

void markColumns(std::vector<ColumnRole>& roles, const std::vector<int>& columns, ColumnRole role) {
    for (const int column : columns) {
        if (column < 0 || column >= static_cast<int>(roles.size())) {
            throw UserError(columnLabel(column) + " is beyond the table's " +
                            std::to_string(roles.size()) + " columns.");
        }
        if (roles[static_cast<std::size_t>(column)] != ColumnRole::Ignored) {
            throw UserError(columnLabel(column) +
                            " is named both as an input and as a target, or twice.");
        }
        roles[static_cast<std::size_t>(column)] = role;
    }
}

}  // namespace

std::vector<ColumnRole> columnRoles(int columns, const ImportChoices& choices,
                                    std::optional<int> fileInputs) {
    std::vector<ColumnRole> roles(static_cast<std::size_t>(std::max(columns, 0)),
                                  ColumnRole::Ignored);
    // Where the default roles split the columns: the file's own split, else the last column.
    const int split = fileInputs.value_or(columns > 1 ? columns - 1 : columns);
    if (choices.targetColumns) {
        markColumns(roles, *choices.targetColumns, ColumnRole::Target);
    }
    if (choices.inputColumns) {
        markColumns(roles, *choices.inputColumns, ColumnRole::Input);
    }
    for (int c = 0; c < columns; ++c) {
        ColumnRole& role = roles[static_cast<std::size_t>(c)];
        if (role != ColumnRole::Ignored) {
            continue;
        }
        if (!choices.inputColumns && (choices.targetColumns || c < split)) {
            role = ColumnRole::Input;
        } else if (!choices.targetColumns && c >= split) {
            role = ColumnRole::Target;
        }
    }
    const auto count = [&](ColumnRole role) {
        return std::count(roles.begin(), roles.end(), role);
    };
    if (count(ColumnRole::Input) == 0) {
        throw UserError("The table has no input column.");
    }
    if (static_cast<std::size_t>(count(ColumnRole::Input)) > kMostValuesPerVector ||
        static_cast<std::size_t>(count(ColumnRole::Target)) > kMostValuesPerVector) {
        throw UserError("A vector holds at most 32767 inputs and 32767 targets.");
    }
    if (choices.oneHot && count(ColumnRole::Target) != 1) {
        throw UserError("Targets of one output per class are made from a single target column; " +
                        std::to_string(count(ColumnRole::Target)) + " are chosen.");
    }
    return roles;
}

TablePreview previewTable(const std::string& path, const ImportChoices& choices, int rows) {
    TablePreview preview;
    preview.layout = detectLayout(path, choices);
    PreviewCollector collector(static_cast<std::size_t>(std::max(rows, 1)));
    readRows(path, preview.layout, collector);
    preview.rows = collector.take();
    return preview;
}

ImportedTable importTable(const std::string& path, const ImportChoices& choices) {
    const TableLayout layout = detectLayout(path, choices);
    if (layout.columnNames.empty()) {
        throw UserError(path + ": the table holds no vectors.");
    }
    TableBuilder builder(
        path, layout,
        columnRoles(static_cast<int>(layout.columnNames.size()), choices, layout.fileInputs),
        choices.oneHot);
    readRows(path, layout, builder);
    return builder.finish(layout);
}

void writeImportedTable(const ImportedTable& table, const std::string& inputPath,
                        const std::optional<std::string>& outputPath) {
    if (!outputPath) {
        writeTrainingData(inputPath, table.inputs, {}, nullptr);
        return;
    }
    if (table.outputs.cols() == 0) {
        throw UserError("The table has no target column to write to \"" + *outputPath + "\".");
    }
    if (namesOneFile(inputPath, *outputPath)) {
        throw UserError("The input and the output data file must be two files; \"" + inputPath +
                        "\" and \"" + *outputPath + "\" are one.");
    }
    writeTrainingData(inputPath, table.inputs, *outputPath, &table.outputs);
}

}  // namespace vornetica
