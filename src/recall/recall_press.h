#pragma once

#include <optional>
#include <string>
#include <vector>

#include "netfile/network_file.h"
#include "settings/network_settings.h"

namespace vornetica {

// One press of the recall window's Enter Vector (Start in file mode), without widgets.
struct RecallPressRequest {
    std::vector<std::string> cellTexts;  // manual mode: the input grid's cells, in order
    bool record = false;                 // "Record data to files" ticked
    std::string inputRecordPath;         // the InputFile box
    std::string outputRecordPath;        // the OutputFile box
};

struct RecallPressResult {
    // The output grid's new cell texts (number text, whole); empty when nothing
    // was computed, and the grid then keeps what it showed.
    std::vector<std::string> outputTexts;
    // The input grid's cell texts for the vector recalled: in file mode the grid
    // shows what was read, not what was typed.
    std::vector<std::string> inputTexts;
    std::vector<double> inputValues;   // the vector recalled (for views)
    std::vector<double> outputValues;  // the vector computed
    std::optional<bool> settled;       // brain-state-in-a-box: whether the state settled
    bool showDone = false;             // file mode ends every press with "Done!"
    std::string error;                 // non-empty: reported, and nothing changed
};

// Takes one input vector (from the cells in manual mode, from the first vector of
// InputDataPath in file mode), recalls it with the loaded network, and writes the
// record files when asked. A press with no network loaded, a cell that is not a
// number or a file that cannot be opened returns an error and changes nothing;
// record files are written whole or not at all.
RecallPressResult recallPress(NetworkSettings& settings, const RecallPressRequest& request);

// What a press reports when no network is loaded.
inline constexpr const char* kNoNetworkLoaded =
    "No network is loaded. Choose a network file on the previous screen.";

// What the recall window shows when it opens.
struct RecallOpening {
    std::string refusal;                     // why no network is loaded; empty when one was
    LoadRefusal reason = LoadRefusal::None;  // the kind of that refusal
    std::string networkLine;                 // which network the window holds, as loadedNetworkLine
};

// Loads NetworkFilePath for the recall window. A refused load (another kind's
// tag, a missing or malformed file) leaves no network in use, so that no press
// recalls with the network loaded at an earlier opening.
RecallOpening openRecallNetwork(NetworkSettings& settings);

// The file name, an em dash, the kind in words and its sizes as the kind has them:
// "network.vrn — backpropagation 1-10-1", "letters.vrn — discrete
// autocorrelator 16 units"; "No network loaded" when none is.
std::string loadedNetworkLine(const NetworkSettings& settings);

}  // namespace vornetica
