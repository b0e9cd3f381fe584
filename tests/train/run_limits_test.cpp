// The largest sizes the settings allow, 32767 for every size, are refused with a
// message when their matrices do not fit in memory, before anything is set aside,
// also under the address sanitizer, whose allocator ends the program rather than
// fail.

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "support/file_faults.h"
#include "support/temp_dir.h"
#include "support/training_settings.h"
#include "train/training_run.h"

namespace vornetica {
namespace {

using testing::TempDir;
using testing::useModestTrainingSettings;
using testing::writeText;

struct LargestRun {
    const char* shape;
    void (*choose)(NetworkSettings&);
};

TEST(RunLimits, TheLargestSizesAreRefusedWhenTheyDoNotFit) {
    const LargestRun runs[] = {
        {"32767-32767-32767", [](NetworkSettings& s) { s.EncodeBPNFlag = 1; }},
        {"32767-32767-32767", [](NetworkSettings& s) { s.EncodeCPNFlag = 1; }},
        {"32767 network", [](NetworkSettings& s) { s.EncodeBSBFlag = 1; }},
    };
    TempDir folder;
    writeText(folder.file("input.dat"), "0\r\n");
    writeText(folder.file("output.dat"), "");
    for (const LargestRun& largest : runs) {
        NetworkSettings settings;
        useModestTrainingSettings(settings, folder);
        settings.InputSize = settings.HiddenSize = settings.OutputSize = 32767;
        largest.choose(settings);
        RandomSource random;
        SilentProgress silent;
        TrainingResult result;
        {
            testing::AddressSpaceRoom room(std::uint64_t{2} << 30);
            result = runTraining(captureTrainingRequest(settings), random, silent);
        }
        EXPECT_EQ(result.error.rfind("Not enough memory to train a ", 0), 0u) << result.error;
        EXPECT_NE(result.error.find(largest.shape), std::string::npos) << result.error;
        EXPECT_TRUE(std::holds_alternative<std::monostate>(result.network));
    }
}

TEST(RunLimits, ACountOf32767WithTooFewNumbersIsRefusedBeforeTraining) {
    TempDir folder;
    NetworkSettings settings;
    setDefaultSettings(settings);
    settings.InputScale = settings.OutputScale = 10.0;
    settings.EncodeBPNFlag = 1;
    settings.InputSize = 2;
    settings.HiddenSize = 2;
    settings.OutputSize = 1;
    settings.InputDataPath = folder.file("input.dat");
    settings.OutputDataPath = folder.file("output.dat");
    // Room enough for 32767 vectors by the file's size, but only three numbers.
    writeText(settings.InputDataPath, "32767\r\n1\r\n2\r\n3" + std::string(200000, ' '));
    writeText(settings.OutputDataPath, "1\r\n");
    RandomSource random;
    SilentProgress silent;
    const TrainingResult result = runTraining(captureTrainingRequest(settings), random, silent);
    EXPECT_EQ(result.error, settings.InputDataPath +
                                ": the file ends after 3 of the 65534 values needed "
                                "(32767 vectors of 2).");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(result.network));
}

}  // namespace
}  // namespace vornetica
