#pragma once

#include <optional>
#include <string>
#include <vector>

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

}  // namespace vornetica
