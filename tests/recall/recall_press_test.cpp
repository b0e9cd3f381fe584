#include "recall/recall_press.h"

#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "netfile/network_file.h"
#include "support/temp_dir.h"

namespace vornetica {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

// The autocorrelator trained from the single vector (1, -1, 1).
const char* const kDaFile = "DA\r\n3\r\n0\r\n-1\r\n1\r\n-1\r\n0\r\n-1\r\n1\r\n-1\r\n0\r\n";
// A brain-state-in-a-box with all-zero weights: recall only limits to the box.
const char* const kZeroBsbFile = "BSB\r\n3\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";

class RecallPressTest : public ::testing::Test {
  protected:
    void load(const char* networkText, NetworkKind kind) {
        writeText(dir.file("net.vrn"), networkText);
        setDefaultSettings(settings);
        recallFlag(settings, kind) = 1;
        settings.NetworkFilePath = dir.file("net.vrn");
        settings.RecallBeta = 0.5;
        settings.RecallGamma = 0.5;
        settings.RecallErrorThreshold = 0.01;
        const LoadOutcome outcome = loadNetwork(settings);
        ASSERT_TRUE(outcome.loaded) << outcome.message;
    }

    RecallPressRequest manual(std::vector<std::string> cells, bool record = false) const {
        RecallPressRequest request;
        request.cellTexts = std::move(cells);
        request.record = record;
        request.inputRecordPath = dir.file("in.txt");
        request.outputRecordPath = dir.file("out.txt");
        return request;
    }

    void useDataFile(const std::string& text) {
        settings.DataEntryMode = FromFiles;
        settings.InputDataPath = dir.file("recall.dat");
        writeText(settings.InputDataPath, text);
    }

    TempDir dir;
    NetworkSettings settings;
};

TEST_F(RecallPressTest, ManualAutocorrelatorPressShowsIntegersAsNumberText) {
    load(kDaFile, NetworkKind::DA);
    const RecallPressResult result = recallPress(settings, manual({"1", "1", "1"}));
    ASSERT_TRUE(result.error.empty()) << result.error;
    EXPECT_EQ(result.outputTexts, (std::vector<std::string>{" 0", "-1", " 1"}));
    EXPECT_FALSE(result.showDone);
    EXPECT_FALSE(result.settled.has_value());
}

TEST_F(RecallPressTest, AutocorrelatorCellsAreRoundedHalfToEven) {
    load(kDaFile, NetworkKind::DA);
    // 2.5 -> 2, -1.5 -> -2, 0.5 -> 0; the sweep then gives 1, -1, 1.
    const RecallPressResult result = recallPress(settings, manual({"2.5", "-1.5", ".5"}, true));
    ASSERT_TRUE(result.error.empty()) << result.error;
    EXPECT_EQ(result.inputValues, (std::vector<double>{2, -2, 0}));
    EXPECT_EQ(result.outputValues, (std::vector<double>{1, -1, 1}));
    EXPECT_EQ(readText(dir.file("in.txt")), "2\r\n-2\r\n0\r\n");
    EXPECT_EQ(readText(dir.file("out.txt")), "1\r\n-1\r\n1\r\n");
}

TEST_F(RecallPressTest, BrainStateOutputIsBoxedAndTellsWhetherItSettled) {
    load(kZeroBsbFile, NetworkKind::BSB);
    const RecallPressResult boxed = recallPress(settings, manual({".2", ".7", "-3"}));
    ASSERT_TRUE(boxed.error.empty()) << boxed.error;
    EXPECT_EQ(boxed.outputTexts, (std::vector<std::string>{" .2", " .5", "-.5"}));
    EXPECT_EQ(boxed.settled, std::optional<bool>(false));

    const RecallPressResult inside = recallPress(settings, manual({".2", "-.3", ".4"}));
    EXPECT_EQ(inside.settled, std::optional<bool>(true));
}

TEST_F(RecallPressTest, RecordFilesHoldOnlyTheLastPress) {
    load(kZeroBsbFile, NetworkKind::BSB);
    ASSERT_TRUE(recallPress(settings, manual({".1", ".2", ".3"}, true)).error.empty());
    ASSERT_TRUE(recallPress(settings, manual({"-.25", "0", "1"}, true)).error.empty());
    EXPECT_EQ(readText(dir.file("in.txt")), "-0.25\r\n0\r\n1\r\n");
    EXPECT_EQ(readText(dir.file("out.txt")), "-0.25\r\n0\r\n0.5\r\n");
}

TEST_F(RecallPressTest, ABadCellIsReportedAndChangesNothing) {
    load(kDaFile, NetworkKind::DA);
    writeText(dir.file("in.txt"), "kept\r\n");
    const std::vector<std::int16_t> stateBefore = settings.RecallStateBits;

    const RecallPressResult notANumber = recallPress(settings, manual({"1", "1,5", "1"}, true));
    EXPECT_NE(notANumber.error.find("1,5"), std::string::npos) << notANumber.error;
    EXPECT_NE(notANumber.error.find('2'), std::string::npos) << "names the cell";
    EXPECT_TRUE(notANumber.outputTexts.empty());

    const RecallPressResult empty = recallPress(settings, manual({"1", "1", ""}, true));
    EXPECT_FALSE(empty.error.empty());

    EXPECT_EQ(readText(dir.file("in.txt")), "kept\r\n");
    EXPECT_FALSE(std::ifstream(dir.file("out.txt")).good());
    EXPECT_EQ(settings.RecallStateBits, stateBefore);
}

TEST_F(RecallPressTest, AnAutocorrelatorValueBeyondSixteenBitsIsReported) {
    load(kDaFile, NetworkKind::DA);
    const RecallPressResult result = recallPress(settings, manual({"40000", "1", "1"}));
    EXPECT_FALSE(result.error.empty());
    EXPECT_TRUE(result.outputTexts.empty());
}

TEST_F(RecallPressTest, WithoutALoadedNetworkAPressIsAnError) {
    setDefaultSettings(settings);
    const RecallPressResult result = recallPress(settings, manual({"1"}, true));
    EXPECT_EQ(result.error, "No network is loaded. Choose a network file on the previous screen.");
    EXPECT_TRUE(result.outputTexts.empty());
    EXPECT_FALSE(std::ifstream(dir.file("in.txt")).good());
}

TEST_F(RecallPressTest, FileModeRecallsTheFirstVectorOnEveryPress) {
    load(kDaFile, NetworkKind::DA);
    useDataFile("2\r\n1\r\n1\r\n1\r\n-1\r\n1\r\n-1\r\n");
    for (int press = 0; press < 2; ++press) {
        const RecallPressResult result = recallPress(settings, manual({"9", "9", "9"}, true));
        ASSERT_TRUE(result.error.empty()) << result.error;
        EXPECT_EQ(result.inputTexts, (std::vector<std::string>{" 1", " 1", " 1"}));
        EXPECT_EQ(result.outputTexts, (std::vector<std::string>{" 0", "-1", " 1"}));
        EXPECT_TRUE(result.showDone);
    }
    EXPECT_EQ(readText(dir.file("in.txt")), "1\r\n1\r\n1\r\n");
}

TEST_F(RecallPressTest, FileEndingWithTheVectorsLastValueRecallsNothing) {
    load(kDaFile, NetworkKind::DA);
    useDataFile("1\r\n1\r\n-1\r\n1\r\n");
    writeText(dir.file("out.txt"), "earlier\r\n");
    const RecallPressResult result = recallPress(settings, manual({}, true));
    ASSERT_TRUE(result.error.empty()) << result.error;
    EXPECT_TRUE(result.outputTexts.empty());
    EXPECT_TRUE(result.showDone);
    // As the window records value by value: what was read before the end.
    EXPECT_EQ(readText(dir.file("in.txt")), "1\r\n-1\r\n");
    EXPECT_EQ(readText(dir.file("out.txt")), "");
}

TEST_F(RecallPressTest, AMissingDataFileIsReported) {
    load(kDaFile, NetworkKind::DA);
    settings.DataEntryMode = FromFiles;
    settings.InputDataPath = dir.file("absent.dat");
    const RecallPressResult result = recallPress(settings, manual({}));
    EXPECT_NE(result.error.find("absent.dat"), std::string::npos) << result.error;
    EXPECT_FALSE(result.showDone);
}

TEST_F(RecallPressTest, AFailedRecordLeavesTheEarlierRecordFilesWhole) {
    load(kDaFile, NetworkKind::DA);
    ASSERT_TRUE(recallPress(settings, manual({"1", "-1", "1"}, true)).error.empty());
    RecallPressRequest request = manual({"1", "1", "1"}, true);
    request.outputRecordPath = dir.file("no-folder/out.txt");
    const RecallPressResult result = recallPress(settings, request);
    EXPECT_FALSE(result.error.empty());
    EXPECT_TRUE(result.outputTexts.empty());
    EXPECT_EQ(readText(dir.file("in.txt")), "1\r\n-1\r\n1\r\n");
    EXPECT_EQ(readText(dir.file("out.txt")), "1\r\n-1\r\n1\r\n");
}

}  // namespace
}  // namespace vornetica
