// Network files at the limits, and saves into places that cannot take them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/user_error.h"
#include "netfile/network_file.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace vornetica {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

constexpr std::uint64_t kTwoGigabytes = std::uint64_t{2} << 30;

std::string refusalOf(const std::string& path, NetworkKind kind) {
    try {
        readNetworkFile(path, kind);
    } catch (const UserError& error) {
        return error.what();
    }
    return "(loaded)";
}

// Sizes of 32767 whose weights the file's size could hold, followed by two
// gigabytes of NUL bytes: refused at the first weight, read no further. (A BSB of
// 32767 needs 8 GiB, which the test below refuses for memory.)
TEST(NetworkFileLimits, TheLargestSizesBeforeAHugeHoleAreRefusedAtTheFirstWeight) {
    TempDir dir;
    const std::string path = dir.file("huge.vrn");
    const std::string tooLong = "\"" + std::string(40, '?') + "...\" is too long to be a number.";
    testing::writeSparseFile(path, "BPN\r\n32767\r\n1\r\n32767\r\n1\r\n1\r\n", kTwoGigabytes);
    EXPECT_EQ(refusalOf(path, NetworkKind::BPN), path + ", line 7: " + tooLong);
    testing::writeSparseFile(path, "CPN\r\n1\r\n32767\r\n1\r\n", kTwoGigabytes);
    EXPECT_EQ(refusalOf(path, NetworkKind::CPN), path + ", line 5: " + tooLong);
}

TEST(NetworkFileLimits, WeightsThatDoNotFitInMemoryAreRefusedBeforeAllocating) {
    TempDir dir;
    const std::string path = dir.file("huge.vrn");
    testing::writeSparseFile(path, "BSB\r\n32767\r\n", kTwoGigabytes);
    std::string refusal;
    {
        testing::AddressSpaceRoom room(std::uint64_t{1} << 30);
        refusal = refusalOf(path, NetworkKind::BSB);
    }
    EXPECT_EQ(refusal, path + ": a network of sizes 32767 does not fit in memory.");
}

TEST(NetworkFileLimits, ALoadRefusedForMemoryKeepsTheLoadedNetwork) {
    TempDir dir;
    NetworkSettings settings;
    setDefaultSettings(settings);
    settings.RecallBSBFlag = 1;
    settings.NetworkFilePath = dir.file("small.vrn");
    writeText(settings.NetworkFilePath, "BSB\r\n1\r\n0.5\r\n");
    ASSERT_TRUE(loadNetwork(settings).loaded);
    settings.NetworkFilePath = dir.file("huge.vrn");
    testing::writeSparseFile(settings.NetworkFilePath, "BSB\r\n32767\r\n", kTwoGigabytes);
    LoadOutcome outcome;
    {
        testing::AddressSpaceRoom room(std::uint64_t{1} << 30);
        outcome = loadNetwork(settings);
    }
    EXPECT_FALSE(outcome.loaded);
    EXPECT_NE(outcome.message.find("does not fit in memory"), std::string::npos);
    EXPECT_EQ(settings.RecallInputSize, 1);
    EXPECT_EQ(settings.RecallOutputWeights.values(), MatrixValues<double>{0.5});
}

// The recall window picks its box by the reason, so every refusal must carry its
// own, whatever its message says.
TEST(NetworkFileLimits, EachRefusalCarriesItsReason) {
    TempDir dir;
    NetworkSettings settings;
    setDefaultSettings(settings);
    const auto outcomeOf = [&settings](NetworkKind kind, const std::string& path) {
        recallFlag(settings, kind) = 1;
        settings.NetworkFilePath = path;
        const LoadOutcome outcome = loadNetwork(settings);
        recallFlag(settings, kind) = 0;
        return outcome;
    };
    struct Case {
        const char* what;
        NetworkKind kind;
        std::string text;
        LoadRefusal reason;
    };
    const Case cases[] = {
        {"a whole network", NetworkKind::BSB, "BSB\r\n1\r\n0.5\r\n", LoadRefusal::None},
        {"another kind's tag", NetworkKind::BSB, "DA\r\n1\r\n0\r\n", LoadRefusal::WrongKind},
        {"an early end", NetworkKind::BSB, "BSB\r\n2\r\n1\r\n", LoadRefusal::Malformed},
        {"a word for a weight", NetworkKind::BSB, "BSB\r\n1\r\nx\r\n", LoadRefusal::Malformed},
        {"a size of 0", NetworkKind::BSB, "BSB\r\n0\r\n", LoadRefusal::Malformed},
        {"more weights than the file holds", NetworkKind::BSB, "BSB\r\n100\r\n1\r\n",
         LoadRefusal::Malformed},
        {"an input scale of 0", NetworkKind::BPN, "BPN\r\n1\r\n1\r\n1\r\n0\r\n1\r\n",
         LoadRefusal::Malformed},
    };
    const std::string path = dir.file("network.vrn");
    for (const Case& c : cases) {
        writeText(path, c.text);
        const LoadOutcome outcome = outcomeOf(c.kind, path);
        EXPECT_EQ(outcome.refusal, c.reason) << c.what << ": " << outcome.message;
        EXPECT_EQ(outcome.loaded, c.reason == LoadRefusal::None) << c.what;
    }

    EXPECT_EQ(outcomeOf(NetworkKind::DA, dir.file("missing.vrn")).refusal, LoadRefusal::Unreadable);
    EXPECT_EQ(outcomeOf(NetworkKind::DA, dir.path()).refusal, LoadRefusal::Unreadable);
    // Opens, but the first read fails (nothing is mapped at address 0).
    const LoadOutcome readFault = outcomeOf(NetworkKind::DA, "/proc/self/mem");
    EXPECT_EQ(readFault.refusal, LoadRefusal::Unreadable) << readFault.message;
    EXPECT_NE(readFault.message.find("Cannot read"), std::string::npos) << readFault.message;

    LoadOutcome tooLarge;
    testing::writeSparseFile(path, "BSB\r\n32767\r\n", kTwoGigabytes);
    {
        testing::AddressSpaceRoom room(std::uint64_t{1} << 30);
        tooLarge = outcomeOf(NetworkKind::BSB, path);
    }
    EXPECT_EQ(tooLarge.refusal, LoadRefusal::NoMemory) << tooLarge.message;

    EXPECT_EQ(loadNetwork(settings).refusal, LoadRefusal::NoKindChosen);
}

struct SaveFaults : ::testing::Test {
    TempDir dir;
    NetworkSettings settings;
    const std::string path = dir.file("network.vrn");
    const std::string old = "DA\r\n1\r\n0\r\n";
    const TrainedNetwork network = DaNetwork{Matrix<std::int16_t>(3, 3)};

    void SetUp() override {
        setDefaultSettings(settings);
        writeText(path, old);
    }

    void expectRefusedKeepingTheOldFile(const std::string& target) {
        settings.EncodeDAFlag = 1;
        const SaveOutcome outcome = saveNetwork(settings, network, target);
        EXPECT_FALSE(outcome.saved) << target;
        EXPECT_EQ(outcome.message, "Error writing to vrn file!") << target;
        EXPECT_EQ(settings.EncodeDAFlag, 1);
        EXPECT_EQ(readText(path), old);
        EXPECT_EQ(testing::entriesOf(dir.path()), std::vector<std::string>{"network.vrn"});
    }
};

TEST_F(SaveFaults, AFolderNobodyMayWriteIsRefused) {
    expectRefusedKeepingTheOldFile("/proc/network.vrn");
}

TEST_F(SaveFaults, AReadOnlyFolderTakesTheSaveInPlaceButNoNewFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into any folder; the fault sweep shows such a folder to root";
    }
    namespace fs = std::filesystem;
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    settings.EncodeDAFlag = 1;
    const SaveOutcome saved = saveNetwork(settings, network, path);
    settings.EncodeDAFlag = 1;
    const SaveOutcome refused = saveNetwork(settings, network, dir.file("new.vrn"));
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_TRUE(saved.saved) << saved.message;
    EXPECT_EQ(readText(path), "DA\r\n3\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
    EXPECT_EQ(refused.message, "Error writing to vrn file!");
    EXPECT_EQ(testing::entriesOf(dir.path()), std::vector<std::string>{"network.vrn"});
}

}  // namespace
}  // namespace vornetica
