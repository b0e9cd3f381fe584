#include "cli/cli_import.h"

#include "base/user_error.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "data/replacing_file.h"
#include "import/column_list.h"
#include "import/import_report.h"

namespace vornetica::cli {

namespace {

constexpr const char* kTopic = "import";

[[noreturn]] void refuseValue(const std::string& option, const std::string& value,
                              const std::string& expected) {
    throw UsageError(option + ": \"" + value + "\" is not " + expected, kTopic);
}

TableFormat formatOf(const std::string& value) {
    if (value == "auto") {
        return TableFormat::Auto;
    }
    if (value == "csv") {
        return TableFormat::Delimited;
    }
    if (value == "fann") {
        return TableFormat::Fann;
    }
    if (value == "snns") {
        return TableFormat::Snns;
    }
    refuseValue("--format", value, "a format (auto, csv, fann, snns)");
}

char separatorOf(const std::string& value) {
    if (value == "," || value == ";") {
        return value[0];
    }
    if (value == "tab" || value == "\t") {
        return '\t';
    }
    if (value == "space") {
        return kBlanks;
    }
    refuseValue("--separator", value, "a separator (',', ';', tab, space)");
}

HeaderRow headerOf(const std::string& value) {
    if (value == "auto") {
        return HeaderRow::Auto;
    }
    if (value == "yes") {
        return HeaderRow::Yes;
    }
    if (value == "no") {
        return HeaderRow::No;
    }
    refuseValue("--header", value, "auto, yes or no");
}

std::vector<int> columnsOf(const std::string& option, const std::string& value) {
    if (option == "--targets" && value == "none") {
        return {};
    }
    const std::optional<std::vector<int>> columns = parseColumnList(value);
    if (!columns) {
        refuseValue(option, value, "a list of columns counted from 1, such as 1-4,6");
    }
    return *columns;
}

void applyOption(ImportOptions& options, const std::string& name, const std::string& value) {
    if (value.empty()) {
        throw UsageError(name + ": the value is empty", kTopic);
    }
    if (name == "--format") {
        options.choices.format = formatOf(value);
    } else if (name == "--separator") {
        options.choices.separator = separatorOf(value);
    } else if (name == "--header") {
        options.choices.header = headerOf(value);
    } else if (name == "--inputs") {
        options.choices.inputColumns = columnsOf(name, value);
    } else if (name == "--targets") {
        options.choices.targetColumns = columnsOf(name, value);
    } else if (name == "--write-inputs") {
        options.writeInputs = value;
    } else if (name == "--write-outputs") {
        options.writeOutputs = value;
    } else if (name == "--function") {
        try {
            options.function = neuronFunctionFromName(value, name);
        } catch (const UserError& error) {
            throw UsageError(error.what(), kTopic);
        }
    } else {
        throw UsageError("unknown option " + name + " for import", kTopic);
    }
}

}  // namespace

ImportOptions parseImport(const std::vector<std::string>& arguments) {
    ImportOptions options;
    bool tableGiven = false;
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (argument == "--decimal-comma" || argument == "--decimal-point") {
            options.choices.decimalComma = argument == "--decimal-comma";
        } else if (argument == "--one-hot") {
            options.choices.oneHot = true;
        } else if (argument.size() > 1 && argument[0] == '-' && argument[1] == '-') {
            const std::size_t equals = argument.find('=');
            if (equals != std::string::npos) {
                applyOption(options, argument.substr(0, equals), argument.substr(equals + 1));
            } else if (index + 1 < arguments.size()) {
                applyOption(options, argument, arguments[++index]);
            } else {
                throw UsageError("option " + argument + " needs a value", kTopic);
            }
        } else if (!tableGiven && !argument.empty()) {
            options.table = argument;
            tableGiven = true;
        } else {
            throw UsageError("unexpected argument \"" + argument + "\"", kTopic);
        }
    }
    if (!tableGiven) {
        throw UsageError("import needs the table file to read", kTopic);
    }
    if (options.writeInputs.empty()) {
        throw UsageError("import needs --write-inputs FILE, the input data file to write", kTopic);
    }
    return options;
}

std::string importHelpText() {
    return "vornetica-cli import - turn a table into training data files\n"
           "\n"
           "Usage: vornetica-cli import FILE [--format auto|csv|fann|snns]\n"
           "         [--separator ',' | ';' | tab | space] [--header auto|yes|no]\n"
           "         [--decimal-comma | --decimal-point] [--inputs COLS] [--targets COLS]\n"
           "         [--one-hot] [--function NAME] --write-inputs FILE [--write-outputs FILE]\n"
           "\n"
           "Reads the table FILE whole and writes its input vectors to the input data\n"
           "file and its target vectors to the output data file. Nothing is written\n"
           "unless the whole table was read; each file is written to a temporary file\n"
           "first, so a failure leaves existing files whole. A report goes to stderr:\n"
           "the number of vectors, inputs and outputs, each column's role and smallest\n"
           "and largest value, and the backpropagation scale factors that bring the\n"
           "inputs into -1..1 and the targets into the neuron function's range.\n"
           "\n"
           "Tables: delimited text (comma, semicolon, tab or blanks; quoted fields; CR LF\n"
           "or LF; a UTF-8 byte order mark), FANN data files (\"count inputs outputs\",\n"
           "then a line of inputs and a line of outputs per vector) and SNNS pattern\n"
           "files with fixed dimensions. Whatever is not chosen is told from the first\n"
           "lines; a separator that ends every row adds no column. A value that is not\n"
           "a number, or a row with another number of fields than the first data row,\n"
           "is refused with its file, line and column.\n"
           "\n"
           "Options (default in parentheses):\n"
           "  --format F             auto, csv (any delimited text), fann or snns (auto)\n"
           "  --separator S          ',', ';', tab or space (any run of blanks) (detected)\n"
           "  --header H             whether the first row names the columns: auto, yes\n"
           "                         or no (auto: a first row with a field that is not a\n"
           "                         number where the next row has one)\n"
           "  --decimal-comma        values are written with a decimal comma (detected\n"
           "                         where the separator is not a comma)\n"
           "  --decimal-point        values are written with a decimal point\n"
           "  --inputs COLS          the input columns, counted from 1, such as 1-4,6\n"
           "                         (every column that is not a target)\n"
           "  --targets COLS         the target columns, or none (the last column; for\n"
           "                         FANN and SNNS files the file's outputs); columns in\n"
           "                         neither list are ignored when both are given\n"
           "  --one-hot              the single target column holds class labels (text or\n"
           "                         integers): one output per class, 1 for the row's\n"
           "                         class and 0 for the others, classes in the order\n"
           "                         first seen; the report lists them\n"
           "  --function NAME        the neuron function whose range the report's output\n"
           "                         scale fits: linear, ramp, step, logistic, tanh or\n"
           "                         ratio-squares (logistic)\n"
           "  --write-inputs FILE    the input data file to write (required)\n"
           "  --write-outputs FILE   the output data file to write; required when the\n"
           "                         table has target columns\n"
           "\n";
}

int runImport(const ImportOptions& options, Console& console) {
    try {
        const ImportedTable table = importTable(options.table, options.choices);
        ThresholdChoice function;
        function.function = options.function;
        console.err << importReport(table, function);
        const std::size_t targets = table.outputs.cols();
        if (targets > 0 && !options.writeOutputs) {
            throw UsageError(
                "the table has target columns; name the output data file with "
                "--write-outputs FILE, or give --targets none",
                kTopic);
        }
        if (targets == 0 && options.writeOutputs) {
            throw UsageError("--write-outputs: the table has no target column", kTopic);
        }
        for (const std::string& written :
             {options.writeInputs, options.writeOutputs.value_or("")}) {
            if (!written.empty() && namesOneFile(written, options.table)) {
                throw UserError("\"" + written +
                                "\" is the table being imported; write the "
                                "training data files elsewhere.");
            }
        }
        writeImportedTable(table, options.writeInputs, options.writeOutputs);
        console.err << "Wrote " << options.writeInputs
                    << (options.writeOutputs ? " and " + *options.writeOutputs : std::string())
                    << ".\n";
        return kSuccess;
    } catch (const UserError& error) {
        console.err << "vornetica-cli: " << error.what() << '\n';
        return kRefused;
    }
}

}  // namespace vornetica::cli
