#include "cli/cli_commands.h"

#include "base/number_text.h"
#include "base/user_error.h"
#include "cli/cli_help.h"
#include "cli/cli_progress.h"
#include "data/training_data.h"
#include "netfile/matrix_export.h"
#include "netfile/network_file.h"
#include "recall/recall_vector.h"
#include "recall/record_files.h"
#include "train/brain_state.h"
#include "train/training_run.h"

namespace vornetica::cli {

namespace {

void putTrainOptions(const TrainOptions& options, NetworkSettings& settings) {
    settings.InputSize = options.inputSize;
    settings.HiddenSize = options.hiddenSize;
    settings.OutputSize = options.outputSize;
    settings.NumberTimeSteps = options.timeSteps;
    settings.MaxIterations = options.maxIterations;
    settings.InputScale = options.inputScale;
    settings.OutputScale = options.outputScale;
    settings.Alpha = options.alpha;
    settings.Beta = options.beta;
    settings.Gamma = options.gamma;
    settings.ErrorThreshold = options.errorThreshold;
    settings.ThresholdFunction = options.function;
    settings.LinearSlope = options.slope;
    settings.RampBoundary = options.boundary;
    settings.StepUpperBoundary = options.upper;
    settings.StepLowerBoundary = options.lower;
    settings.DataEntryMode = FromFiles;
    settings.InputDataPath = options.inputs;
    settings.OutputDataPath = options.outputs;
}

// The most epochs or passes a run may take, for the progress line.
int progressLimit(const TrainOptions& options) {
    switch (options.kind) {
        case NetworkKind::BPN:
            return options.maxIterations;
        case NetworkKind::BSB:
            return kBsbPassLimit;
        case NetworkKind::CPN:
        case NetworkKind::DA:
            break;
    }
    return 0;
}

void reportRefusal(Console& console, const std::string& message) {
    console.err << "vornetica-cli: " << message << '\n';
}

std::string outputLine(const std::vector<double>& values) {
    std::string line;
    for (const double value : values) {
        if (!line.empty()) {
            line += ' ';
        }
        line += fileNumberText(value);
    }
    return line;
}

void putRecallOptions(const RecallOptions& options, NetworkKind kind, NetworkSettings& settings) {
    recallFlag(settings, kind) = 1;
    settings.DataEntryMode = FromFiles;
    settings.NetworkFilePath = options.network;
    settings.InputDataPath = options.inputs;
    if (kind == NetworkKind::BSB) {
        if (!(options.gamma > 0.0)) {
            throw UserError("--gamma: the box limit must be above 0, not " +
                            fileNumberText(options.gamma) + ".");
        }
        settings.RecallBeta = options.beta;
        settings.RecallGamma = options.gamma;
        settings.RecallErrorThreshold = options.errorThreshold;
    }
}

}  // namespace

int runTrain(const TrainOptions& options, NetworkSettings& settings, RandomSource& random,
             Console& console) {
    setDefaultSettings(settings);
    putTrainOptions(options, settings);
    encodeFlag(settings, options.kind) = 1;

    ConsoleProgress progress(console.err, console.errIsTerminal, options.kind,
                             progressLimit(options));
    TrainingResult result = runTraining(captureTrainingRequest(settings), random, progress);
    if (!result.error.empty()) {
        reportRefusal(console, result.error);
        return kRefused;
    }
    progress.finish();
    console.out << "Done!\n";
    if (result.passLimitReached) {
        console.err << "Note: the errors did not fall to the error threshold within "
                    << kBsbPassLimit << " passes.\n";
    }

    TrainedNetwork storage;
    commitTrainingResult(settings, storage, std::move(result));
    const SaveOutcome saved = saveNetwork(settings, storage, options.save);
    if (!saved.saved) {
        reportRefusal(console, saved.message);
        return kRefused;
    }
    console.out << saved.message << '\n';
    return kSuccess;
}

int runRecall(const RecallOptions& options, NetworkSettings& settings, Console& console) {
    try {
        if (options.bsbOptionGiven && !options.kind &&
            networkKindOfFile(options.network) != NetworkKind::BSB) {
            throw UsageError("--beta, --gamma and --error-threshold apply to bsb networks only",
                             "recall");
        }
        const NetworkKind kind = options.kind ? *options.kind : networkKindOfFile(options.network);
        setDefaultSettings(settings);
        putRecallOptions(options, kind, settings);
        const LoadOutcome loaded = loadNetwork(settings);
        if (!loaded.loaded) {
            reportRefusal(console, loaded.message);
            return kRefused;
        }

        const std::vector<std::vector<double>> vectors =
            readRecallVectors(options.inputs, settings.RecallInputSize);
        std::vector<RecalledVector> recalled;
        recalled.reserve(vectors.size());
        for (const std::vector<double>& input : vectors) {
            recalled.push_back(recallVector(settings, kind, input));
        }

        if (options.recordInputs && options.recordOutputs) {
            std::vector<double> inputs;
            std::vector<double> outputs;
            for (const RecalledVector& vector : recalled) {
                inputs.insert(inputs.end(), vector.input.begin(), vector.input.end());
                outputs.insert(outputs.end(), vector.output.begin(), vector.output.end());
            }
            writeRecordFiles(*options.recordInputs, inputs, *options.recordOutputs, outputs);
        }

        for (std::size_t index = 0; index < recalled.size(); ++index) {
            console.out << outputLine(recalled[index].output) << '\n';
            if (recalled[index].settled) {
                console.err << "vector " << index + 1 << ": "
                            << (*recalled[index].settled ? "settled" : "not settled") << '\n';
            }
        }
        return kSuccess;
    } catch (const UserError& error) {
        reportRefusal(console, error.what());
        return kRefused;
    }
}

int runExport(const ExportOptions& options, Console& console) {
    try {
        const TrainedNetwork network =
            readNetworkFile(options.network, networkKindOfFile(options.network));
        for (const std::string& path : exportMatrices(network, options.csvPrefix)) {
            console.out << path << '\n';
        }
        return kSuccess;
    } catch (const UserError& error) {
        reportRefusal(console, error.what());
        return kRefused;
    }
}

int runCommandLine(const std::vector<std::string>& arguments, NetworkSettings& settings,
                   RandomSource& random, Console& console) {
    try {
        const Command command = parseCommandLine(arguments);
        if (const auto* help = std::get_if<HelpRequest>(&command)) {
            console.out << helpText(help->topic);
            return kSuccess;
        }
        if (const auto* train = std::get_if<TrainOptions>(&command)) {
            return runTrain(*train, settings, random, console);
        }
        if (const auto* exported = std::get_if<ExportOptions>(&command)) {
            return runExport(*exported, console);
        }
        return runRecall(std::get<RecallOptions>(command), settings, console);
    } catch (const UsageError& error) {
        console.err << "vornetica-cli: " << error.what() << '\n' << usageText(error.topic());
        return kUsage;
    }
}

}  // namespace vornetica::cli
