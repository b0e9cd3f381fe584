#include "fuzz/fuzz_entries.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "base/user_error.h"
#include "data/grid_cell.h"
#include "data/training_data.h"
#include "import/import_report.h"
#include "import/table_import.h"
#include "netfile/network_file.h"
#include "recall/recall_computations.h"
#include "settings/network_settings.h"
#include "wizard/parameter_text.h"

namespace vornetica::fuzz {
namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz property failed: %s\n", what);
        std::abort();
    }
}

// A file of this process's own, rewritten for every input.
std::string scratchFile(const char* name) {
    return (std::filesystem::temp_directory_path() /
            ("vornetica-fuzz-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

void writeBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

constexpr NetworkKind kKinds[] = {NetworkKind::BPN, NetworkKind::CPN, NetworkKind::BSB,
                                  NetworkKind::DA};

}  // namespace

void trainingDataReader(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return;
    }
    // The first two bytes choose the sizes; the rest is both files' text.
    const int inputSize = 1 + data[0] % 8;
    const int outputSize = 1 + data[1] % 4;
    const std::string path = scratchFile("data");
    writeBytes(path, data + 2, size - 2);
    try {
        const TrainingSet set = readTrainingData(path, path, inputSize, outputSize);
        check(set.count >= 0, "count is not negative");
        check(set.inputs.rows() == static_cast<std::size_t>(set.count), "input rows = count");
        check(set.inputs.cols() == static_cast<std::size_t>(inputSize), "input columns");
        check(set.outputs.rows() == static_cast<std::size_t>(set.count), "output rows = count");
        for (const double v : set.inputs.values()) {
            check(std::isfinite(v), "values read are finite");
        }
        for (const double v : set.outputs.values()) {
            check(std::isfinite(v), "values read are finite");
        }
    } catch (const UserError& error) {
        check(error.what()[0] != '\0', "a refusal has a message");
    }
    try {
        for (const auto& vector : readRecallVectors(path, inputSize)) {
            check(vector.size() == static_cast<std::size_t>(inputSize), "whole recall vectors");
        }
    } catch (const UserError&) {
    }
}

void networkFileLoader(const std::uint8_t* data, std::size_t size) {
    const std::string path = scratchFile("net");
    writeBytes(path, data, size);
    for (const NetworkKind kind : kKinds) {
        try {
            const TrainedNetwork network = readNetworkFile(path, kind);
            check(network.index() != 0, "a loaded network is never empty");
            // What was read writes back and reads again, and writing that gives the
            // same text: the file form is a fixed point of write after read.
            const std::string copy = scratchFile("net-copy");
            writeNetworkFile(copy, network);
            const TrainedNetwork again = readNetworkFile(copy, kind);
            check(again.index() == network.index(), "a written network reads back");
            const std::string second = scratchFile("net-copy2");
            writeNetworkFile(second, again);
            check(readBytes(copy) == readBytes(second), "writing what was read is stable");
        } catch (const UserError&) {
        }
    }
}

void gridCellRule(const std::uint8_t* data, std::size_t size) {
    // Each key appends one allowed character, empties the cell or changes nothing,
    // so checking the change alone keeps a long input linear.
    std::string cell;
    for (std::size_t n = 0; n < size; ++n) {
        const std::size_t before = cell.size();
        const bool changed = applyCellKey(cell, data[n]);
        check(changed == (cell.size() != before), "reports whether the text changed");
        if (cell.size() > before) {
            const char c = cell.back();
            check(cell.size() == before + 1, "a key appends one character");
            check((c >= '0' && c <= '9') || c == '-' || c == '.', "cells hold only digits - .");
        } else {
            check(cell.size() == before || cell.empty(), "a key only appends or empties");
        }
    }
    const double leading = leadingCellValue(cell);
    check(!std::isnan(leading), "a cell's leading value is a number");
    (void)strictCellValue(asText(data, size));
    (void)leadingCellValue(asText(data, size));
}

void parameterText(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = asText(data, size);
    try {
        const std::int16_t size16 = parseSizeField(text, "Size");
        check(size16 >= 1, "sizes are at least 1");
    } catch (const UserError&) {
    }
    try {
        const std::int16_t count = parseCountField(text, "Count");
        check(count >= 0, "counts are not negative");
    } catch (const UserError&) {
    }
    try {
        check(std::isfinite(parseRealField(text, "Real")), "reals are finite");
    } catch (const UserError&) {
    }
    try {
        check(parseNonZeroRealField(text, "Scale") != 0.0, "scales are not zero");
    } catch (const UserError&) {
    }
    try {
        check(parsePositiveRealField(text, "Gamma") > 0.0, "gamma is positive");
    } catch (const UserError&) {
    }
}

void recallOfLoadedNetwork(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return;
    }
    // The first byte chooses the kind, the rest up to a NUL is the network file and
    // what follows the NUL gives the input values, 8 bytes each.
    const NetworkKind kind = kKinds[data[0] % 4];
    const std::string_view rest = asText(data + 1, size - 1);
    const std::size_t split = rest.find('\0');
    const std::string_view file = rest.substr(0, split);
    const std::string_view values =
        split == std::string_view::npos ? std::string_view{} : rest.substr(split + 1);
    NetworkSettings settings;
    setDefaultSettings(settings);
    recallFlag(settings, kind) = 1;
    settings.NetworkFilePath = scratchFile("recall-net");
    settings.RecallBeta = 0.5;
    settings.RecallGamma = 0.5;
    settings.RecallErrorThreshold = 0.01;
    writeBytes(settings.NetworkFilePath, reinterpret_cast<const std::uint8_t*>(file.data()),
               file.size());
    if (!loadNetwork(settings).loaded) {
        return;
    }
    std::vector<double> input(static_cast<std::size_t>(settings.RecallInputSize), 0.0);
    for (std::size_t i = 0; i < input.size() && (i + 1) * 8 <= values.size(); ++i) {
        std::memcpy(&input[i], values.data() + i * 8, 8);
    }
    try {
        switch (kind) {
            case NetworkKind::BPN:
                check(recallBackpropagation(settings, input).size() ==
                          static_cast<std::size_t>(settings.RecallOutputSize),
                      "BPN output size");
                break;
            case NetworkKind::CPN:
                check(recallCounterpropagation(settings, input).size() ==
                          static_cast<std::size_t>(settings.RecallOutputSize),
                      "CPN output size");
                break;
            case NetworkKind::BSB:
                check(recallBrainStateInABox(settings, input).state.size() == input.size(),
                      "BSB output size");
                break;
            case NetworkKind::DA: {
                std::vector<std::int16_t> bits;
                for (const double v : input) {
                    bits.push_back(std::isfinite(v) ? static_cast<std::int16_t>(
                                                          static_cast<int>(std::fmod(v, 3.0)))
                                                    : 0);
                }
                for (const std::int16_t b : recallDiscreteAutocorrelator(settings, bits)) {
                    check(b >= -1 && b <= 1, "DA outputs are -1, 0 or 1");
                }
                break;
            }
        }
    } catch (const UserError&) {
    }
}

void networkKindOfFileText(const std::uint8_t* data, std::size_t size) {
    const std::string path = scratchFile("kind");
    writeBytes(path, data, size);
    NetworkKind kind{};
    try {
        kind = networkKindOfFile(path);
    } catch (const UserError& error) {
        // The text found is cut for the message however long the file's first item.
        check(std::string_view(error.what()).size() <= path.size() + 120, "a short message");
        return;
    }
    // What the kind is taken from is what the loader checks: it never answers
    // that the file is of another kind.
    try {
        (void)readNetworkFile(path, kind);
    } catch (const NetworkFileError& error) {
        check(error.reason() != LoadRefusal::WrongKind, "the kinds agree");
    }
}

namespace {

// What holds for every table the import accepts: as many target rows as input
// rows, finite values within each column's reported range, one 1 per row of
// one-hot targets, and training data files that read back to the same shape.
void checkImported(const ImportedTable& table) {
    const std::size_t rows = table.inputs.rows();
    check(rows >= 1 && rows <= 32767, "1 to 32767 vectors");
    check(table.inputs.cols() >= 1, "at least one input");
    check(table.outputs.cols() == 0 || table.outputs.rows() == rows, "a target row per vector");
    check(table.columns.size() == table.layout.columnNames.size(), "a summary per column");
    for (const double v : table.inputs.values()) {
        check(std::isfinite(v), "inputs are finite");
    }
    for (const ColumnSummary& column : table.columns) {
        check(column.smallest <= column.largest, "smallest <= largest");
    }
    if (!table.classes.empty()) {
        check(table.outputs.cols() == table.classes.size(), "an output per class");
        for (std::size_t r = 0; r < rows; ++r) {
            double sum = 0.0;
            for (std::size_t c = 0; c < table.outputs.cols(); ++c) {
                sum += table.outputs.at(r, c);
            }
            check(sum == 1.0, "one class per vector");
        }
    }
    (void)importReport(table, ThresholdChoice{});
    const std::string in = scratchFile("import-in");
    const std::string out = scratchFile("import-out");
    const bool targets = table.outputs.cols() > 0;
    writeImportedTable(table, in, targets ? std::optional<std::string>(out) : std::nullopt);
    const TrainingSet set = readTrainingData(
        in, targets ? std::optional<std::string>(out) : std::nullopt,
        static_cast<int>(table.inputs.cols()), static_cast<int>(table.outputs.cols()));
    check(static_cast<std::size_t>(set.count) == rows, "the count reads back");
    check(set.inputs.values().size() == table.inputs.values().size(), "the inputs read back");
}

// The first byte chooses among the choices, the rest is the file.
void importWith(TableFormat format, const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return;
    }
    const std::uint8_t bits = data[0];
    ImportChoices choices;
    choices.format = format;
    if (format == TableFormat::Delimited) {
        constexpr char kSeparators[] = {kDetectSeparator, ',', ';', '\t', kBlanks};
        choices.format = (bits & 0x80) != 0 ? TableFormat::Auto : format;
        choices.separator = kSeparators[(bits & 0x07) % 5];
        choices.header = static_cast<HeaderRow>(((bits >> 3) & 0x03) % 3);
    }
    if ((bits & 0x20) != 0) {
        choices.decimalComma = (bits & 0x40) != 0;
    }
    choices.oneHot = (bits & 0x10) != 0 && (bits & 0x08) != 0;
    const std::string path = scratchFile("import");
    writeBytes(path, data + 1, size - 1);
    try {
        const TablePreview preview = previewTable(path, choices, 5);
        check(preview.rows.size() <= 5, "a preview holds at most the rows asked for");
    } catch (const UserError& error) {
        check(error.what()[0] != '\0', "a refusal has a message");
    }
    try {
        checkImported(importTable(path, choices));
    } catch (const UserError& error) {
        check(error.what()[0] != '\0', "a refusal has a message");
    }
}

}  // namespace

void importCsv(const std::uint8_t* data, std::size_t size) {
    importWith(TableFormat::Delimited, data, size);
}

void importFann(const std::uint8_t* data, std::size_t size) {
    importWith(TableFormat::Fann, data, size);
}

void importSnns(const std::uint8_t* data, std::size_t size) {
    importWith(TableFormat::Snns, data, size);
}

}  // namespace vornetica::fuzz
