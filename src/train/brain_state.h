#pragma once

#include "base/random_source.h"
#include "data/training_data.h"
#include "train/networks.h"
#include "train/progress.h"

namespace vornetica {

// A run ends after at most this many passes.
constexpr int kBsbPassLimit = 32767;

struct BsbParameters {
    int inputSize = 4;
    double Alpha = 0.5;
    double ErrorThreshold = 0.01;
};

struct BsbRun {
    BsbNetwork network;
    int passes = 0;
    bool passLimitReached = false;  // ended at the limit with errors still above the threshold
    bool stopped = false;
};

BsbRun trainBrainStateInABox(const BsbParameters& parameters, const TrainingSet& data,
                             RandomSource& random, ProgressSink& progress);

}  // namespace vornetica
