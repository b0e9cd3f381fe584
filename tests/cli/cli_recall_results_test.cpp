// vornetica-cli recall with expected outputs and a results table, run as a user runs it.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

using vornetica::testing::readText;
using vornetica::testing::TempDir;
using vornetica::testing::writeText;

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

RunResult runCli(const TempDir& dir, const std::vector<std::string>& arguments) {
    std::string command = "cd '" + dir.path().string() + "' && '" VORNETICA_CLI_PATH "'";
    for (const std::string& argument : arguments) {
        command += " '" + argument + "'";
    }
    command += " >cli.out 2>cli.err";
    const int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readText(dir.file("cli.out"));
    result.err = readText(dir.file("cli.err"));
    return result;
}

// 2 inputs, 2 hidden units with identity weights (the larger input wins), and
// the outputs (0.9, 0.1) for unit 0, (0.2, 0.6) for unit 1.
class CliRecallResults : public ::testing::Test {
  protected:
    void SetUp() override {
        writeText(dir.file("net.vrn"),
                  "CPN\r\n2\r\n2\r\n2\r\n1\r\n0\r\n0\r\n1\r\n0.9\r\n0.1\r\n0.2\r\n0.6\r\n");
        writeText(dir.file("in.dat"), "3\r\n1\r\n0\r\n0\r\n1\r\n0.2\r\n0.1\r\n");
        writeText(dir.file("targets.dat"), "1\r\n0\r\n0\r\n1\r\n0\r\n1\r\n");
    }
    TempDir dir;
};

TEST_F(CliRecallResults, PrintsTheOutputsThenTheSummaryAndWritesTheTable) {
    const RunResult run = runCli(dir, {"recall", "net.vrn", "--inputs", "in.dat", "--targets",
                                       "targets.dat", "--results", "results.csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "0.9 0.1\n0.2 0.6\n0.9 0.1\n");
    // Errors (.1, -.1), (-.2, .4), (-.9, .9): the squares sum to 1.84 over 6 outputs.
    EXPECT_EQ(run.err,
              "vectors compared: 3\n"
              "mean squared error: 0.306666666666667\n"
              "largest error: 0.9\n"
              "classified right: 2 of 3 (66.6666666666667%)\n"
              "confusion matrix (a row per expected class, a column per recalled class):\n"
              "  1 2\n"
              "1 1 0\n"
              "2 1 1\n");
    EXPECT_EQ(readText(dir.file("results.csv")),
              "vector,input 1,input 2,output 1,output 2,expected 1,expected 2,error 1,error 2\r\n"
              "1,1,0,0.9,0.1,1,0,0.1,-0.1\r\n"
              "2,0,1,0.2,0.6,0,1,-0.2,0.4\r\n"
              "3,0.2,0.1,0.9,0.1,0,1,-0.9,0.9\r\n");
}

TEST_F(CliRecallResults, WithoutTargetsTheTableHasNoErrorsAndStderrStaysQuiet) {
    const RunResult run =
        runCli(dir, {"recall", "net.vrn", "--inputs", "in.dat", "--results=results.csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readText(dir.file("results.csv")),
              "vector,input 1,input 2,output 1,output 2\r\n"
              "1,1,0,0.9,0.1\r\n"
              "2,0,1,0.2,0.6\r\n"
              "3,0.2,0.1,0.9,0.1\r\n");
}

TEST_F(CliRecallResults, TargetsThatDoNotMatchAreRefusedBeforeAnythingIsRecalled) {
    writeText(dir.file("results.csv"), "earlier\r\n");
    writeText(dir.file("short.dat"), "1\r\n0\r\n0\r\n1\r\n");
    const RunResult run = runCli(dir, {"recall", "net.vrn", "--inputs", "in.dat", "--targets",
                                       "short.dat", "--results", "results.csv"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("short.dat: the expected-outputs file holds 4 values, 2 vectors of 2 "
                           "outputs; the recall data file's 3 whole vectors need 6."),
              std::string::npos)
        << run.err;
    EXPECT_EQ(readText(dir.file("results.csv")), "earlier\r\n");
}

TEST_F(CliRecallResults, AValueThatIsNotANumberLeavesTheEarlierTableWhole) {
    writeText(dir.file("results.csv"), "earlier\r\n");
    writeText(dir.file("bad.dat"), "3\r\n1\r\n0\r\n0\r\nx\r\n");
    const RunResult run =
        runCli(dir, {"recall", "net.vrn", "--inputs", "bad.dat", "--results", "results.csv"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("bad.dat, line 5: \"x\" is not a number"), std::string::npos) << run.err;
    EXPECT_EQ(readText(dir.file("results.csv")), "earlier\r\n");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "results.csv" || name.rfind("results.csv", 0) != 0)
            << name << " is left beside the table";
    }
}

// Comparing counts both files first; a pipe read once to count would then hold
// nothing to compare.
TEST_F(CliRecallResults, TargetsFromAPipeAreRefusedButInputsFromAPipeAreRecalled) {
    const std::string cli = "'" VORNETICA_CLI_PATH "'";
    const std::string in = "cd '" + dir.path().string() + "' && cat ";
    const int refused = std::system((in + "targets.dat | " + cli +
                                     " recall net.vrn --inputs in.dat --targets /dev/stdin"
                                     " >cli.out 2>cli.err")
                                        .c_str());
    EXPECT_EQ(WEXITSTATUS(refused), 1);
    EXPECT_NE(readText(dir.file("cli.err"))
                  .find("/dev/stdin: the expected-outputs file must be an ordinary file"),
              std::string::npos)
        << readText(dir.file("cli.err"));
    EXPECT_EQ(readText(dir.file("cli.out")), "");

    const int recalled = std::system(
        (in + "in.dat | " + cli + " recall net.vrn --inputs /dev/stdin >cli.out 2>cli.err")
            .c_str());
    EXPECT_EQ(WEXITSTATUS(recalled), 0) << readText(dir.file("cli.err"));
    EXPECT_EQ(readText(dir.file("cli.out")), "0.9 0.1\n0.2 0.6\n0.9 0.1\n");
}

TEST_F(CliRecallResults, AnEmptyFileNameIsAUsageError) {
    for (const char* option : {"--targets", "--results"}) {
        const RunResult run = runCli(dir, {"recall", "net.vrn", "--inputs", "in.dat", option, ""});
        EXPECT_EQ(run.status, 2) << option;
        EXPECT_NE(run.err.find("Usage:"), std::string::npos) << option;
    }
}

}  // namespace
