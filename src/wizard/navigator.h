#pragma once

#include <optional>

#include "settings/network_settings.h"

namespace vornetica {

// Every screen of the wizard.
enum class Screen {
    StartForm,
    ChooseNetwork,
    EncodeBPN,
    EncodeCPN,
    EncodeBSB,
    EncodeDA,
    ChooseThreshold,
    EncodeDataEntry,
    EncodeDataEntry2,
    TrainingFiles,
    EncodeWindow,
    RecallBPN,
    RecallCPN,
    RecallBSB,
    RecallDA,
    RecallDataEntry,
};

enum class Operation { Encode, Recall };

// What the chooser's three frames hold; nullopt is a frame with nothing selected.
// BoltzmannOrFam stands for the two kinds that have no engine.
enum class ChosenType { BPN, CPN, DA, BSB, FAM, BM };
struct ChooserSelection {
    std::optional<Operation> operation;
    std::optional<ChosenType> type;
    std::optional<std::int16_t> dataEntryMode;  // Manual or FromFiles
};

// The outcome of the chooser's Next.
struct ChooserOutcome {
    enum class Kind { Show, NotInThisVersion, MissingOperation, MissingType } kind;
    Screen next = Screen::ChooseNetwork;
};

// The navigation rules of the wizard, over the settings record alone, so that every
// row of the table can be tested without a widget.
namespace navigation {

// Chooser Next: sets the chosen kind's flag and DataEntryMode, names the next screen.
// Without an operation or a kind it changes nothing and names no screen.
ChooserOutcome chooserNext(NetworkSettings& settings, const ChooserSelection& selection);

// The encode parameter screen of the kind whose encode flag is set (BPN, else BSB,
// else CPN, otherwise DA).
Screen encodeParameterScreen(const NetworkSettings& settings);
// The loading screen of the kind whose recall flag is set.
Screen recallLoadingScreen(const NetworkSettings& settings);

// A parameter screen's Next (after its fields are stored and, for BPN, the neuron
// screen was closed): the training window when ReturnToTraining is -1, else the
// kind's grid screen in manual mode, else the training files screen.
Screen afterParameterNext(const NetworkSettings& settings);
// A parameter screen's Back: clears the four encode flags.
Screen parameterBack(NetworkSettings& settings);
// A loading screen's Next: the recall window in manual mode, else the training files screen.
Screen afterLoadingNext(const NetworkSettings& settings);
// A loading screen's Back: clears the four recall flags.
Screen loadingBack(NetworkSettings& settings);
// The grid screen of the chosen encode kind (EncodeDataEntry for BPN and CPN).
Screen gridScreen(const NetworkSettings& settings);
// Training files screen: Next and Back, by the road (a recall flag set means recall).
bool trainingFilesServesRecall(const NetworkSettings& settings);
Screen trainingFilesNext(const NetworkSettings& settings);
Screen trainingFilesBack(const NetworkSettings& settings);
// Training window.
Screen changeParameters(NetworkSettings& settings);  // sets ReturnToTraining = -1
Screen changeData(const NetworkSettings& settings);
Screen encodeStartOver(NetworkSettings& settings);  // clears the encode flags
// Recall window.
Screen recallBack(const NetworkSettings& settings);
Screen recallStartOver(NetworkSettings& settings);  // clears the recall flags

}  // namespace navigation
}  // namespace vornetica
