#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "base/random_source.h"
#include "cli/cli_options.h"
#include "settings/network_settings.h"

namespace vornetica::cli {

// Where the commands write: results to `out`, progress, notes and messages to `err`.
struct Console {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
};

// Exit statuses.
constexpr int kSuccess = 0;
constexpr int kRefused = 1;
constexpr int kUsage = 2;

// Each returns the exit status; a refused input is reported on `err`.
int runTrain(const TrainOptions& options, NetworkSettings& settings, RandomSource& random,
             Console& console);
int runRecall(const RecallOptions& options, NetworkSettings& settings, Console& console);
// Prints the path of each matrix file written, one a line.
int runExport(const ExportOptions& options, Console& console);

// The whole command line: parses, runs and reports. `arguments` excludes the
// program name.
int runCommandLine(const std::vector<std::string>& arguments, NetworkSettings& settings,
                   RandomSource& random, Console& console);

}  // namespace vornetica::cli
