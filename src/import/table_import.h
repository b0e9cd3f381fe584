#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/matrix.h"

namespace vornetica {

// The kinds of table the import reads.
enum class TableFormat {
    Auto,       // told from the first lines
    Delimited,  // fields separated by commas, semicolons, tabs or blanks
    Fann,       // "count inputs outputs", then a line of inputs and a line of outputs
    Snns,       // SNNS pattern definition file
};

enum class HeaderRow { Auto, Yes, No };

// A separator of 0 is detected; ' ' stands for any run of blanks and tabs.
constexpr char kDetectSeparator = 0;
constexpr char kBlanks = ' ';

// What the user chose; everything left open is detected from the file.
struct ImportChoices {
    TableFormat format = TableFormat::Auto;
    char separator = kDetectSeparator;
    HeaderRow header = HeaderRow::Auto;
    std::optional<bool> decimalComma;
    // Columns counted from 0, in the order their values go into a vector. With
    // neither list given, every column but the last is an input and the last the
    // target; with one given, the other takes what it leaves (every other column
    // for inputs, the last column when it is free for targets).
    std::optional<std::vector<int>> inputColumns;
    std::optional<std::vector<int>> targetColumns;
    // The single target column holds class labels, one output per class.
    bool oneHot = false;
};

enum class ColumnRole { Input, Target, Ignored };

// How the file is read: the choices with everything detected filled in.
struct TableLayout {
    TableFormat format = TableFormat::Delimited;
    char separator = ',';
    bool header = false;
    bool decimalComma = false;
    // The names of the columns (from the header row, or "column 3", "input 2").
    std::vector<std::string> columnNames;
    // Where the file itself splits a vector (FANN, SNNS): its inputs come first.
    std::optional<int> fileInputs;
    // Every row ends in a separator, as some programs write them: the empty field
    // after it is no column of the table.
    bool trailingSeparator = false;
};

// The first rows of the table as they will be read, for a preview.
struct TablePreview {
    TableLayout layout;
    std::vector<std::vector<std::string>> rows;
};

struct ColumnSummary {
    std::string name;
    ColumnRole role = ColumnRole::Ignored;
    double smallest = 0.0;
    double largest = 0.0;
};

struct ImportedTable {
    TableLayout layout;
    Matrix<double> inputs;
    Matrix<double> outputs;              // no columns when the table has no targets
    std::vector<ColumnSummary> columns;  // every column of the table, in file order
    std::vector<std::string> classes;    // the one-hot classes, in the order first seen
};

// Reads the layout and the first `rows` rows. Throws UserError for a file that
// cannot be read or that is not of the chosen format.
TablePreview previewTable(const std::string& path, const ImportChoices& choices, int rows = 20);

// Reads the whole table. Throws UserError naming the file, the line, the column
// and the text for anything that is not a number where one belongs, a row with
// another number of fields than the first data row, and every other fault.
ImportedTable importTable(const std::string& path, const ImportChoices& choices);

// The role of each of `columns` columns under the choices; throws UserError for a
// column beyond the table, a column named twice or a table with no inputs.
std::vector<ColumnRole> columnRoles(int columns, const ImportChoices& choices,
                                    std::optional<int> fileInputs = std::nullopt);

// Writes the training data files through the atomic writer: the input data file
// and, when an output file is named, the output data file. Throws UserError.
void writeImportedTable(const ImportedTable& table, const std::string& inputPath,
                        const std::optional<std::string>& outputPath);

}  // namespace vornetica
