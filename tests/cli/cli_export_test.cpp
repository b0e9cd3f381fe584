// vornetica-cli export: a network file's matrices in CSV files, run in process.
#include <gtest/gtest.h>

#include <sstream>

#include "base/random_source.h"
#include "cli/cli_commands.h"
#include "support/temp_dir.h"

namespace vornetica::cli {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun run(const std::vector<std::string>& arguments) {
    NetworkSettings settings;
    RandomSource random;
    std::ostringstream out;
    std::ostringstream err;
    Console console{out, err};
    CliRun result;
    result.status = runCommandLine(arguments, settings, random, console);
    result.out = out.str();
    result.err = err.str();
    return result;
}

TEST(CliExport, WritesEachMatrixOfTheFileAndNamesIt) {
    TempDir dir;
    // A 2-2-1 backpropagation network: weights i outer, then the thresholds.
    writeText(
        dir.file("net.vrn"),
        "BPN\r\n2\r\n2\r\n1\r\n10\r\n1\r\n.5\r\n-1\r\n2\r\n1E-05\r\n3\r\n4\r\n-.25\r\n0\r\n7\r\n");
    const CliRun result = run({"export", dir.file("net.vrn"), "--csv", dir.file("out")});
    ASSERT_EQ(result.status, kSuccess) << result.err;
    EXPECT_EQ(result.out, dir.file("out-hidden-weights.csv") + "\n" +
                              dir.file("out-output-weights.csv") + "\n" +
                              dir.file("out-hidden-thresholds.csv") + "\n" +
                              dir.file("out-output-thresholds.csv") + "\n");
    EXPECT_EQ(readText(dir.file("out-hidden-weights.csv")), "0.5,-1\r\n2,1E-05\r\n");
    EXPECT_EQ(readText(dir.file("out-output-weights.csv")), "3\r\n4\r\n");
    EXPECT_EQ(readText(dir.file("out-hidden-thresholds.csv")), "-0.25,0\r\n");
    EXPECT_EQ(readText(dir.file("out-output-thresholds.csv")), "7\r\n");
}

TEST(CliExport, RefusesABadFileAndABadCommandLine) {
    TempDir dir;
    writeText(dir.file("short.vrn"), "BSB\r\n2\r\n1\r\n2\r\n3\r\n");
    const CliRun shortFile = run({"export", dir.file("short.vrn"), "--csv", dir.file("out")});
    EXPECT_EQ(shortFile.status, kRefused);
    EXPECT_NE(shortFile.err.find("short.vrn"), std::string::npos) << shortFile.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out-weights.csv")));

    EXPECT_EQ(run({"export", dir.file("short.vrn")}).status, kUsage);
    EXPECT_EQ(run({"export", "--csv", "x"}).status, kUsage);
    EXPECT_EQ(run({"export", "a.vrn", "--csv", "x", "--kind", "bpn"}).status, kUsage);
    const CliRun help = run({"export", "--help"});
    EXPECT_EQ(help.status, kSuccess);
    EXPECT_NE(help.out.find("PREFIX-hidden-weights.csv"), std::string::npos);
    EXPECT_NE(run({"--help"}).out.find("export NETWORK --csv PREFIX"), std::string::npos);
}

}  // namespace
}  // namespace vornetica::cli
