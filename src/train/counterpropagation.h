#pragma once

#include <vector>

#include "base/random_source.h"
#include "data/training_data.h"
#include "train/networks.h"
#include "train/progress.h"

namespace vornetica {

struct CpnParameters {
    int inputSize = 4;
    int hiddenSize = 50;
    int outputSize = 4;
    double Beta = 0.5;
    double Gamma = 0.5;
    int NumberTimeSteps = 100;
};

struct CpnRun {
    CpnNetwork network;
    bool stopped = false;
    std::vector<int> wins;  // the time steps each hidden unit won
};

// 0.2 * (1 - v / 10000): the Kohonen learning rate at time step v.
double kohonenRate(double v);

CpnRun trainCounterpropagation(const CpnParameters& parameters, const TrainingSet& data,
                               RandomSource& random, ProgressSink& progress);

}  // namespace vornetica
