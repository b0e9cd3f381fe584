// Every step of every kind of save made to fail in turn, as a full or failing disk
// would: the open, each write, the sync, the close and the rename of each file, and
// the open, sync and close of the folder. Each time the user must get the
// documented message, the files that were there must be byte for byte as before,
// and no temporary file may be left.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/user_error.h"
#include "data/replacing_file.h"
#include "data/training_data.h"
#include "netfile/network_file.h"
#include "recall/record_files.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace vornetica {
namespace {

using testing::FaultyFileCalls;
using testing::readText;
using testing::TempDir;
using testing::writeText;

// One kind of save: the files it writes (sorted), the save itself, and the
// messages it may give (one per file it can name).
struct SaveCase {
    std::string name;
    std::vector<std::string> files;
    std::function<void(const TempDir&, FileCalls&)> save;
    std::function<std::vector<std::string>(const TempDir&)> messages;
};

std::string oldContentOf(const std::string& file) {
    return "old " + file + "\r\n";
}

// Weights whose text takes all 15 digits, so that a large network's file is
// written in several pieces.
Matrix<double> thirds(std::size_t rows, std::size_t cols) {
    Matrix<double> m(rows, cols);
    for (std::size_t i = 0; i < rows; ++i) {
        for (std::size_t j = 0; j < cols; ++j) {
            m.at(i, j) = (static_cast<double>(i * cols + j) + 1.0) / 3.0;
        }
    }
    return m;
}

SaveCase networkCase(const std::string& name, TrainedNetwork network) {
    return {name,
            {"net.vrn"},
            [network](const TempDir& dir, FileCalls& calls) {
                writeNetworkFile(dir.file("net.vrn"), network, calls);
            },
            [](const TempDir&) { return std::vector<std::string>{"Error writing to vrn file!"}; }};
}

std::vector<std::string> dataFileMessages(const TempDir& dir) {
    return {"Cannot write the data file \"" + dir.file("in.dat") + "\".",
            "Cannot write the data file \"" + dir.file("out.dat") + "\"."};
}

std::vector<SaveCase> everyKindOfSave() {
    Matrix<std::int16_t> da(3, 3);
    da.at(0, 1) = -2;
    const BpnNetwork bpn{10, 1, thirds(2, 3), thirds(3, 1), {0.5, -0.5, 1}, {2}};
    return {
        networkCase("a 2 MB brain-state network", BsbNetwork{thirds(300, 300)}),
        networkCase("a backpropagation network", bpn),
        networkCase("a counterpropagation network", CpnNetwork{thirds(2, 2), thirds(2, 1)}),
        networkCase("an autocorrelator network", DaNetwork{da}),
        {"a data file pair",
         {"in.dat", "out.dat"},
         [](const TempDir& dir, FileCalls& calls) {
             const Matrix<double> outputs = thirds(3, 1);
             writeTrainingData(dir.file("in.dat"), thirds(3, 2), dir.file("out.dat"), &outputs,
                               calls);
         },
         dataFileMessages},
        {"an input data file alone",
         {"in.dat"},
         [](const TempDir& dir, FileCalls& calls) {
             writeTrainingData(dir.file("in.dat"), thirds(3, 2), dir.file("out.dat"), nullptr,
                               calls);
         },
         dataFileMessages},
        {"a record file pair",
         {"in.txt", "out.txt"},
         [](const TempDir& dir, FileCalls& calls) {
             writeRecordFiles(dir.file("in.txt"), std::vector<double>{0.5, -0.25},
                              dir.file("out.txt"), std::vector<double>{1e-5}, calls);
         },
         [](const TempDir& dir) {
             return std::vector<std::string>{
                 "Cannot write the record file " + dir.file("in.txt") + ".",
                 "Cannot write the record file " + dir.file("out.txt") + "."};
         }},
    };
}

// Where a save starts from: the user's earlier files or none, in a folder that
// takes new files or one that does not (where the files are written in place).
struct Start {
    bool earlierFiles;
    bool folderRefusesNewFiles;
};

void prepare(const TempDir& dir, const SaveCase& save, const Start& start) {
    if (start.earlierFiles) {
        for (const std::string& file : save.files) {
            writeText(dir.file(file), oldContentOf(file));
        }
    }
}

// The message of a refused save, or nothing when it saved.
std::string runSave(const SaveCase& save, const TempDir& dir, FileCalls& calls) {
    try {
        save.save(dir, calls);
    } catch (const UserError& error) {
        return error.what();
    }
    return {};
}

// How many calls the save makes when nothing fails; it must save.
int callsOfACleanSave(const SaveCase& save, const Start& start) {
    TempDir dir;
    prepare(dir, save, start);
    FaultyFileCalls calls(0, 0, start.folderRefusesNewFiles);
    EXPECT_EQ(runSave(save, dir, calls), "") << save.name;
    EXPECT_EQ(testing::entriesOf(dir.path()), save.files) << save.name;
    for (const std::string& file : save.files) {
        EXPECT_NE(readText(dir.file(file)), oldContentOf(file)) << save.name;
    }
    return calls.callsMade();
}

// Fails each call of the save in turn with `error`; returns the number of calls.
int failEachCallInTurn(const SaveCase& save, const Start& start, int error) {
    const int calls = callsOfACleanSave(save, start);
    for (int failAt = 1; failAt <= calls; ++failAt) {
        SCOPED_TRACE(save.name + ", call " + std::to_string(failAt) + " of " +
                     std::to_string(calls) + (error == EIO ? ", EIO" : ", ENOSPC") +
                     (start.earlierFiles ? ", over earlier files" : ", new files") +
                     (start.folderRefusesNewFiles ? ", written in place" : ""));
        TempDir dir;
        prepare(dir, save, start);
        FaultyFileCalls faulty(failAt, error, start.folderRefusesNewFiles);
        const std::string message = runSave(save, dir, faulty);
        const std::vector<std::string> documented = save.messages(dir);
        EXPECT_NE(std::find(documented.begin(), documented.end(), message), documented.end())
            << '"' << message << '"';
        const std::vector<std::string> before =
            start.earlierFiles ? save.files : std::vector<std::string>{};
        EXPECT_EQ(testing::entriesOf(dir.path()), before);
        for (const std::string& file : before) {
            EXPECT_EQ(readText(dir.file(file)), oldContentOf(file));
        }
    }
    return calls;
}

TEST(SaveFaultSweep, EachFileIsSyncedBeforeItsRenameAndItsFolderAfter) {
    // Each file is opened, written, synced and closed, then renamed; then the folder
    // they share is opened, synced and closed. A pair opens both files first.
    const std::vector<SaveCase> saves = everyKindOfSave();
    const std::string trails[] = {"owscrosc", "oowscwscrrosc"};
    for (const SaveCase& save : {saves[1], saves[4]}) {
        TempDir dir;
        FaultyFileCalls calls(0, 0);
        save.save(dir, calls);
        EXPECT_EQ(calls.trail(), trails[save.files.size() - 1]) << save.name;
    }
}

TEST(SaveFaultSweep, EveryStepOfEverySaveFailsLeavingTheEarlierFiles) {
    const Start starts[] = {{true, false}, {false, false}, {true, true}};
    int injectionPoints = 0;
    for (const SaveCase& save : everyKindOfSave()) {
        for (const Start& start : starts) {
            for (const int error : {ENOSPC, EIO}) {
                injectionPoints += failEachCallInTurn(save, start, error);
            }
        }
    }
    std::printf("[          ] %d injection points\n", injectionPoints);
    RecordProperty("injection_points", injectionPoints);
    EXPECT_GT(injectionPoints, 0);
}

}  // namespace
}  // namespace vornetica
