#include "train/training_run.h"

#include <cstdint>
#include <fstream>
#include <new>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

#include "base/memory_limit.h"
#include "base/user_error.h"
#include "data/training_data.h"
#include "neuron/threshold.h"

namespace vornetica {
namespace {

BpnParameters bpnParametersOf(const NetworkSettings& settings) {
    BpnParameters parameters;
    parameters.inputSize = settings.InputSize;
    parameters.hiddenSize = settings.HiddenSize;
    parameters.outputSize = settings.OutputSize;
    parameters.InputScale = settings.InputScale;
    parameters.OutputScale = settings.OutputScale;
    parameters.Alpha = settings.Alpha;
    parameters.Beta = settings.Beta;
    parameters.ErrorThreshold = settings.ErrorThreshold;
    parameters.MaxIterations = settings.MaxIterations;
    parameters.threshold = thresholdChoiceOf(settings);
    return parameters;
}

CpnParameters cpnParametersOf(const NetworkSettings& settings) {
    CpnParameters parameters;
    parameters.inputSize = settings.InputSize;
    parameters.hiddenSize = settings.HiddenSize;
    parameters.outputSize = settings.OutputSize;
    parameters.Beta = settings.Beta;
    parameters.Gamma = settings.Gamma;
    parameters.NumberTimeSteps = settings.NumberTimeSteps;
    return parameters;
}

BsbParameters bsbParametersOf(const NetworkSettings& settings) {
    BsbParameters parameters;
    parameters.inputSize = settings.InputSize;
    parameters.Alpha = settings.Alpha;
    parameters.ErrorThreshold = settings.ErrorThreshold;
    return parameters;
}

// The sizes a run trains: input, hidden (0 when the kind has none), output (0 when
// the kind reads no output data file).
struct RunSizes {
    int input = 0;
    int hidden = 0;
    int output = 0;
};

RunSizes sizesOf(const TrainingRequest& request) {
    if (const auto* bpn = std::get_if<BpnParameters>(&request.parameters)) {
        return {bpn->inputSize, bpn->hiddenSize, bpn->outputSize};
    }
    if (const auto* cpn = std::get_if<CpnParameters>(&request.parameters)) {
        return {cpn->inputSize, cpn->hiddenSize, cpn->outputSize};
    }
    if (const auto* bsb = std::get_if<BsbParameters>(&request.parameters)) {
        return {bsb->inputSize, 0, 0};
    }
    if (const auto* da = std::get_if<int>(&request.parameters)) {
        return {*da, 0, 0};
    }
    return {};
}

void requirePositive(int size, const char* name) {
    if (size < 1) {
        throw UserError("The " + std::string(name) + " must be at least 1; it is " +
                        std::to_string(size) + ".");
    }
}

void validateRequest(NetworkKind kind, const TrainingRequest& request) {
    const RunSizes sizes = sizesOf(request);
    requirePositive(sizes.input, "input size");
    if (kind == NetworkKind::BPN || kind == NetworkKind::CPN) {
        requirePositive(sizes.hidden, "hidden size");
        requirePositive(sizes.output, "output size");
    }
    if (const auto* bpn = std::get_if<BpnParameters>(&request.parameters)) {
        if (bpn->InputScale == 0.0) {
            throw UserError("The input scale must not be 0.");
        }
        if (bpn->OutputScale == 0.0) {
            throw UserError("The output scale must not be 0.");
        }
    }
    if (kind == NetworkKind::DA && sizes.input > kDaMaxInputSize) {
        throw UserError("The input size of a discrete autocorrelator must be at most " +
                        std::to_string(kDaMaxInputSize) + "; it is " + std::to_string(sizes.input) +
                        ".");
    }
}

// Bytes of the network and of the run's copies of the training set, counted
// roughly (the vectors of one node layer are left out).
std::uint64_t estimatedBytes(NetworkKind kind, const RunSizes& sizes, std::uint64_t vectors) {
    const std::uint64_t I = sizes.input, H = sizes.hidden, O = sizes.output;
    const std::uint64_t data = vectors * (I + O) * sizeof(double);
    switch (kind) {
        case NetworkKind::BPN:
            // The weights, and the scaled inputs, targets and error signals.
            return (I * H + H * O + H + O) * sizeof(double) + 2 * data +
                   vectors * O * sizeof(double);
        case NetworkKind::CPN:
            return (I * H + H * O) * sizeof(double) + 2 * data;
        case NetworkKind::BSB:
            return 2 * I * I * sizeof(double) + 2 * data;
        case NetworkKind::DA:
            return I * I * sizeof(std::int16_t) + 2 * data;
    }
    return 0;
}

std::string memoryMessage(const RunSizes& sizes, std::uint64_t bytes) {
    std::string shape = std::to_string(sizes.input);
    if (sizes.hidden > 0) {
        shape += "-" + std::to_string(sizes.hidden);
    }
    if (sizes.output > 0) {
        shape += "-" + std::to_string(sizes.output);
    }
    const std::uint64_t megabytes = (bytes + (1u << 20) - 1) >> 20;
    return "Not enough memory to train a " + shape + " network: it needs about " +
           std::to_string(megabytes) + " MB.";
}

void requireMemory(NetworkKind kind, const RunSizes& sizes, std::uint64_t vectors) {
    const std::uint64_t bytes = estimatedBytes(kind, sizes, vectors);
    if (!fitsInMemory(bytes)) {
        throw UserError(memoryMessage(sizes, bytes));
    }
}

TrainingSet readData(NetworkKind kind, const TrainingRequest& request, const RunSizes& sizes) {
    const bool hasTargets = kind == NetworkKind::BPN || kind == NetworkKind::CPN;
    const std::optional<std::string> outputPath =
        hasTargets ? std::optional<std::string>(request.outputDataPath) : std::nullopt;
    return readTrainingData(request.inputDataPath, outputPath, sizes.input, sizes.output);
}

void train(NetworkKind kind, const TrainingRequest& request, const TrainingSet& data,
           RandomSource& random, ProgressSink& progress, TrainingResult& result) {
    switch (kind) {
        case NetworkKind::BPN: {
            BpnRun run = trainBackpropagation(std::get<BpnParameters>(request.parameters), data,
                                              random, progress);
            result.network = std::move(run.network);
            result.epochs = run.epochs;
            result.stopped = run.stopped;
            return;
        }
        case NetworkKind::CPN: {
            CpnRun run = trainCounterpropagation(std::get<CpnParameters>(request.parameters), data,
                                                 random, progress);
            result.network = std::move(run.network);
            result.stopped = run.stopped;
            result.hiddenUnitWins = std::move(run.wins);
            return;
        }
        case NetworkKind::BSB: {
            BsbRun run = trainBrainStateInABox(std::get<BsbParameters>(request.parameters), data,
                                               random, progress);
            result.network = std::move(run.network);
            result.epochs = run.passes;
            result.stopped = run.stopped;
            result.passLimitReached = run.passLimitReached;
            return;
        }
        case NetworkKind::DA: {
            DaRun run =
                trainDiscreteAutocorrelator(std::get<int>(request.parameters), data, progress);
            result.network = std::move(run.network);
            result.stopped = run.stopped;
            return;
        }
    }
}

void runKind(NetworkKind kind, const TrainingRequest& request, RandomSource& random,
             ProgressSink& progress, TrainingResult& result) {
    validateRequest(kind, request);
    const RunSizes sizes = sizesOf(request);
    requireMemory(kind, sizes, 0);
    const TrainingSet data = readData(kind, request, sizes);
    requireMemory(kind, sizes, static_cast<std::uint64_t>(data.count));
    try {
        train(kind, request, data, random, progress, result);
    } catch (const std::bad_alloc&) {
        throw UserError(memoryMessage(sizes, estimatedBytes(kind, sizes, data.count)));
    }
    result.vectorCount = data.count;
}

}  // namespace

TrainingRequest captureTrainingRequest(const NetworkSettings& settings) {
    TrainingRequest request;
    request.kind = encodeKind(settings);
    request.inputDataPath = settings.InputDataPath;
    request.outputDataPath = settings.OutputDataPath;
    if (!request.kind) {
        return request;
    }
    switch (*request.kind) {
        case NetworkKind::BPN:
            request.parameters = bpnParametersOf(settings);
            break;
        case NetworkKind::CPN:
            request.parameters = cpnParametersOf(settings);
            break;
        case NetworkKind::BSB:
            request.parameters = bsbParametersOf(settings);
            break;
        case NetworkKind::DA:
            request.parameters = static_cast<int>(settings.InputSize);
            break;
    }
    return request;
}

TrainingResult runTraining(const TrainingRequest& request, RandomSource& random,
                           ProgressSink& progress) {
    TrainingResult result;
    result.kind = request.kind;
    if (!request.kind) {
        return result;
    }
    try {
        runKind(*request.kind, request, random, progress, result);
    } catch (const UserError& error) {
        result.network = std::monostate{};
        result.error = error.what();
    } catch (const std::bad_alloc&) {
        result.network = std::monostate{};
        result.error =
            memoryMessage(sizesOf(request), estimatedBytes(*request.kind, sizesOf(request), 0));
    } catch (const std::length_error&) {
        result.network = std::monostate{};
        result.error =
            memoryMessage(sizesOf(request), estimatedBytes(*request.kind, sizesOf(request), 0));
    } catch (const std::exception& error) {
        result.network = std::monostate{};
        result.error = std::string("Training failed: ") + error.what();
    }
    return result;
}

void commitTrainingResult(NetworkSettings& settings, TrainedNetwork& storage,
                          TrainingResult&& result) {
    if (!result.kind) {
        return;
    }
    if (!result.error.empty()) {
        return;
    }
    settings.TrainingVectorCount = result.vectorCount;
    if (const auto* bpn = std::get_if<BpnNetwork>(&result.network)) {
        settings.TrainedInputSize = static_cast<std::int16_t>(bpn->inputSize());
        settings.TrainedHiddenSize = static_cast<std::int16_t>(bpn->hiddenSize());
        settings.TrainedOutputSize = static_cast<std::int16_t>(bpn->outputSize());
    } else if (const auto* cpn = std::get_if<CpnNetwork>(&result.network)) {
        settings.TrainedInputSize = static_cast<std::int16_t>(cpn->inputSize());
        settings.TrainedHiddenSize = static_cast<std::int16_t>(cpn->hiddenSize());
        settings.TrainedOutputSize = static_cast<std::int16_t>(cpn->outputSize());
    } else if (const auto* bsb = std::get_if<BsbNetwork>(&result.network)) {
        settings.TrainedInputSize = static_cast<std::int16_t>(bsb->inputSize());
    } else if (const auto* da = std::get_if<DaNetwork>(&result.network)) {
        settings.TrainedInputSize = static_cast<std::int16_t>(da->inputSize());
    }
    storage = std::move(result.network);
}

}  // namespace vornetica
