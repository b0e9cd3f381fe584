#pragma once

#include <string>
#include <vector>

#include "data/training_data.h"
#include "train/run_record.h"
#include "train/training_run.h"

namespace vornetica {

// Why a run may fail or has failed, each a plain-words reason and what to change.
enum class NoteKind {
    UnreachableTargets,     // backpropagation targets outside the output function's range
    SaturatedInputs,        // scaled inputs large enough to saturate the first layer
    RecallFunctionDiffers,  // trained with another function than recall's logistic
    NonFiniteValues,        // values overflowed to Inf or NaN
    Plateau,                // iteration limit reached, the largest error no longer falling
    LimitWhileFalling,      // iteration limit reached, the largest error still falling
    Overshoot,              // stopped by the threshold with outputs above their targets
    NegativeKohonenRate,    // counterpropagation time steps beyond 10,000
    UnitsNeverWon,          // counterpropagation hidden units that never won
    VectorsTooLong,         // brain-state-in-a-box vectors too long for Alpha
    PassLimit,              // brain-state-in-a-box run ended at its pass limit
    TooManyPatterns,        // autocorrelator beyond about 0.14 patterns per unit
    UnstablePatterns,       // autocorrelator patterns one recall sweep changes
};

struct RunNote {
    NoteKind kind;
    std::string text;
};

// Largest |input / InputScale| at which the first layer still learns: beyond
// ln(1e6) a single weight near 1 puts a logistic node within 1e-6 of 0 or 1.
constexpr double kSaturatingScaledInput = 13.8;
// The Kohonen rate 0.2 * (1 - t / 10000) is negative from this time step on.
constexpr int kLastPositiveKohonenStep = 10000;
// The patterns per unit an autocorrelator recalls reliably.
constexpr double kAutocorrelatorCapacity = 0.14;
// Plateau: over the last tenth of the epochs (at least two) the largest error
// signal fell by less than this fraction of its size.
constexpr double kPlateauFall = 0.01;

// What can be known before a run from its parameters and training set.
std::vector<RunNote> notesBeforeRun(const TrainingRequest& request, const TrainingSet& data);
// What the finished run shows: its network, what the trainer counted and the
// record of its reports. A run that failed before training gets none.
std::vector<RunNote> notesAfterRun(const TrainingRequest& request, const TrainingSet& data,
                                   const TrainingResult& result, const RunRecord& record);

// The same, reading the training files the request names. None when the files
// cannot be read: the run itself says why.
std::vector<RunNote> notesBeforeRun(const TrainingRequest& request);
std::vector<RunNote> notesAfterRun(const TrainingRequest& request, const TrainingResult& result,
                                   const RunRecord& record);

}  // namespace vornetica
