#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/random_source.h"
#include "settings/network_settings.h"
#include "train/autocorrelator.h"
#include "train/backpropagation.h"
#include "train/brain_state.h"
#include "train/counterpropagation.h"
#include "train/networks.h"
#include "train/progress.h"

namespace vornetica {

// Everything a training run needs, captured from the settings on the screens'
// thread when Start is pressed, so the run itself never touches the settings.
struct TrainingRequest {
    std::optional<NetworkKind> kind;  // none when no encode flag is set: nothing runs
    std::variant<std::monostate, BpnParameters, CpnParameters, BsbParameters, int> parameters;
    std::string inputDataPath;
    std::string outputDataPath;
};

TrainingRequest captureTrainingRequest(const NetworkSettings& settings);

struct TrainingResult {
    std::optional<NetworkKind> kind;
    TrainedNetwork network;         // monostate when nothing was trained
    std::int16_t vectorCount = 0;   // the count read from the input data file
    std::string error;              // non-empty: the run did not complete; nothing changes
    bool stopped = false;           // ended by the caller's stop request
    bool passLimitReached = false;  // brain-state-in-a-box ended at its pass limit
    int epochs = 0;
    std::vector<int> hiddenUnitWins;  // counterpropagation: the time steps each unit won
};

// Reads the training data files, checks the sizes and parameters and runs the
// kind's algorithm. Never throws for a bad file or value: it returns the message.
TrainingResult runTraining(const TrainingRequest& request, RandomSource& random,
                           ProgressSink& progress);

// Applies a finished run on the screens' thread: TrainingVectorCount and the trained
// sizes go into the settings and the network replaces the storage. A run that
// failed before training changes nothing.
void commitTrainingResult(NetworkSettings& settings, TrainedNetwork& storage,
                          TrainingResult&& result);

}  // namespace vornetica
