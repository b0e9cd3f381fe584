#include "cli/cli_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

#include "base/user_error.h"
#include "wizard/parameter_text.h"

namespace vornetica::cli {

namespace {

// Which kinds an option of `train` belongs to.
enum KindMask : unsigned { kBpn = 1, kCpn = 2, kBsb = 4, kDa = 8, kAll = 15 };

unsigned maskOf(NetworkKind kind) {
    switch (kind) {
        case NetworkKind::BPN:
            return kBpn;
        case NetworkKind::CPN:
            return kCpn;
        case NetworkKind::BSB:
            return kBsb;
        case NetworkKind::DA:
            break;
    }
    return kDa;
}

struct FunctionName {
    std::string_view name;
    ThresholdKind kind;
};

constexpr std::array<FunctionName, 6> kFunctionNames = {{
    {"linear", ThresholdKind::Linear},
    {"ramp", ThresholdKind::Ramp},
    {"step", ThresholdKind::Step},
    {"logistic", ThresholdKind::Logistic},
    {"tanh", ThresholdKind::Tanh},
    {"ratio-squares", ThresholdKind::RatioSquares},
}};

ThresholdKind parseFunction(const std::string& text, const std::string& option) {
    for (const FunctionName& entry : kFunctionNames) {
        if (entry.name == text) {
            return entry.kind;
        }
    }
    throw UserError(option + ": \"" + text +
                    "\" is not a neuron function (linear, ramp, step, logistic, tanh, "
                    "ratio-squares)");
}

// How many units of work a trace holds: a whole number from 1 on.
long parseTraceLimit(const std::string& text, const std::string& option) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1) {
        throw UserError(option + ": \"" + text + "\" is not a whole number of 1 or more");
    }
    return value;
}

std::string parseFileName(const std::string& text, const std::string& option) {
    if (text.empty()) {
        throw UserError(option + ": the file name is empty");
    }
    return text;
}

using TrainSetter = void (*)(TrainOptions&, const std::string&, const std::string&);

struct TrainOption {
    std::string_view name;
    unsigned kinds;
    TrainSetter set;
};

// clang-format off
const std::array<TrainOption, 21> kTrainOptions = {{
    {"--input-size", kAll, [](TrainOptions& o, const std::string& t, const std::string& n) { o.inputSize = parseSizeField(t, n); }},
    {"--hidden-size", kBpn | kCpn, [](TrainOptions& o, const std::string& t, const std::string& n) { o.hiddenSize = parseSizeField(t, n); }},
    {"--output-size", kBpn | kCpn, [](TrainOptions& o, const std::string& t, const std::string& n) { o.outputSize = parseSizeField(t, n); }},
    {"--error-threshold", kBpn | kBsb, [](TrainOptions& o, const std::string& t, const std::string& n) { o.errorThreshold = parseRealField(t, n); }},
    {"--max-iterations", kBpn, [](TrainOptions& o, const std::string& t, const std::string& n) { o.maxIterations = parseCountField(t, n); }},
    {"--input-scale", kBpn, [](TrainOptions& o, const std::string& t, const std::string& n) { o.inputScale = parseNonZeroRealField(t, n); }},
    {"--output-scale", kBpn, [](TrainOptions& o, const std::string& t, const std::string& n) { o.outputScale = parseNonZeroRealField(t, n); }},
    {"--alpha", kBpn | kBsb, [](TrainOptions& o, const std::string& t, const std::string& n) { o.alpha = parseRealField(t, n); }},
    {"--beta", kBpn | kCpn, [](TrainOptions& o, const std::string& t, const std::string& n) { o.beta = parseRealField(t, n); }},
    {"--gamma", kCpn, [](TrainOptions& o, const std::string& t, const std::string& n) { o.gamma = parseRealField(t, n); }},
    {"--time-steps", kCpn, [](TrainOptions& o, const std::string& t, const std::string& n) { o.timeSteps = parseCountField(t, n); }},
    {"--function", kBpn, [](TrainOptions& o, const std::string& t, const std::string& n) { o.function = parseFunction(t, n); }},
    {"--slope", kBpn, [](TrainOptions& o, const std::string& t, const std::string& n) { o.slope = parseRealField(t, n); }},
    {"--boundary", kBpn, [](TrainOptions& o, const std::string& t, const std::string& n) { o.boundary = parseRealField(t, n); }},
    {"--upper", kBpn, [](TrainOptions& o, const std::string& t, const std::string& n) { o.upper = parseRealField(t, n); }},
    {"--lower", kBpn, [](TrainOptions& o, const std::string& t, const std::string& n) { o.lower = parseRealField(t, n); }},
    {"--inputs", kAll, [](TrainOptions& o, const std::string& t, const std::string& n) { o.inputs = parseFileName(t, n); }},
    {"--outputs", kBpn | kCpn, [](TrainOptions& o, const std::string& t, const std::string& n) { o.outputs = parseFileName(t, n); }},
    {"--save", kAll, [](TrainOptions& o, const std::string& t, const std::string& n) { o.save = parseFileName(t, n); }},
    {"--trace", kAll, [](TrainOptions& o, const std::string& t, const std::string& n) { o.trace = parseFileName(t, n); }},
    {"--trace-limit", kAll, [](TrainOptions& o, const std::string& t, const std::string& n) { o.traceLimit = parseTraceLimit(t, n); }},
}};
// clang-format on

bool isHelp(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

// The help topic the arguments point at, for --help and for usage messages.
std::string topicOf(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return "";
    }
    if (arguments[0] == "recall" || arguments[0] == "import" || arguments[0] == "export") {
        return arguments[0];
    }
    if (arguments[0] != "train") {
        return "";
    }
    if (arguments.size() >= 2 && kindFromName(arguments[1])) {
        return "train " + arguments[1];
    }
    return "train";
}

// Splits "--name=value" or takes the value from the next argument.
struct OptionWithValue {
    std::string name;
    std::string value;
};

OptionWithValue takeOption(const std::vector<std::string>& arguments, std::size_t& index,
                           const std::string& topic) {
    const std::string& argument = arguments[index];
    const std::size_t equals = argument.find('=');
    if (equals != std::string::npos) {
        return {argument.substr(0, equals), argument.substr(equals + 1)};
    }
    if (index + 1 >= arguments.size()) {
        throw UsageError("option " + argument + " needs a value", topic);
    }
    ++index;
    return {argument, arguments[index]};
}

bool looksLikeOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-' && argument[1] == '-';
}

TrainOptions parseTrain(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2) {
        throw UsageError("train needs a network kind: bpn, cpn, bsb or da", "train");
    }
    const std::optional<NetworkKind> kind = kindFromName(arguments[1]);
    if (!kind) {
        throw UsageError("\"" + arguments[1] + "\" is not a network kind (bpn, cpn, bsb, da)",
                         "train");
    }
    const std::string topic = "train " + arguments[1];
    TrainOptions options = trainDefaults(*kind);
    for (std::size_t index = 2; index < arguments.size(); ++index) {
        if (!looksLikeOption(arguments[index])) {
            throw UsageError("unexpected argument \"" + arguments[index] + "\"", topic);
        }
        const OptionWithValue option = takeOption(arguments, index, topic);
        const auto known =
            std::find_if(kTrainOptions.begin(), kTrainOptions.end(), [&](const TrainOption& entry) {
                return entry.name == option.name && (entry.kinds & maskOf(*kind)) != 0;
            });
        if (known == kTrainOptions.end()) {
            throw UsageError("unknown option " + option.name + " for " + topic, topic);
        }
        try {
            known->set(options, option.value, option.name);
        } catch (const UserError& error) {
            throw UsageError(error.what(), topic);
        }
    }
    return options;
}

double parseRecallReal(const OptionWithValue& option) {
    try {
        return parseRealField(option.value, option.name);
    } catch (const UserError& error) {
        throw UsageError(error.what(), "recall");
    }
}

void applyRecallOption(RecallOptions& options, const OptionWithValue& option) {
    const std::string& name = option.name;
    if (option.value.empty()) {
        throw UsageError(name + ": the value is empty", "recall");
    }
    if (name == "--kind") {
        options.kind = kindFromName(option.value);
        if (!options.kind) {
            throw UsageError(
                "--kind: \"" + option.value + "\" is not a network kind (bpn, cpn, bsb, da)",
                "recall");
        }
    } else if (name == "--inputs") {
        options.inputs = option.value;
    } else if (name == "--beta") {
        options.beta = parseRecallReal(option);
        options.bsbOptionGiven = true;
    } else if (name == "--gamma") {
        options.gamma = parseRecallReal(option);
        options.bsbOptionGiven = true;
    } else if (name == "--error-threshold") {
        options.errorThreshold = parseRecallReal(option);
        options.bsbOptionGiven = true;
    } else if (name == "--record-inputs") {
        options.recordInputs = option.value;
    } else if (name == "--record-outputs") {
        options.recordOutputs = option.value;
    } else if (name == "--targets") {
        options.targets = option.value;
    } else if (name == "--results") {
        options.results = option.value;
    } else {
        throw UsageError("unknown option " + name + " for recall", "recall");
    }
}

RecallOptions parseRecall(const std::vector<std::string>& arguments) {
    RecallOptions options;
    bool networkGiven = false;
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        if (!looksLikeOption(arguments[index])) {
            if (networkGiven) {
                throw UsageError("unexpected argument \"" + arguments[index] + "\"", "recall");
            }
            options.network = arguments[index];
            networkGiven = true;
            continue;
        }
        applyRecallOption(options, takeOption(arguments, index, "recall"));
    }
    if (!networkGiven || options.network.empty()) {
        throw UsageError("recall needs the network file to load", "recall");
    }
    if (options.inputs.empty()) {
        throw UsageError("recall needs --inputs FILE, the recall data file", "recall");
    }
    if (options.recordInputs.has_value() != options.recordOutputs.has_value()) {
        throw UsageError("--record-inputs and --record-outputs go together", "recall");
    }
    if (options.bsbOptionGiven && options.kind && *options.kind != NetworkKind::BSB) {
        throw UsageError("--beta, --gamma and --error-threshold apply to bsb networks only",
                         "recall");
    }
    return options;
}

ExportOptions parseExport(const std::vector<std::string>& arguments) {
    ExportOptions options;
    bool networkGiven = false;
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        if (!looksLikeOption(arguments[index])) {
            if (networkGiven) {
                throw UsageError("unexpected argument \"" + arguments[index] + "\"", "export");
            }
            options.network = arguments[index];
            networkGiven = true;
            continue;
        }
        const OptionWithValue option = takeOption(arguments, index, "export");
        if (option.name != "--csv") {
            throw UsageError("unknown option " + option.name + " for export", "export");
        }
        options.csvPrefix = option.value;
    }
    if (!networkGiven || options.network.empty()) {
        throw UsageError("export needs the network file to read", "export");
    }
    if (options.csvPrefix.empty()) {
        throw UsageError("export needs --csv PREFIX, the start of the files' names", "export");
    }
    return options;
}

}  // namespace

std::optional<NetworkKind> kindFromName(const std::string& name) {
    for (const NetworkKind kind :
         {NetworkKind::BPN, NetworkKind::CPN, NetworkKind::BSB, NetworkKind::DA}) {
        if (name == kindName(kind)) {
            return kind;
        }
    }
    return std::nullopt;
}

const char* kindName(NetworkKind kind) {
    switch (kind) {
        case NetworkKind::BPN:
            return "bpn";
        case NetworkKind::CPN:
            return "cpn";
        case NetworkKind::BSB:
            return "bsb";
        case NetworkKind::DA:
            break;
    }
    return "da";
}

TrainOptions trainDefaults(NetworkKind kind) {
    TrainOptions options;
    options.kind = kind;
    switch (kind) {
        case NetworkKind::BPN:
            break;
        case NetworkKind::CPN:
            options.inputSize = 4;
            options.hiddenSize = 50;
            options.outputSize = 4;
            options.beta = 0.5;
            options.gamma = 0.5;
            options.timeSteps = 100;
            break;
        case NetworkKind::BSB:
            options.inputSize = 4;
            options.alpha = 0.5;
            options.errorThreshold = 0.01;
            break;
        case NetworkKind::DA:
            options.inputSize = 4;
            break;
    }
    return options;
}

Command parseCommandLine(const std::vector<std::string>& arguments) {
    if (std::any_of(arguments.begin(), arguments.end(), isHelp)) {
        return HelpRequest{topicOf(arguments)};
    }
    if (arguments.empty()) {
        throw UsageError("a command is needed: train, recall, import or export", "");
    }
    if (arguments[0] == "train") {
        return parseTrain(arguments);
    }
    if (arguments[0] == "recall") {
        return parseRecall(arguments);
    }
    if (arguments[0] == "import") {
        return parseImport(arguments);
    }
    if (arguments[0] == "export") {
        return parseExport(arguments);
    }
    throw UsageError("unknown command \"" + arguments[0] + "\" (train, recall, import or export)",
                     "");
}

ThresholdKind neuronFunctionFromName(const std::string& text, const std::string& option) {
    return parseFunction(text, option);
}

}  // namespace vornetica::cli
