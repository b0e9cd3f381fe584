#pragma once

#include <string>

#include "base/user_error.h"
#include "data/file_calls.h"
#include "settings/network_settings.h"
#include "train/networks.h"

namespace vornetica {

// Why a load left no network. The recall window picks its box by this, never by
// the message, whose words may change.
enum class LoadRefusal {
    None,          // the network was loaded
    WrongKind,     // the file's tag names another kind than the one chosen
    Unreadable,    // the file cannot be opened or read
    Malformed,     // the record ends early, or holds an item the network cannot take
    NoKindChosen,  // no kind is chosen for recall
    NoMemory,      // the network does not fit in memory
};

// A refusal of a network file, with its reason beside the message it shows.
class NetworkFileError : public UserError {
  public:
    NetworkFileError(LoadRefusal reason, const std::string& message)
        : UserError(message), reason_(reason) {}
    LoadRefusal reason() const { return reason_; }

  private:
    LoadRefusal reason_;
};

// Writes the network's record (tag, sizes, for BPN the scales, then the weights;
// one item a line, CR LF) to a temporary file in the same folder and renames it
// over `path` only when every line is on the disk, so a failure leaves an existing
// file whole. Throws UserError("Error writing to vrn file!") on any failure.
void writeNetworkFile(const std::string& path, const TrainedNetwork& network,
                      FileCalls& calls = systemFileCalls());

// Reads a network file expecting `kind`. Throws NetworkFileError: "Not correct
// network type!" (WrongKind) for another tag; a message naming the file, line and
// text (Malformed) for a file that ends early, holds a non-numeric item, a size
// outside 1..32767, or (BPN) a zero input scale; Unreadable for a file that cannot
// be opened or read; NoMemory for weights that do not fit in memory. The result
// holds a network of the expected kind.
TrainedNetwork readNetworkFile(const std::string& path, NetworkKind kind);

// The kind a network file's tag names, found by the loader's own reader, so that
// a file the loader takes for a kind is taken for that kind here (blank space and
// double quotes around the tag ignored, any line end, a byte order mark). Reads no
// further than the tag, and at most a few kilobytes of it. Throws NetworkFileError
// naming the file, the line and the text (Malformed), or the file that cannot be
// opened or read (Unreadable).
NetworkKind networkKindOfFile(const std::string& path);

// What the save action reports.
struct SaveOutcome {
    bool saved = false;
    std::string message;  // "Finished Saving Network" or the reason nothing was saved
};

// Save Network: `answer` is the name the user gave (empty when the box was
// cancelled). Stores it in NetworkFilePath, writes the record of the kind whose
// encode flag is set (tested BPN, BSB, CPN, DA) from the storage, and clears that
// flag on success. With no encode flag set nothing is touched.
SaveOutcome saveNetwork(NetworkSettings& settings, const TrainedNetwork& storage,
                        const std::string& answer);

// What the recall window's opening reports.
struct LoadOutcome {
    bool loaded = false;
    LoadRefusal refusal = LoadRefusal::None;  // None exactly when loaded
    std::string message;                      // empty on success
};

// Loads NetworkFilePath for the kind whose recall flag is set into the recall
// fields and allocates that kind's work vectors. The fields are changed only when
// the whole record was read.
LoadOutcome loadNetwork(NetworkSettings& settings);

}  // namespace vornetica
