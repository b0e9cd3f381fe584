#include "recall/recall_press.h"

#include <cstddef>
#include <filesystem>
#include <span>

#include "base/number_text.h"
#include "base/user_error.h"
#include "data/grid_cell.h"
#include "data/training_data.h"
#include "netfile/network_file.h"
#include "recall/recall_vector.h"
#include "recall/record_files.h"

namespace vornetica {

namespace {

std::vector<double> vectorFromCells(const std::vector<std::string>& cellTexts, int size) {
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(size));
    for (int j = 0; j < size; ++j) {
        const std::size_t index = static_cast<std::size_t>(j);
        const std::string text = index < cellTexts.size() ? cellTexts[index] : std::string();
        const std::string cell = "Input cell " + std::to_string(j + 1);
        if (text.empty()) {
            throw UserError(cell + " is empty: please enter a number.");
        }
        const std::optional<double> value = strictCellValue(text);
        if (!value) {
            throw UserError(cell + " is not a number: \"" + text + "\".");
        }
        values.push_back(*value);
    }
    return values;
}

// The values a press reads before it meets the end of the recall data file: the
// window records each value as it reads it, so an ended press leaves these in the
// input record file. They are the longest prefix the reader still hands out whole.
std::vector<double> valuesBeforeTheEnd(const std::string& path, int size) {
    for (int count = size - 1; count >= 1; --count) {
        if (std::optional<std::vector<double>> prefix = readRecallVector(path, count)) {
            return *prefix;
        }
    }
    return {};
}

std::vector<std::string> numberTextsOf(std::span<const double> values) {
    std::vector<std::string> texts;
    texts.reserve(values.size());
    for (const double value : values) {
        texts.push_back(numberText(value));
    }
    return texts;
}

RecallPressResult endOfFilePress(const NetworkSettings& settings, const RecallPressRequest& request,
                                 int size) {
    if (request.record) {
        const std::vector<double> recorded = valuesBeforeTheEnd(settings.InputDataPath, size);
        writeRecordFiles(request.inputRecordPath, recorded, request.outputRecordPath, {});
    }
    RecallPressResult result;
    result.showDone = true;
    return result;
}

RecallPressResult pressWithNetwork(NetworkSettings& settings, const RecallPressRequest& request,
                                   NetworkKind kind) {
    const int size = settings.RecallInputSize;
    const bool fromFile = settings.DataEntryMode == FromFiles;
    std::vector<double> input;
    if (fromFile) {
        std::optional<std::vector<double>> read = readRecallVector(settings.InputDataPath, size);
        if (!read) {
            return endOfFilePress(settings, request, size);
        }
        input = std::move(*read);
    } else {
        input = vectorFromCells(request.cellTexts, size);
    }

    const RecallWorkSnapshot before(settings);
    RecalledVector recalled = recallVector(settings, kind, input);
    if (request.record) {
        try {
            writeRecordFiles(request.inputRecordPath, recalled.input, request.outputRecordPath,
                             recalled.output);
        } catch (const UserError&) {
            before.restore(settings);
            throw;
        }
    }

    RecallPressResult result;
    result.inputTexts = numberTextsOf(recalled.input);
    result.outputTexts = numberTextsOf(recalled.output);
    result.inputValues = std::move(recalled.input);
    result.outputValues = std::move(recalled.output);
    result.settled = recalled.settled;
    result.showDone = fromFile;
    return result;
}

std::string kindInWords(NetworkKind kind) {
    switch (kind) {
        case NetworkKind::BPN:
            return "backpropagation";
        case NetworkKind::CPN:
            return "counterpropagation";
        case NetworkKind::BSB:
            return "brain-state-in-a-box";
        case NetworkKind::DA:
            return "discrete autocorrelator";
    }
    return {};
}

std::string sizesInWords(const NetworkSettings& settings, NetworkKind kind) {
    const int units = settings.RecallInputSize;
    if (kind == NetworkKind::BSB || kind == NetworkKind::DA) {
        return std::to_string(units) + (units == 1 ? " unit" : " units");
    }
    return std::to_string(units) + "-" + std::to_string(settings.RecallHiddenSize) + "-" +
           std::to_string(settings.RecallOutputSize);
}

}  // namespace

RecallOpening openRecallNetwork(NetworkSettings& settings) {
    const LoadOutcome outcome = loadNetwork(settings);
    RecallOpening opening;
    if (!outcome.loaded) {
        settings.RecallLoadedKind.reset();
        opening.refusal = outcome.message;
        opening.reason = outcome.refusal;
    }
    opening.networkLine = loadedNetworkLine(settings);
    return opening;
}

std::string loadedNetworkLine(const NetworkSettings& settings) {
    if (!settings.RecallLoadedKind) {
        return "No network loaded";
    }
    const NetworkKind kind = *settings.RecallLoadedKind;
    const std::string name = std::filesystem::path(settings.NetworkFilePath).filename().string();
    return name + " \u2014 " + kindInWords(kind) + " " + sizesInWords(settings, kind);
}

RecallPressResult recallPress(NetworkSettings& settings, const RecallPressRequest& request) {
    if (!settings.RecallLoadedKind) {
        RecallPressResult result;
        result.error = kNoNetworkLoaded;
        return result;
    }
    try {
        return pressWithNetwork(settings, request, *settings.RecallLoadedKind);
    } catch (const UserError& error) {
        RecallPressResult result;
        result.error = error.what();
        return result;
    }
}

}  // namespace vornetica
