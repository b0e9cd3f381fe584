#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "cli/cli_import.h"
#include "settings/network_settings.h"

namespace vornetica::cli {

// A command line that cannot be understood: a usage message and exit status 2.
// `topic` names the help to point at ("", "train", "train bpn", "recall").
class UsageError : public std::runtime_error {
  public:
    UsageError(const std::string& message, std::string topic)
        : std::runtime_error(message), topic_(std::move(topic)) {}
    const std::string& topic() const { return topic_; }

  private:
    std::string topic_;
};

// --help anywhere: the help of that topic goes to stdout.
struct HelpRequest {
    std::string topic;  // "", "train", "train bpn", ..., "recall"
};

// Values start at the parameter screens' defaults for the kind.
struct TrainOptions {
    NetworkKind kind = NetworkKind::BPN;
    std::int16_t inputSize = 1;
    std::int16_t hiddenSize = 100;
    std::int16_t outputSize = 1;
    double errorThreshold = 0.0001;
    std::int16_t maxIterations = 100;
    double inputScale = 10.0;
    double outputScale = 10.0;
    double alpha = 0.75;
    double beta = 0.25;
    double gamma = 0.5;
    std::int16_t timeSteps = 100;
    ThresholdKind function = ThresholdKind::Logistic;
    double slope = 1.0;
    double boundary = 1.0;
    double upper = 1.0;
    double lower = -1.0;
    std::string inputs = "input.dat";
    std::string outputs = "output.dat";
    std::string save = "network.vrn";
    std::optional<std::string> trace;  // the worked values of the first units, as CSV
    long traceLimit = 100;
};

TrainOptions trainDefaults(NetworkKind kind);

struct RecallOptions {
    std::string network;
    std::optional<NetworkKind> kind;
    std::string inputs;
    // Brain-state-in-a-box only: the loading screen's defaults.
    double beta = 0.5;
    double gamma = 0.5;
    double errorThreshold = 0.01;
    bool bsbOptionGiven = false;
    std::optional<std::string> recordInputs;
    std::optional<std::string> recordOutputs;
    std::optional<std::string> targets;  // expected outputs: errors and a summary
    std::optional<std::string> results;  // the results table as CSV
};

// export NETWORK --csv PREFIX: the network's matrices to PREFIX-<matrix>.csv.
struct ExportOptions {
    std::string network;
    std::string csvPrefix;
};

using Command =
    std::variant<HelpRequest, TrainOptions, RecallOptions, ImportOptions, ExportOptions>;

// Parses the arguments after the program name. Throws UsageError.
Command parseCommandLine(const std::vector<std::string>& arguments);

// "bpn", "cpn", "bsb", "da" (lower case, as typed on the command line).
std::optional<NetworkKind> kindFromName(const std::string& name);
const char* kindName(NetworkKind kind);
// "logistic", "tanh", ... as typed after --function. Throws UserError.
ThresholdKind neuronFunctionFromName(const std::string& text, const std::string& option);

}  // namespace vornetica::cli
