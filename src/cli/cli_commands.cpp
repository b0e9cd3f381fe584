#include "cli/cli_commands.h"

#include "base/number_chars.h"
#include "base/number_text.h"
#include "base/user_error.h"
#include "cli/cli_help.h"
#include "cli/cli_progress.h"
#include "data/replacing_file.h"
#include "data/training_data.h"
#include "netfile/matrix_export.h"
#include "netfile/network_file.h"
#include "notes/run_notes.h"
#include "recall/batch_recall.h"
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

void printNotes(Console& console, const std::vector<RunNote>& notes) {
    for (const RunNote& note : notes) {
        console.err << "Note: " << note.text << '\n';
    }
}

void appendOutputLine(std::string& lines, const std::vector<double>& values) {
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (k > 0) {
            lines += ' ';
        }
        appendFileNumber(lines, values[k]);
    }
    lines += '\n';
}

// Output lines go out in blocks of this size: one write per line would cost more
// than the recall.
constexpr std::size_t kOutputBlock = std::size_t{1} << 16;

// Recalls every vector, printing each output line and writing the optional files
// as it goes, so that memory does not grow with the recall data file. Returns
// whether each brain-state-in-a-box vector settled, for the lines that follow
// the output.
std::vector<bool> recallEveryVector(BatchRecall& batch, const RecallOptions& options,
                                    Console& console) {
    std::optional<RecordFilesWriter> records;
    if (options.recordInputs && options.recordOutputs) {
        records.emplace(*options.recordInputs, *options.recordOutputs);
    }
    std::optional<ResultsCsvFile> results;
    if (options.results) {
        results.emplace(*options.results, batch.inputWidth(), batch.outputWidth(),
                        batch.comparing());
    }
    std::vector<bool> settled;
    std::string lines;
    lines.reserve(2 * kOutputBlock);
    BatchRow row;
    while (batch.next(row)) {
        appendOutputLine(lines, row.output);
        if (lines.size() >= kOutputBlock) {
            console.out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
            lines.clear();
        }
        if (records) {
            records->add(row.input, row.output);
        }
        if (results) {
            results->add(row);
        }
        if (row.settled) {
            settled.push_back(*row.settled);
        }
    }
    console.out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
    console.out.flush();
    if (records) {
        records->commit();
    }
    if (results) {
        results->commit();
    }
    return settled;
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
    if (options.trace && namesOneFile(*options.trace, options.save)) {
        reportRefusal(console, "--trace and --save name the same file \"" + *options.trace + "\".");
        return kRefused;
    }
    std::optional<TraceCollector> trace;
    if (options.trace) {
        trace.emplace(options.traceLimit);
        progress.traceInto(*trace);
    }
    const TrainingRequest request = captureTrainingRequest(settings);
    printNotes(console, notesBeforeRun(request));
    TrainingResult result = runTraining(request, random, progress);
    if (!result.error.empty()) {
        reportRefusal(console, result.error);
        return kRefused;
    }
    progress.finish();
    console.out << "Done!\n";
    printNotes(console, notesAfterRun(request, result, progress.record()));
    // A trace that cannot be written does not cost the trained network.
    std::string traceError;
    if (trace) {
        try {
            writeTraceFile(*options.trace, trace->units());
        } catch (const UserError& error) {
            traceError = error.what();
        }
    }

    TrainedNetwork storage;
    commitTrainingResult(settings, storage, std::move(result));
    const SaveOutcome saved = saveNetwork(settings, storage, options.save);
    if (!saved.saved) {
        reportRefusal(console, saved.message);
        return kRefused;
    }
    console.out << saved.message << '\n';
    if (!traceError.empty()) {
        reportRefusal(console, traceError);
        return kRefused;
    }
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

        BatchRecall batch(settings, options.inputs, options.targets);
        const std::vector<bool> settled = recallEveryVector(batch, options, console);
        for (std::size_t index = 0; index < settled.size(); ++index) {
            console.err << "vector " << index + 1 << ": "
                        << (settled[index] ? "settled" : "not settled") << '\n';
        }
        if (batch.comparing()) {
            console.err << summaryText(batch.summary());
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
        if (const auto* import = std::get_if<ImportOptions>(&command)) {
            return runImport(*import, console);
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
