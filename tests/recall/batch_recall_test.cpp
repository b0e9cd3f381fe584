#include "recall/batch_recall.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/user_error.h"
#include "netfile/network_file.h"
#include "support/temp_dir.h"

namespace vornetica {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

// A counterpropagation network of 2 inputs, 2 hidden units and 2 outputs whose
// hidden weights are the identity: the larger input wins, and unit 0 gives
// (0.9, 0.1), unit 1 (0.2, 0.6).
const char* const kCpnFile =
    "CPN\r\n2\r\n2\r\n2\r\n1\r\n0\r\n0\r\n1\r\n0.9\r\n0.1\r\n0.2\r\n0.6\r\n";
// Three vectors and one value of a fourth, which is not whole and not recalled.
const char* const kCpnInputs = "3\r\n1\r\n0\r\n0\r\n1\r\n0.2\r\n0.1\r\n5\r\n";
// The third vector expects class 2 but is recalled as class 1.
const char* const kCpnTargets = "1\r\n0\r\n0\r\n1\r\n0\r\n1\r\n";
// The autocorrelator trained from the single vector (1, -1, 1).
const char* const kDaFile = "DA\r\n3\r\n0\r\n-1\r\n1\r\n-1\r\n0\r\n-1\r\n1\r\n-1\r\n0\r\n";

class BatchRecallTest : public ::testing::Test {
  protected:
    void load(const char* networkText, NetworkKind kind) {
        writeText(dir.file("net.vrn"), networkText);
        setDefaultSettings(settings);
        recallFlag(settings, kind) = 1;
        settings.NetworkFilePath = dir.file("net.vrn");
        const LoadOutcome outcome = loadNetwork(settings);
        ASSERT_TRUE(outcome.loaded) << outcome.message;
    }

    std::string file(const std::string& name, const std::string& text) const {
        writeText(dir.file(name), text);
        return dir.file(name);
    }

    std::vector<BatchRow> recallAll(BatchRecall& batch) {
        std::vector<BatchRow> rows;
        BatchRow row;
        while (batch.next(row)) {
            rows.push_back(row);
        }
        return rows;
    }

    TempDir dir;
    NetworkSettings settings;
};

TEST_F(BatchRecallTest, ComparesEveryWholeVectorWithItsTargets) {
    load(kCpnFile, NetworkKind::CPN);
    BatchRecall batch(settings, file("in.dat", kCpnInputs), file("targets.dat", kCpnTargets));
    EXPECT_EQ(batch.vectorCount(), 3);
    const std::vector<BatchRow> rows = recallAll(batch);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].number, 3);
    EXPECT_EQ(rows[2].input, (std::vector<double>{0.2, 0.1}));
    EXPECT_EQ(rows[2].output, (std::vector<double>{0.9, 0.1}));
    EXPECT_EQ(rows[2].expected, (std::vector<double>{0.0, 1.0}));
    EXPECT_EQ(rows[2].error, (std::vector<double>{0.0 - 0.9, 1.0 - 0.1}));
    EXPECT_EQ(rows[1].output, (std::vector<double>{0.2, 0.6}));

    // Errors (.1, -.1), (-.2, .4), (-.9, .9): squares summing to 1.84 over 6 outputs.
    const RecallSummary& summary = batch.summary();
    EXPECT_EQ(summary.vectors(), 3);
    EXPECT_NEAR(summary.meanSquaredError(), 1.84 / 6.0, 1e-15);
    EXPECT_DOUBLE_EQ(summary.largestError(), 0.9);
    ASSERT_TRUE(summary.classified());
    EXPECT_EQ(summary.classifiedRight(), 2);
    EXPECT_DOUBLE_EQ(summary.shareRight(), 2.0 / 3.0);
    ASSERT_TRUE(summary.hasConfusion());
    EXPECT_EQ(summary.confusion(0, 0), 1);
    EXPECT_EQ(summary.confusion(0, 1), 0);
    EXPECT_EQ(summary.confusion(1, 0), 1);
    EXPECT_EQ(summary.confusion(1, 1), 1);
}

TEST_F(BatchRecallTest, WithoutTargetsRecallsAndComparesNothing) {
    load(kCpnFile, NetworkKind::CPN);
    BatchRecall batch(settings, file("in.dat", kCpnInputs), std::nullopt);
    EXPECT_FALSE(batch.comparing());
    EXPECT_FALSE(batch.vectorCount().has_value());
    const std::vector<BatchRow> rows = recallAll(batch);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_TRUE(rows[0].expected.empty());
    EXPECT_TRUE(rows[0].error.empty());
    EXPECT_EQ(batch.summary().vectors(), 0);
}

TEST_F(BatchRecallTest, RefusesTargetsThatDoNotMatchTheInputVectors) {
    load(kCpnFile, NetworkKind::CPN);
    const std::string inputs = file("in.dat", kCpnInputs);
    const struct {
        const char* what;
        const char* targets;
        const char* message;
    } cases[] = {
        {"one vector short", "1\r\n0\r\n0\r\n1\r\n",
         "holds 4 values, 2 vectors of 2 outputs; the recall data file's 3 whole vectors need 6."},
        {"one value short", "1\r\n0\r\n0\r\n1\r\n0\r\n",
         "holds 5 values, not a whole number of vectors of 2 outputs"},
        {"vectors of 3", "1\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n1\r\n0\r\n",
         "holds 9 values, not a whole number of vectors of 2 outputs; the recall data file's 3 "
         "whole vectors need 6."},
        {"one vector over", "1\r\n0\r\n0\r\n1\r\n0\r\n1\r\n0\r\n1\r\n",
         "holds 8 values, 4 vectors of 2 outputs"},
        {"empty", "", "holds 0 values"},
    };
    for (const auto& c : cases) {
        const std::string targets = file("targets.dat", c.targets);
        try {
            BatchRecall batch(settings, inputs, targets);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const UserError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
                << c.what << ": " << error.what();
        }
    }
}

TEST_F(BatchRecallTest, NamesTheVectorAndLineOfAValueThatIsNotANumber) {
    load(kCpnFile, NetworkKind::CPN);
    BatchRecall batch(settings, file("in.dat", "2\r\n1\r\n0\r\nx\r\n1\r\n"), std::nullopt);
    BatchRow row;
    ASSERT_TRUE(batch.next(row));
    try {
        batch.next(row);
        ADD_FAILURE() << "accepted";
    } catch (const UserError& error) {
        EXPECT_NE(std::string(error.what()).find("line 4: \"x\" is not a number"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_THROW(BatchRecall(settings, dir.file("missing.dat"), std::nullopt), UserError);
}

TEST_F(BatchRecallTest, AutocorrelatorComparesTheSettledState) {
    load(kDaFile, NetworkKind::DA);
    // (1, 1, 1) settles to (0, -1, 1); (-1, 1, -1) stays.
    BatchRecall batch(settings, file("in.dat", "2\r\n1\r\n1\r\n1\r\n-1\r\n1\r\n-1\r\n"),
                      file("targets.dat", "1\r\n-1\r\n1\r\n-1\r\n1\r\n-1\r\n"));
    EXPECT_EQ(batch.outputWidth(), 3);
    const std::vector<BatchRow> rows = recallAll(batch);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].output, (std::vector<double>{0, -1, 1}));
    EXPECT_EQ(rows[0].error, (std::vector<double>{1, 0, 0}));
    EXPECT_DOUBLE_EQ(batch.summary().meanSquaredError(), 1.0 / 6.0);
    EXPECT_DOUBLE_EQ(batch.summary().largestError(), 1.0);
    // Targets of -1 are not one-hot: no classes.
    EXPECT_FALSE(batch.summary().classified());
}

TEST_F(BatchRecallTest, RefusesWithoutALoadedNetwork) {
    setDefaultSettings(settings);
    EXPECT_THROW(BatchRecall(settings, file("in.dat", kCpnInputs), std::nullopt), UserError);
}

TEST(RecallSummary, ClassifiesOnlyOneHotTargetsAndTakesTheFirstOfEqualOutputs) {
    RecallSummary summary(3);
    summary.add(std::vector<double>{0.5, 0.5, 0.1}, std::vector<double>{1, 0, 0});
    summary.add(std::vector<double>{0.2, 0.5, 0.5}, std::vector<double>{0, 0, 1});
    EXPECT_EQ(summary.classifiedRight(), 1);
    EXPECT_EQ(summary.confusion(2, 1), 1);
    summary.add(std::vector<double>{0, 0, 1}, std::vector<double>{0, 0.5, 1});
    EXPECT_FALSE(summary.classified());
    EXPECT_FALSE(summary.hasConfusion());

    RecallSummary single(1);
    single.add(std::vector<double>{0.5}, std::vector<double>{1});
    EXPECT_FALSE(single.classified());

    RecallSummary many(RecallSummary::kMostConfusionClasses + 1);
    std::vector<double> oneHot(RecallSummary::kMostConfusionClasses + 1, 0.0);
    oneHot[3] = 1.0;
    many.add(oneHot, oneHot);
    EXPECT_TRUE(many.classified());
    EXPECT_FALSE(many.hasConfusion());
}

TEST(RecallSummary, TextGivesTheFiguresAndTheConfusionMatrix) {
    RecallSummary summary(2);
    summary.add(std::vector<double>{0.75, 0.25}, std::vector<double>{1, 0});
    summary.add(std::vector<double>{0.75, 0.5}, std::vector<double>{0, 1});
    // Errors (.25, -.25), (-.75, .5): squares .0625 + .0625 + .5625 + .25 = .9375.
    EXPECT_EQ(summaryText(summary),
              "vectors compared: 2\n"
              "mean squared error: 0.234375\n"
              "largest error: 0.75\n"
              "classified right: 1 of 2 (50%)\n"
              "confusion matrix (a row per expected class, a column per recalled class):\n"
              "  1 2\n"
              "1 1 0\n"
              "2 1 0\n");
}

TEST_F(BatchRecallTest, ResultsCsvHoldsARowPerVectorOnlyOnceCommitted) {
    load(kCpnFile, NetworkKind::CPN);
    BatchRecall batch(settings, file("in.dat", kCpnInputs), file("targets.dat", kCpnTargets));
    const std::string csv = dir.file("results.csv");
    {
        ResultsCsvFile abandoned(csv, 2, 2, true);
        BatchRow row;
        ASSERT_TRUE(batch.next(row));
        abandoned.add(row);
    }
    EXPECT_FALSE(std::filesystem::exists(csv));

    BatchRecall again(settings, dir.file("in.dat"), dir.file("targets.dat"));
    ResultsCsvFile results(csv, 2, 2, true);
    BatchRow row;
    while (again.next(row)) {
        results.add(row);
    }
    results.commit();
    EXPECT_EQ(readText(csv),
              "vector,input 1,input 2,output 1,output 2,expected 1,expected 2,error 1,error 2\r\n"
              "1,1,0,0.9,0.1,1,0,0.1,-0.1\r\n"
              "2,0,1,0.2,0.6,0,1,-0.2,0.4\r\n"
              "3,0.2,0.1,0.9,0.1,0,1,-0.9,0.9\r\n");
    EXPECT_EQ(resultsCsvHeader(1, 2, false), "vector,input 1,output 1,output 2");
}

}  // namespace
}  // namespace vornetica
