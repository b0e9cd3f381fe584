#include "netfile/network_file.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <optional>
#include <span>
#include <type_traits>
#include <variant>

#include "base/memory_limit.h"
#include "base/number_text.h"
#include "base/user_error.h"
#include "data/item_reader.h"
#include "data/replacing_file.h"

namespace vornetica {

namespace {

constexpr char kWriteError[] = "Error writing to vrn file!";
constexpr char kWrongType[] = "Not correct network type!";
constexpr char kSaved[] = "Finished Saving Network";
constexpr char kEmptyName[] = "Please enter a valid string for the network name!";
constexpr char kNothingToSave[] = "There is no trained network to save.";
constexpr char kNoRecallKind[] = "No network kind is chosen for recall.";

// ---- Writing -------------------------------------------------------------

bool isFileSize(std::size_t size) {
    return size >= 1 && size <= 32767;
}

void writeSize(ReplacingFile& file, std::size_t size) {
    file.writeLine(fileIntegerText(static_cast<std::int64_t>(size)));
}

void writeReals(ReplacingFile& file, std::span<const double> values) {
    for (const double value : values) {
        file.writeLine(fileNumberText(value));
    }
}

// A network whose matrices disagree with each other would give a file that no
// reader could take back, so it is not written at all.
bool isWritable(const BpnNetwork& n) {
    const Matrix<double>& w = n.HiddenWeights;
    const Matrix<double>& v = n.OutputWeights;
    return isFileSize(w.rows()) && isFileSize(w.cols()) && isFileSize(v.cols()) &&
           v.rows() == w.cols() && n.HiddenThresholds.size() == w.cols() &&
           n.OutputThresholds.size() == v.cols();
}

bool isWritable(const CpnNetwork& n) {
    const Matrix<double>& u = n.HiddenWeights;
    const Matrix<double>& v = n.OutputWeights;
    return isFileSize(u.rows()) && isFileSize(u.cols()) && isFileSize(v.cols()) &&
           v.rows() == u.cols();
}

template <typename T>
bool isWritableSquare(const Matrix<T>& m) {
    return isFileSize(m.rows()) && m.cols() == m.rows();
}

void writeRecord(ReplacingFile& file, const BpnNetwork& n) {
    file.writeLine("BPN");
    writeSize(file, n.HiddenWeights.rows());
    writeSize(file, n.HiddenWeights.cols());
    writeSize(file, n.OutputWeights.cols());
    file.writeLine(fileNumberText(n.InputScale));
    file.writeLine(fileNumberText(n.OutputScale));
    writeReals(file, n.HiddenWeights.values());
    writeReals(file, n.OutputWeights.values());
    writeReals(file, n.HiddenThresholds);
    writeReals(file, n.OutputThresholds);
}

void writeRecord(ReplacingFile& file, const CpnNetwork& n) {
    file.writeLine("CPN");
    writeSize(file, n.HiddenWeights.rows());
    writeSize(file, n.HiddenWeights.cols());
    writeSize(file, n.OutputWeights.cols());
    writeReals(file, n.HiddenWeights.values());
    writeReals(file, n.OutputWeights.values());
}

void writeRecord(ReplacingFile& file, const BsbNetwork& n) {
    file.writeLine("BSB");
    writeSize(file, n.Weights.rows());
    writeReals(file, n.Weights.values());
}

void writeRecord(ReplacingFile& file, const DaNetwork& n) {
    file.writeLine("DA");
    writeSize(file, n.CorrelationMatrix.rows());
    for (const std::int16_t weight : n.CorrelationMatrix.values()) {
        file.writeLine(fileIntegerText(weight));
    }
}

std::optional<NetworkKind> storedKind(const TrainedNetwork& network) {
    if (std::holds_alternative<BpnNetwork>(network)) {
        return NetworkKind::BPN;
    }
    if (std::holds_alternative<CpnNetwork>(network)) {
        return NetworkKind::CPN;
    }
    if (std::holds_alternative<BsbNetwork>(network)) {
        return NetworkKind::BSB;
    }
    if (std::holds_alternative<DaNetwork>(network)) {
        return NetworkKind::DA;
    }
    return std::nullopt;
}

// ---- Reading -------------------------------------------------------------

// Reads one network file's items in order and turns them into values, with a
// message naming the file, the line and the text for anything it cannot use.
// Every refusal leaves here as a NetworkFileError carrying its reason.
class NetworkFileItems {
  public:
    explicit NetworkFileItems(const std::string& path) try
        : path_(path), reader_(path, ItemSeparators::LinesAndCommas, "network file") {
    } catch (const UserError& error) {
        throw NetworkFileError(LoadRefusal::Unreadable, error.what());
    }

    // The first item, blanks and surrounding double quotes removed; empty when
    // the file holds nothing.
    std::string tag() {
        std::string_view item;
        if (!nextItem(item)) {
            return {};
        }
        if (item.size() >= 2 && item.front() == '"' && item.back() == '"') {
            item = item.substr(1, item.size() - 2);
        }
        return std::string(item);
    }

    double real() {
        next();
        double value = 0.0;
        if (reader_.itemTooLong()) {
            refuse(quotedExcerpt(item_) + " is too long to be a number.");
        }
        if (!parseFileNumber(item_, value)) {
            refuse(badNumberText(item_) + ".");
        }
        return value;
    }

    std::int16_t size() {
        return wholeNumber(1, 32767, "is not a size (a whole number from 1 to 32767).");
    }

    std::int16_t weight() {
        return wholeNumber(-32768, 32767, "is not a weight (a whole number from -32768 to 32767).");
    }

    [[noreturn]] void refuse(const std::string& what) const {
        throw NetworkFileError(LoadRefusal::Malformed,
                               path_ + ", line " + std::to_string(reader_.line()) + ": " + what);
    }

    // Refuses sizes whose weights could not possibly be in this file (each takes
    // at least a character and a line end), or could not be held in memory, before
    // any memory is set aside.
    void checkRoomFor(std::uint64_t values, std::uint64_t valueBytes,
                      const std::string& sizes) const {
        if (reader_.fileSize() >= 0 &&
            values > static_cast<std::uint64_t>(reader_.fileSize()) / 2 + 1) {
            throw NetworkFileError(LoadRefusal::Malformed,
                                   path_ + ": a network of sizes " + sizes + " needs " +
                                       std::to_string(values) +
                                       " weights, more than this file holds.");
        }
        if (!fitsInMemory(matrixBytes(values, 1, valueBytes))) {
            refuseMemory(sizes);
        }
    }

    [[noreturn]] void refuseMemory(const std::string& sizes) const {
        throw NetworkFileError(LoadRefusal::NoMemory, path_ + ": a network of sizes " + sizes +
                                                          " does not fit in memory.");
    }

    Matrix<double> realMatrix(std::size_t rows, std::size_t cols, const std::string& sizes) {
        return readMatrix<double>(rows, cols, sizes, [this] { return real(); });
    }

    Matrix<std::int16_t> weightMatrix(std::size_t rows, std::size_t cols,
                                      const std::string& sizes) {
        return readMatrix<std::int16_t>(rows, cols, sizes, [this] { return weight(); });
    }

  private:
    // Reads rows x cols values in file order, setting them aside a block at a time
    // as they are read, so a file that ends early costs only what it holds.
    template <typename T, typename ReadOne>
    Matrix<T> readMatrix(std::size_t rows, std::size_t cols, const std::string& sizes,
                         ReadOne readOne) {
        constexpr std::size_t kSetAsideAtOnce = std::size_t{1} << 16;
        const std::size_t count = rows * cols;
        MatrixValues<T> values;
        try {
            values.reserve(std::min(count, kSetAsideAtOnce));
            for (std::size_t i = 0; i < count; ++i) {
                values.push_back(readOne());
            }
        } catch (const std::bad_alloc&) {
            refuseMemory(sizes);
        }
        return Matrix<T>(rows, cols, std::move(values));
    }

    // The reader refuses only a file it cannot read on.
    bool nextItem(std::string_view& item) {
        try {
            return reader_.next(item);
        } catch (const UserError& error) {
            throw NetworkFileError(LoadRefusal::Unreadable, error.what());
        }
    }

    void next() {
        std::string_view item;
        if (!nextItem(item)) {
            throw NetworkFileError(LoadRefusal::Malformed, path_ + ": the file ends after line " +
                                                               std::to_string(reader_.line()) +
                                                               ", before the network is complete.");
        }
        item_ = item;
    }

    std::int16_t wholeNumber(double lowest, double highest, const char* refusal) {
        const double value = real();
        if (value != std::floor(value) || value < lowest || value > highest) {
            refuse(quotedExcerpt(item_) + " " + refusal);
        }
        return static_cast<std::int16_t>(value);
    }

    std::string path_;
    ItemReader reader_;
    std::string_view item_;
};

std::string sizesText(std::initializer_list<int> sizes) {
    std::string text;
    for (const int size : sizes) {
        text += (text.empty() ? "" : ", ") + std::to_string(size);
    }
    return text;
}

std::uint64_t product(int a, int b) {
    return static_cast<std::uint64_t>(a) * static_cast<std::uint64_t>(b);
}

void readReals(NetworkFileItems& items, std::vector<double>& values) {
    for (double& value : values) {
        value = items.real();
    }
}

BpnNetwork readBpn(NetworkFileItems& items) {
    const int in = items.size();
    const int hid = items.size();
    const int out = items.size();
    const std::string sizes = sizesText({in, hid, out});
    BpnNetwork n;
    n.InputScale = items.real();
    if (n.InputScale == 0.0) {
        items.refuse("the input scale is 0, so the network cannot be used.");
    }
    n.OutputScale = items.real();
    items.checkRoomFor(product(in, hid) + product(hid, out) + hid + out, sizeof(double), sizes);
    n.HiddenWeights = items.realMatrix(in, hid, sizes);
    n.OutputWeights = items.realMatrix(hid, out, sizes);
    n.HiddenThresholds.resize(hid);
    n.OutputThresholds.resize(out);
    readReals(items, n.HiddenThresholds);
    readReals(items, n.OutputThresholds);
    return n;
}

CpnNetwork readCpn(NetworkFileItems& items) {
    const int in = items.size();
    const int hid = items.size();
    const int out = items.size();
    const std::string sizes = sizesText({in, hid, out});
    items.checkRoomFor(product(in, hid) + product(hid, out), sizeof(double), sizes);
    CpnNetwork n;
    n.HiddenWeights = items.realMatrix(in, hid, sizes);
    n.OutputWeights = items.realMatrix(hid, out, sizes);
    return n;
}

BsbNetwork readBsb(NetworkFileItems& items) {
    const int in = items.size();
    const std::string sizes = sizesText({in});
    items.checkRoomFor(product(in, in), sizeof(double), sizes);
    BsbNetwork n;
    n.Weights = items.realMatrix(in, in, sizes);
    return n;
}

DaNetwork readDa(NetworkFileItems& items) {
    const int in = items.size();
    const std::string sizes = sizesText({in});
    items.checkRoomFor(product(in, in), sizeof(std::int16_t), sizes);
    DaNetwork n;
    n.CorrelationMatrix = items.weightMatrix(in, in, sizes);
    return n;
}

// ---- Loading into the recall fields ----------------------------------------

// The layered kinds (BPN, CPN) share sizes, the two weight matrices and the three
// work vectors. The work vectors are made first, so a failure changes no field.
void commitLayers(NetworkSettings& s, int in, int hid, int out, Matrix<double>& hiddenWeights,
                  Matrix<double>& outputWeights) {
    std::vector<double> state(in);
    std::vector<double> hidden(hid);
    std::vector<double> output(out);
    s.RecallInputSize = static_cast<std::int16_t>(in);
    s.RecallHiddenSize = static_cast<std::int16_t>(hid);
    s.RecallOutputSize = static_cast<std::int16_t>(out);
    s.RecallHiddenWeights = std::move(hiddenWeights);
    s.RecallOutputWeights = std::move(outputWeights);
    s.RecallStateVector = std::move(state);
    s.RecallHiddenVector = std::move(hidden);
    s.RecallOutputVector = std::move(output);
}

void commitBpn(NetworkSettings& s, BpnNetwork& n) {
    commitLayers(s, n.inputSize(), n.hiddenSize(), n.outputSize(), n.HiddenWeights,
                 n.OutputWeights);
    s.RecallInputScale = n.InputScale;
    s.RecallOutputScale = n.OutputScale;
    s.RecallHiddenThresholds = std::move(n.HiddenThresholds);
    s.RecallOutputThresholds = std::move(n.OutputThresholds);
}

void commitCpn(NetworkSettings& s, CpnNetwork& n) {
    commitLayers(s, n.inputSize(), n.hiddenSize(), n.outputSize(), n.HiddenWeights,
                 n.OutputWeights);
}

void commitBsb(NetworkSettings& s, BsbNetwork& n) {
    const int in = n.inputSize();
    std::vector<double> state(in);
    std::vector<double> start(in);
    s.RecallInputSize = static_cast<std::int16_t>(in);
    s.RecallOutputWeights = std::move(n.Weights);
    s.RecallStateVector = std::move(state);
    s.RecallStartVector = std::move(start);
}

void commitDa(NetworkSettings& s, DaNetwork& n) {
    const int in = n.inputSize();
    std::vector<std::int16_t> inputCopy(in);
    std::vector<std::int16_t> stateBits(in);
    s.RecallInputSize = static_cast<std::int16_t>(in);
    s.RecallMatrix = std::move(n.CorrelationMatrix);
    s.RecallInputCopy = std::move(inputCopy);
    s.RecallStateBits = std::move(stateBits);
}

// Every allocation happens before the first field is assigned, and the
// assignments that follow are moves, so the fields change all together or not.
void commitToRecallFields(NetworkSettings& settings, TrainedNetwork& network) {
    if (auto* bpn = std::get_if<BpnNetwork>(&network)) {
        commitBpn(settings, *bpn);
    } else if (auto* cpn = std::get_if<CpnNetwork>(&network)) {
        commitCpn(settings, *cpn);
    } else if (auto* bsb = std::get_if<BsbNetwork>(&network)) {
        commitBsb(settings, *bsb);
    } else if (auto* da = std::get_if<DaNetwork>(&network)) {
        commitDa(settings, *da);
    }
    settings.RecallLoadedKind = storedKind(network);
}

}  // namespace

void writeNetworkFile(const std::string& path, const TrainedNetwork& network, FileCalls& calls) {
    const bool writable = std::visit(
        [](const auto& n) {
            using T = std::decay_t<decltype(n)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return false;
            } else if constexpr (std::is_same_v<T, BsbNetwork>) {
                return isWritableSquare(n.Weights);
            } else if constexpr (std::is_same_v<T, DaNetwork>) {
                return isWritableSquare(n.CorrelationMatrix);
            } else {
                return isWritable(n);
            }
        },
        network);
    if (!writable) {
        throw UserError(kWriteError);
    }
    ReplacingFile file(path, calls);
    std::visit(
        [&file](const auto& n) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(n)>, std::monostate>) {
                writeRecord(file, n);
            }
        },
        network);
    if (!file.commit()) {
        throw UserError(kWriteError);
    }
}

NetworkKind networkKindOfFile(const std::string& path) {
    NetworkFileItems items(path);
    const std::string tag = items.tag();
    for (const NetworkKind kind :
         {NetworkKind::BPN, NetworkKind::CPN, NetworkKind::BSB, NetworkKind::DA}) {
        if (tag == kindTag(kind)) {
            return kind;
        }
    }
    items.refuse(quotedExcerpt(tag) + " is not a network kind tag (BPN, CPN, BSB or DA).");
}

TrainedNetwork readNetworkFile(const std::string& path, NetworkKind kind) {
    NetworkFileItems items(path);
    if (items.tag() != kindTag(kind)) {
        throw NetworkFileError(LoadRefusal::WrongKind, kWrongType);
    }
    switch (kind) {
        case NetworkKind::BPN:
            return readBpn(items);
        case NetworkKind::CPN:
            return readCpn(items);
        case NetworkKind::BSB:
            return readBsb(items);
        case NetworkKind::DA:
            break;
    }
    return readDa(items);
}

SaveOutcome saveNetwork(NetworkSettings& settings, const TrainedNetwork& storage,
                        const std::string& answer) {
    settings.NetworkFilePath = answer;
    if (answer.empty()) {
        return {false, kEmptyName};
    }
    const std::optional<NetworkKind> kind = encodeKind(settings);
    if (!kind) {
        return {false, kNothingToSave};
    }
    if (storedKind(storage) != kind) {
        return {false, kWriteError};
    }
    try {
        writeNetworkFile(answer, storage);
    } catch (const UserError& error) {
        return {false, error.what()};
    }
    encodeFlag(settings, *kind) = 0;
    return {true, kSaved};
}

LoadOutcome loadNetwork(NetworkSettings& settings) {
    const std::optional<NetworkKind> kind = recallKind(settings);
    if (!kind) {
        return {false, LoadRefusal::NoKindChosen, kNoRecallKind};
    }
    try {
        TrainedNetwork network = readNetworkFile(settings.NetworkFilePath, *kind);
        commitToRecallFields(settings, network);
    } catch (const NetworkFileError& error) {
        return {false, error.reason(), error.what()};
    } catch (const std::bad_alloc&) {
        return {false, LoadRefusal::NoMemory,
                settings.NetworkFilePath + ": the network does not fit in memory."};
    }
    return {true, LoadRefusal::None, {}};
}

}  // namespace vornetica
