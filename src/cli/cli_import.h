#pragma once

#include <optional>
#include <string>
#include <vector>

#include "import/table_import.h"
#include "settings/network_settings.h"

namespace vornetica::cli {

// vornetica-cli import FILE [OPTIONS] --write-inputs FILE [--write-outputs FILE]
struct ImportOptions {
    std::string table;
    ImportChoices choices;
    std::string writeInputs;
    std::optional<std::string> writeOutputs;
    ThresholdKind function = ThresholdKind::Logistic;  // whose range the report's scales fit
};

// The arguments after "import". Throws UsageError.
ImportOptions parseImport(const std::vector<std::string>& arguments);

std::string importHelpText();

struct Console;
// Reads the table, reports on stderr and writes the files; returns the exit status.
int runImport(const ImportOptions& options, Console& console);

}  // namespace vornetica::cli
