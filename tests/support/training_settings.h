#pragma once

#include "settings/network_settings.h"
#include "support/temp_dir.h"

namespace vornetica::testing {

// Defaults, plus modest rates and limits for every kind, reading input.dat and
// output.dat from `folder`: a run that starts quickly whatever kind is chosen.
inline void useModestTrainingSettings(NetworkSettings& settings, const TempDir& folder) {
    setDefaultSettings(settings);
    settings.InputScale = settings.OutputScale = 10.0;
    settings.Alpha = 0.5;
    settings.Beta = 0.25;
    settings.Gamma = 0.5;
    settings.ErrorThreshold = 0.0001;
    settings.MaxIterations = 20;
    settings.NumberTimeSteps = 5;
    settings.InputDataPath = folder.file("input.dat");
    settings.OutputDataPath = folder.file("output.dat");
}

}  // namespace vornetica::testing
