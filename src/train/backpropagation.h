#pragma once

#include <cstdint>

#include "base/random_source.h"
#include "data/training_data.h"
#include "neuron/threshold.h"
#include "train/networks.h"
#include "train/progress.h"

namespace vornetica {

struct BpnParameters {
    int inputSize = 1;
    int hiddenSize = 100;
    int outputSize = 1;
    double InputScale = 10.0;
    double OutputScale = 10.0;
    double Alpha = 0.75;
    double Beta = 0.25;
    double ErrorThreshold = 0.0001;
    int MaxIterations = 100;
    ThresholdChoice threshold;
};

struct BpnRun {
    BpnNetwork network;
    int epochs = 0;        // epochs run
    bool stopped = false;  // ended by the caller's stop request
};

// Online backpropagation over `data` (values as read; this divides them by the
// scales) until no output error signal exceeds ErrorThreshold or the iteration
// counter passes MaxIterations.
BpnRun trainBackpropagation(const BpnParameters& parameters, const TrainingSet& data,
                            RandomSource& random, ProgressSink& progress);

}  // namespace vornetica
