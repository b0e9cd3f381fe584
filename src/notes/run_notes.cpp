#include "notes/run_notes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "base/number_text.h"
#include "base/rounding.h"
#include "base/user_error.h"
#include "neuron/function_range.h"
#include "neuron/threshold.h"
#include "recall/recall_computations.h"
#include "settings/network_settings.h"

namespace vornetica {
namespace {

// A list of units or vectors names this many and counts the rest.
constexpr std::size_t kNamedAtMost = 10;

std::string number(double value) {
    std::string text = numberText(value);
    if (!text.empty() && text.front() == ' ') {
        text.erase(0, 1);
    }
    return text;
}

std::string count(std::size_t value) {
    return std::to_string(value);
}

// Units, vectors and epochs are counted from 1 in every note, as the messages count them.
std::string ordinal(std::size_t zeroBased) {
    return std::to_string(zeroBased + 1);
}

// "3, 7 and 12", or the first ten and "and 5 more".
std::string namedList(const std::vector<std::size_t>& zeroBased) {
    std::string text;
    const std::size_t named = std::min(zeroBased.size(), kNamedAtMost);
    for (std::size_t n = 0; n < named; ++n) {
        if (n > 0) {
            text += (n + 1 == named && named == zeroBased.size()) ? " and " : ", ";
        }
        text += ordinal(zeroBased[n]);
    }
    if (named < zeroBased.size()) {
        text += " and " + count(zeroBased.size() - named) + " more";
    }
    return text;
}

// The smallest of 1, 2 or 5 times a power of ten above `value` (> 0): a round
// setting to suggest.
double roundAbove(double value) {
    if (!(value > 0.0) || !std::isfinite(value)) {
        return value;
    }
    double power = std::pow(10.0, std::floor(std::log10(value)));
    for (;;) {
        for (const double step : {1.0, 2.0, 5.0}) {
            if (step * power > value) {
                return step * power;
            }
        }
        power *= 10.0;
    }
}

// The largest of 1, 2 or 5 times a power of ten below `value` (> 0).
double roundBelow(double value) {
    if (!(value > 0.0) || !std::isfinite(value)) {
        return value;
    }
    double power = std::pow(10.0, std::ceil(std::log10(value)));
    for (;;) {
        for (const double step : {5.0, 2.0, 1.0}) {
            if (step * power < value) {
                return step * power;
            }
        }
        power /= 10.0;
    }
}

int rows(const TrainingSet& data) {
    return data.count < 0 ? 0 : data.count;
}

// --- Backpropagation -------------------------------------------------------------

// The outputs worth a note: linear and step outputs are not bounded by a range a
// scale should meet, and a ramp of boundary 0 gives only 0, which no scale helps.
std::optional<FunctionRange> rangeWorthANote(const ThresholdChoice& choice) {
    if (choice.function == ThresholdKind::Linear || choice.function == ThresholdKind::Step) {
        return std::nullopt;
    }
    const FunctionRange range = functionRangeOf(choice);
    if (!(range.high > range.low)) {
        return std::nullopt;
    }
    return range;
}

std::string rangeText(const FunctionRange& range) {
    return std::string(range.lowReached ? "from " : "strictly between ") + number(range.low) +
           (range.lowReached ? " up to " : " and ") + number(range.high) +
           (range.highReached ? " inclusive" : "");
}

// Which output scale brings every target into the range, if one does.
std::string scaleAdvice(const Matrix<double>& targets, const FunctionRange& range) {
    double largest = 0.0;
    bool anyPositive = false;
    bool anyNegative = false;
    for (const double target : targets.values()) {
        largest = std::max(largest, std::abs(target));
        anyPositive = anyPositive || target > 0.0;
        anyNegative = anyNegative || target < 0.0;
    }
    const double least = largest / range.high;
    const std::string fit = number(least) + ", such as " + number(roundAbove(least)) +
                            ", brings every target within reach.";
    if (range.low == -range.high) {
        return "An output scale above " + fit;
    }
    if (anyPositive && anyNegative) {
        return "No output scale fits targets of both signs: shift the targets so that they "
               "all lie above 0.";
    }
    if (anyNegative) {
        return "A negative output scale below -" + number(least) + ", such as -" +
               number(roundAbove(least)) + ", brings every target within reach.";
    }
    return "An output scale above " + fit;
}

// A target at an end the function only approaches (0 or 1 for the logistic
// function, as one-hot targets have them) is within reach: the output comes as
// close as training takes it, and the error signal (1 - o)·o·(t - o) falls with it.
bool withinReach(const FunctionRange& range, double target) {
    return target >= range.low && target <= range.high;
}

void noteUnreachableTargets(const BpnParameters& parameters, const TrainingSet& data,
                            std::vector<RunNote>& notes) {
    const std::optional<FunctionRange> range = rangeWorthANote(parameters.threshold);
    if (!range || rows(data) == 0) {
        return;
    }
    std::size_t outside = 0;
    std::size_t firstVector = 0;
    std::size_t firstOutput = 0;
    for (std::size_t p = 0; p < data.outputs.rows(); ++p) {
        for (std::size_t k = 0; k < data.outputs.cols(); ++k) {
            if (!withinReach(*range, data.outputs.at(p, k) / parameters.OutputScale)) {
                if (outside++ == 0) {
                    firstVector = p;
                    firstOutput = k;
                }
            }
        }
    }
    if (outside == 0) {
        return;
    }
    const double target = data.outputs.at(firstVector, firstOutput);
    notes.push_back(
        {NoteKind::UnreachableTargets,
         count(outside) + " of the " + count(data.outputs.values().size()) +
             " targets cannot be reached: divided by the output scale " +
             number(parameters.OutputScale) + " they lie outside what the " +
             functionName(parameters.threshold.function) + " function gives (" + rangeText(*range) +
             "), so the outputs never come near them. The first is output " + ordinal(firstOutput) +
             " of vector " + ordinal(firstVector) + ": its target " + number(target) + " becomes " +
             number(target / parameters.OutputScale) + ". " + scaleAdvice(data.outputs, *range)});
}

void noteSaturatedInputs(const BpnParameters& parameters, const TrainingSet& data,
                         std::vector<RunNote>& notes) {
    const ThresholdKind function = parameters.threshold.function;
    if (function == ThresholdKind::Linear || function == ThresholdKind::Step || rows(data) == 0) {
        return;
    }
    std::size_t saturating = 0;
    std::size_t firstVector = 0;
    std::size_t firstInput = 0;
    double largest = 0.0;
    for (std::size_t p = 0; p < data.inputs.rows(); ++p) {
        for (std::size_t i = 0; i < data.inputs.cols(); ++i) {
            const double value = data.inputs.at(p, i);
            largest = std::max(largest, std::abs(value));
            if (std::abs(value / parameters.InputScale) > kSaturatingScaledInput) {
                if (saturating++ == 0) {
                    firstVector = p;
                    firstInput = i;
                }
            }
        }
    }
    if (saturating == 0) {
        return;
    }
    const double value = data.inputs.at(firstVector, firstInput);
    notes.push_back(
        {NoteKind::SaturatedInputs,
         count(saturating) + " input values are so large that the first layer saturates: input " +
             ordinal(firstInput) + " of vector " + ordinal(firstVector) + " is " + number(value) +
             ", which divided by the input scale " + number(parameters.InputScale) + " is " +
             number(value / parameters.InputScale) +
             ". A single weight near 1 then drives a hidden node beyond " +
             number(kSaturatingScaledInput) + ", where the " +
             functionName(parameters.threshold.function) +
             " function lies within 1E-06 of its limits and the node hardly "
             "learns. An input scale of at least " +
             number(largest) + ", such as " + number(roundAbove(largest)) +
             ", keeps every scaled input between -1 and 1."});
}

void noteRecallFunction(const BpnParameters& parameters, std::vector<RunNote>& notes) {
    if (parameters.threshold.function == ThresholdKind::Logistic) {
        return;
    }
    notes.push_back({NoteKind::RecallFunctionDiffers,
                     std::string("This network trains with the ") +
                         functionName(parameters.threshold.function) +
                         " function, but recall always uses the logistic function: a saved "
                         "network will recall other outputs than training shows. Choose the "
                         "logistic function to recall what you train."});
}

// D = (1 - o) o (t - o) for every output of every vector under the trained
// network, computed apart from the run; the most negative one.
struct Overshoot {
    std::size_t count = 0;
    std::size_t vector = 0;
    std::size_t output = 0;
    double signal = 0.0;
    double outputValue = 0.0;
};

Overshoot findOvershoot(const BpnParameters& parameters, const TrainingSet& data,
                        const BpnNetwork& network) {
    Overshoot worst;
    const std::size_t I = network.inputSize(), H = network.hiddenSize(), O = network.outputSize();
    std::vector<double> h(H);
    for (std::size_t p = 0; p < static_cast<std::size_t>(rows(data)); ++p) {
        for (std::size_t j = 0; j < H; ++j) {
            double sum = 0.0;
            for (std::size_t i = 0; i < I; ++i) {
                sum += network.HiddenWeights.at(i, j) * (data.inputs.at(p, i) / network.InputScale);
            }
            h[j] = applyThreshold(parameters.threshold, sum + network.HiddenThresholds[j]);
        }
        for (std::size_t k = 0; k < O; ++k) {
            double sum = 0.0;
            for (std::size_t j = 0; j < H; ++j) {
                sum += h[j] * network.OutputWeights.at(j, k);
            }
            const double o =
                applyThreshold(parameters.threshold, sum + network.OutputThresholds[k]);
            const double t = data.outputs.at(p, k) / network.OutputScale;
            const double signal = (1.0 - o) * o * (t - o);
            if (signal < 0.0 && -signal > parameters.ErrorThreshold) {
                ++worst.count;
                if (signal < worst.signal) {
                    worst.vector = p;
                    worst.output = k;
                    worst.signal = signal;
                    worst.outputValue = o;
                }
            }
        }
    }
    return worst;
}

void noteOvershoot(const BpnParameters& parameters, const TrainingSet& data,
                   const BpnNetwork& network, std::vector<RunNote>& notes) {
    const Overshoot worst = findOvershoot(parameters, data, network);
    if (worst.count == 0) {
        return;
    }
    const double scale = network.OutputScale;
    notes.push_back(
        {NoteKind::Overshoot,
         "The run stopped because no error signal was above the error threshold " +
             number(parameters.ErrorThreshold) + ", yet " + count(worst.count) +
             (worst.count == 1 ? " output overshoots its target"
                               : " outputs overshoot their targets") +
             " by more than it: the stop test counts only "
             "outputs below their targets. The worst is output " +
             ordinal(worst.output) + " of vector " + ordinal(worst.vector) + ", " +
             number(worst.outputValue * scale) + " against a target of " +
             number(data.outputs.at(worst.vector, worst.output)) + " (error signal " +
             number(worst.signal) +
             "). A smaller error threshold keeps the run going, and every epoch trains these "
             "outputs too."});
}

void noteIterationLimit(const BpnParameters& parameters, const RunRecord& record,
                        std::vector<RunNote>& notes) {
    const std::vector<double>& largest = record.largestErrors();
    const std::size_t epochs = largest.size();
    const std::size_t window = std::max<std::size_t>(2, (epochs + 9) / 10);
    if (epochs < window) {
        return;
    }
    const double from = largest[epochs - window];
    const double to = largest.back();
    const std::string limit = "The run reached its iteration limit (" + count(epochs) +
                              " epochs) with error signals still above the error threshold " +
                              number(parameters.ErrorThreshold);
    const std::string over =
        " over the last " + count(window) + " epochs the largest error signal ";
    if (from - to < kPlateauFall * std::abs(from)) {
        notes.push_back(
            {NoteKind::Plateau, limit + ", and" + over + "fell by less than 1% (from " +
                                    number(from) + " to " + number(to) +
                                    "): more iterations will hardly help. Try "
                                    "more hidden nodes, other rates (Alpha " +
                                    number(parameters.Alpha) + ", Beta " + number(parameters.Beta) +
                                    "), a larger error threshold, or Start again for new initial "
                                    "weights."});
    } else {
        notes.push_back({NoteKind::LimitWhileFalling,
                         limit + ", while" + over + "was still falling, from " + number(from) +
                             " to " + number(to) + ": raise the iteration limit (now " +
                             count(static_cast<std::size_t>(parameters.MaxIterations)) + ")."});
    }
}

// --- Non-finite values -------------------------------------------------------------

bool allFinite(std::span<const double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

bool networkFinite(const TrainedNetwork& network) {
    if (const auto* bpn = std::get_if<BpnNetwork>(&network)) {
        return allFinite(bpn->HiddenWeights.values()) && allFinite(bpn->OutputWeights.values()) &&
               allFinite(bpn->HiddenThresholds) && allFinite(bpn->OutputThresholds);
    }
    if (const auto* cpn = std::get_if<CpnNetwork>(&network)) {
        return allFinite(cpn->HiddenWeights.values()) && allFinite(cpn->OutputWeights.values());
    }
    if (const auto* bsb = std::get_if<BsbNetwork>(&network)) {
        return allFinite(bsb->Weights.values());
    }
    return true;
}

std::string lowerWhat(const TrainingRequest& request, const TrainingSet& data) {
    if (const auto* bpn = std::get_if<BpnParameters>(&request.parameters)) {
        return "Lower Alpha (now " + number(bpn->Alpha) + ") and Beta (now " + number(bpn->Beta) +
               "), or raise the input scale (now " + number(bpn->InputScale) +
               ") so that the scaled inputs are smaller.";
    }
    if (const auto* cpn = std::get_if<CpnParameters>(&request.parameters)) {
        return "Lower Gamma (now " + number(cpn->Gamma) + ") and keep Beta (now " +
               number(cpn->Beta) + ") between 0 and 2, where the outstars' decay settles.";
    }
    if (const auto* bsb = std::get_if<BsbParameters>(&request.parameters)) {
        double longest = 0.0;
        for (std::size_t p = 0; p < data.inputs.rows(); ++p) {
            double squares = 0.0;
            for (const double value : data.inputs.row(p)) {
                squares += value * value;
            }
            longest = std::max(longest, squares);
        }
        std::string text = "Lower Alpha (now " + number(bsb->Alpha) + ")";
        if (longest > 0.0 && std::isfinite(longest)) {
            text += " below " + number(2.0 / longest) +
                    " (2 over the largest squared length of a vector)";
        }
        return text + ".";
    }
    return {};
}

void noteNonFinite(const TrainingRequest& request, const TrainingSet& data,
                   const TrainingResult& result, const RunRecord& record,
                   std::vector<RunNote>& notes) {
    const std::optional<int> first = record.firstNonFinite();
    if (!first && networkFinite(result.network)) {
        return;
    }
    std::string where = "by the end of the run";
    if (first) {
        const char* unit = request.kind == NetworkKind::BSB   ? "pass "
                           : request.kind == NetworkKind::CPN ? "pair "
                                                              : "epoch ";
        where = std::string("in ") + unit + ordinal(static_cast<std::size_t>(*first)) +
                " (counted from 1)";
    }
    notes.push_back({NoteKind::NonFiniteValues,
                     "Values overflowed to Inf or NaN " + where +
                         ": the weights grew beyond what a number can hold, and the network "
                         "is of no use. " +
                         lowerWhat(request, data)});
}

bool runWentWrong(const TrainingResult& result, const RunRecord& record) {
    return record.firstNonFinite().has_value() || !networkFinite(result.network);
}

void bpnNotesAfter(const BpnParameters& parameters, const TrainingSet& data,
                   const TrainingResult& result, const RunRecord& record,
                   std::vector<RunNote>& notes) {
    const auto* network = std::get_if<BpnNetwork>(&result.network);
    if (network == nullptr || result.stopped || rows(data) == 0 || record.largestErrors().empty() ||
        runWentWrong(result, record)) {
        return;
    }
    if (record.largestErrors().back() > parameters.ErrorThreshold) {
        noteIterationLimit(parameters, record, notes);
    } else {
        noteOvershoot(parameters, data, *network, notes);
    }
}

// --- Counterpropagation ------------------------------------------------------------

void noteKohonenRate(const CpnParameters& parameters, std::vector<RunNote>& notes) {
    if (parameters.NumberTimeSteps - 1 <= kLastPositiveKohonenStep) {
        return;
    }
    notes.push_back(
        {NoteKind::NegativeKohonenRate,
         "Each pair runs " + count(static_cast<std::size_t>(parameters.NumberTimeSteps - 1)) +
             " time steps, but beyond step 10000 the Kohonen rate 0.2 * (1 - t / 10000) turns "
             "negative: every later step pushes the winner away from its input and undoes what "
             "the pair taught. Use at most 10001 time steps."});
}

void noteUnitsNeverWon(const CpnParameters& parameters, const TrainingSet& data,
                       const TrainingResult& result, std::vector<RunNote>& notes) {
    const std::vector<int>& wins = result.hiddenUnitWins;
    if (wins.empty() || rows(data) == 0 || result.stopped) {
        return;
    }
    std::vector<std::size_t> idle;
    for (std::size_t j = 0; j < wins.size(); ++j) {
        if (wins[j] == 0) {
            idle.push_back(j);
        }
    }
    if (idle.empty()) {
        return;
    }
    if (idle.size() == wins.size()) {
        notes.push_back(
            {NoteKind::UnitsNeverWon,
             "No time step ran (time steps " +
                 count(static_cast<std::size_t>(std::max(parameters.NumberTimeSteps, 0))) +
                 "), so no hidden unit learned and every output weight keeps its "
                 "random start. Use at least 2 time steps."});
        return;
    }
    notes.push_back(
        {NoteKind::UnitsNeverWon,
         count(idle.size()) + " of the " + count(wins.size()) +
             " hidden units never won a time step: unit" + (idle.size() > 1 ? "s " : " ") +
             namedList(idle) +
             " (counted from 1). Their output weights keep their random start, and recall "
             "gives them for any input such a unit wins. Use fewer hidden units (at most one "
             "per training pair, here " +
             count(static_cast<std::size_t>(rows(data))) + ") or more varied input vectors."});
}

// --- Brain-state-in-a-box ----------------------------------------------------------

void noteVectorsTooLong(const BsbParameters& parameters, const TrainingSet& data,
                        std::vector<RunNote>& notes) {
    std::vector<std::size_t> tooLong;
    double longest = 0.0;
    std::size_t longestVector = 0;
    for (std::size_t p = 0; p < static_cast<std::size_t>(rows(data)); ++p) {
        double squares = 0.0;
        for (const double value : data.inputs.row(p)) {
            squares += value * value;
        }
        const double product = parameters.Alpha * squares;
        if (squares > 0.0 && !(product > 0.0 && product < 2.0)) {
            tooLong.push_back(p);
        }
        if (squares > longest) {
            longest = squares;
            longestVector = p;
        }
    }
    if (tooLong.empty() || !std::isfinite(longest)) {
        return;
    }
    const double limit = 2.0 / longest;
    notes.push_back(
        {NoteKind::VectorsTooLong,
         std::string(tooLong.size() == 1 ? "Vector " : "Vectors ") + namedList(tooLong) +
             (tooLong.size() == 1 ? " is" : " are") +
             " too long for the rate Alpha = " + number(parameters.Alpha) +
             ": a vector's correction settles only while Alpha times its squared length lies "
             "between 0 and 2, and vector " +
             ordinal(longestVector) + " (squared length " + number(longest) + ") gives " +
             number(parameters.Alpha * longest) + ". Use an Alpha above 0 and below " +
             number(limit) + ", such as " + number(roundBelow(limit)) + "."});
}

void notePassLimit(const BsbParameters& parameters, const TrainingResult& result,
                   const RunRecord& record, std::vector<RunNote>& notes) {
    if (!result.passLimitReached || result.stopped) {
        return;
    }
    std::string last;
    if (!record.largestErrors().empty()) {
        last = " (the largest in the last pass: " + number(record.largestErrors().back()) + ")";
    }
    notes.push_back({NoteKind::PassLimit,
                     "The run ended at its pass limit of " + count(kBsbPassLimit) +
                         " passes with errors still above the error threshold " +
                         number(parameters.ErrorThreshold) + last +
                         ". Raise the error threshold, lower Alpha (now " +
                         number(parameters.Alpha) +
                         "), or train fewer vectors: these may not fit the box together."});
}

// --- Discrete autocorrelator ---------------------------------------------------------

void noteTooManyPatterns(int inputSize, const TrainingSet& data, std::vector<RunNote>& notes) {
    const double reliable = kAutocorrelatorCapacity * inputSize;
    if (rows(data) <= reliable) {
        return;
    }
    notes.push_back({NoteKind::TooManyPatterns,
                     count(static_cast<std::size_t>(rows(data))) + " patterns are stored in " +
                         count(static_cast<std::size_t>(inputSize)) +
                         " units, more than the about 0.14 per unit (" + number(reliable) +
                         " here) that an autocorrelator recalls reliably: recalled patterns "
                         "will mix. Store fewer patterns or use longer vectors."});
}

// A pattern is stable when one recall sweep gives it back unchanged.
bool stable(NetworkSettings& recall, std::span<const std::int16_t> pattern) {
    try {
        const std::vector<std::int16_t> recalled = recallDiscreteAutocorrelator(recall, pattern);
        return std::equal(recalled.begin(), recalled.end(), pattern.begin(), pattern.end());
    } catch (const UserError&) {
        return false;  // its recall leaves 16 bits
    }
}

void noteUnstablePatterns(const TrainingSet& data, const TrainingResult& result,
                          std::vector<RunNote>& notes) {
    const auto* network = std::get_if<DaNetwork>(&result.network);
    if (network == nullptr || result.stopped) {
        return;
    }
    NetworkSettings recall;
    recall.RecallInputSize = static_cast<std::int16_t>(network->inputSize());
    recall.RecallMatrix = network->CorrelationMatrix;
    std::vector<std::size_t> unstable;
    std::vector<std::int16_t> pattern(static_cast<std::size_t>(network->inputSize()));
    for (std::size_t p = 0; p < static_cast<std::size_t>(rows(data)); ++p) {
        const std::span<const double> row = data.inputs.row(p);
        std::transform(row.begin(), row.end(), pattern.begin(), toInt16RoundingHalfEven);
        if (!stable(recall, pattern)) {
            unstable.push_back(p);
        }
    }
    if (unstable.empty()) {
        return;
    }
    notes.push_back(
        {NoteKind::UnstablePatterns,
         count(unstable.size()) + " of the " + count(static_cast<std::size_t>(rows(data))) +
             " stored patterns are not stable: one recall sweep changes pattern" +
             (unstable.size() > 1 ? "s " : " ") + namedList(unstable) +
             " (counted from 1), so recall will not give " + (unstable.size() > 1 ? "them" : "it") +
             " back as stored. Store fewer or less alike patterns; +1 and -1 values work "
             "best."});
}

// --- Reading the files ---------------------------------------------------------------

std::optional<TrainingSet> readData(const TrainingRequest& request) {
    try {
        if (const auto* bpn = std::get_if<BpnParameters>(&request.parameters)) {
            return readTrainingData(request.inputDataPath, request.outputDataPath, bpn->inputSize,
                                    bpn->outputSize);
        }
        if (const auto* cpn = std::get_if<CpnParameters>(&request.parameters)) {
            return readTrainingData(request.inputDataPath, request.outputDataPath, cpn->inputSize,
                                    cpn->outputSize);
        }
        if (const auto* bsb = std::get_if<BsbParameters>(&request.parameters)) {
            return readTrainingData(request.inputDataPath, std::nullopt, bsb->inputSize, 0);
        }
        if (const auto* da = std::get_if<int>(&request.parameters)) {
            return readTrainingData(request.inputDataPath, std::nullopt, *da, 0);
        }
    } catch (const UserError&) {
    }
    return std::nullopt;
}

// The notes judge the data only when they match the sizes the run trains.
bool fits(const TrainingSet& data, std::size_t inputs, std::size_t outputs, bool withOutputs) {
    const auto P = static_cast<std::size_t>(rows(data));
    if (P == 0) {
        return true;
    }
    return data.inputs.rows() >= P && data.inputs.cols() == inputs &&
           (!withOutputs || (data.outputs.rows() >= P && data.outputs.cols() == outputs));
}

}  // namespace

std::vector<RunNote> notesBeforeRun(const TrainingRequest& request, const TrainingSet& data) {
    std::vector<RunNote> notes;
    if (const auto* bpn = std::get_if<BpnParameters>(&request.parameters)) {
        if (fits(data, std::size_t(bpn->inputSize), std::size_t(bpn->outputSize), true) &&
            bpn->InputScale != 0.0 && bpn->OutputScale != 0.0) {
            noteUnreachableTargets(*bpn, data, notes);
            noteSaturatedInputs(*bpn, data, notes);
        }
        noteRecallFunction(*bpn, notes);
    } else if (const auto* cpn = std::get_if<CpnParameters>(&request.parameters)) {
        noteKohonenRate(*cpn, notes);
    } else if (const auto* bsb = std::get_if<BsbParameters>(&request.parameters)) {
        if (fits(data, std::size_t(bsb->inputSize), 0, false)) {
            noteVectorsTooLong(*bsb, data, notes);
        }
    } else if (const auto* da = std::get_if<int>(&request.parameters)) {
        noteTooManyPatterns(*da, data, notes);
    }
    return notes;
}

std::vector<RunNote> notesAfterRun(const TrainingRequest& request, const TrainingSet& data,
                                   const TrainingResult& result, const RunRecord& record) {
    std::vector<RunNote> notes;
    if (!result.error.empty() || std::holds_alternative<std::monostate>(result.network)) {
        return notes;
    }
    noteNonFinite(request, data, result, record, notes);
    if (const auto* bpn = std::get_if<BpnParameters>(&request.parameters)) {
        if (fits(data, std::size_t(bpn->inputSize), std::size_t(bpn->outputSize), true)) {
            bpnNotesAfter(*bpn, data, result, record, notes);
        }
    } else if (const auto* cpn = std::get_if<CpnParameters>(&request.parameters)) {
        noteUnitsNeverWon(*cpn, data, result, notes);
    } else if (const auto* bsb = std::get_if<BsbParameters>(&request.parameters)) {
        notePassLimit(*bsb, result, record, notes);
    } else if (const auto* da = std::get_if<int>(&request.parameters)) {
        if (fits(data, std::size_t(*da), 0, false)) {
            noteUnstablePatterns(data, result, notes);
        }
    }
    return notes;
}

std::vector<RunNote> notesBeforeRun(const TrainingRequest& request) {
    const std::optional<TrainingSet> data = readData(request);
    return data ? notesBeforeRun(request, *data) : std::vector<RunNote>{};
}

std::vector<RunNote> notesAfterRun(const TrainingRequest& request, const TrainingResult& result,
                                   const RunRecord& record) {
    if (!result.error.empty()) {
        return {};
    }
    const std::optional<TrainingSet> data = readData(request);
    return data ? notesAfterRun(request, *data, result, record) : std::vector<RunNote>{};
}

}  // namespace vornetica
