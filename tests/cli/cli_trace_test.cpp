// vornetica-cli train --trace: the worked values of the first units, as CSV.
#include <sys/wait.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/number_text.h"
#include "support/temp_dir.h"

namespace {

using vornetica::testing::readText;
using vornetica::testing::TempDir;
using vornetica::testing::writeText;

int runCli(const TempDir& dir, const std::string& arguments) {
    const std::string command = "cd '" + dir.path().string() + "' && '" + VORNETICA_CLI_PATH +
                                "' " + arguments + " >cli.out 2>cli.err";
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::vector<std::vector<std::string>> csvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos;
             start = comma + 1) {
            fields.push_back(line.substr(start, comma - start));
        }
        fields.push_back(line.substr(start));
        rows.push_back(fields);
    }
    return rows;
}

void writeXor(const TempDir& dir) {
    writeText(dir.file("in.dat"), "4\n0 0\n0 1\n1 0\n1 1\n");
    writeText(dir.file("out.dat"), "0\n1\n1\n0\n");
}

const char* const kXor =
    "train bpn --input-size 2 --hidden-size 3 --output-size 1 --inputs in.dat "
    "--outputs out.dat --error-threshold -1 --max-iterations 5";

TEST(CliTrace, HoldsTheFirstUnitsValueByValueAndLeavesTheNetworkAsItWas) {
    TempDir dir;
    writeXor(dir);
    ASSERT_EQ(runCli(dir, std::string(kXor) + " --save plain.vrn"), 0);
    ASSERT_EQ(runCli(dir, std::string(kXor) + " --save traced.vrn --trace t.csv --trace-limit 6"),
              0);
    EXPECT_EQ(readText(dir.file("plain.vrn")), readText(dir.file("traced.vrn")));

    const auto rows = csvRows(readText(dir.file("t.csv")));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0], (std::vector<std::string>{"unit", "epoch", "vector", "quantity", "index1",
                                                 "index2", "value"}));
    std::set<std::string> units, quantities;
    for (std::size_t n = 1; n < rows.size(); ++n) {
        ASSERT_EQ(rows[n].size(), 7u) << n;
        units.insert(rows[n][0]);
        quantities.insert(rows[n][3]);
        double value = 0.0;
        EXPECT_TRUE(vornetica::parseFileNumber(rows[n][6], value)) << rows[n][6];
        if (rows[n][0] == "5") {
            EXPECT_EQ(rows[n][1], "2");  // the fifth vector is the first of epoch 2
            EXPECT_EQ(rows[n][2], "1");
        }
    }
    EXPECT_EQ(units, (std::set<std::string>{"1", "2", "3", "4", "5", "6"}));
    for (const char* name :
         {"hidden_net", "hidden_out", "output_net", "output_out", "output_error", "hidden_error",
          "output_weight", "hidden_weight", "output_threshold", "hidden_threshold"}) {
        EXPECT_EQ(quantities.count(name), 1u) << name;
    }
}

TEST(CliTrace, EveryKindWritesItsUnits) {
    TempDir dir;
    writeText(dir.file("in.dat"), "2\n1 -1 1\n-1 1 1\n");
    writeText(dir.file("out.dat"), "1 0\n0 1\n");
    ASSERT_EQ(runCli(dir,
                     "train cpn --input-size 3 --hidden-size 4 --output-size 2 "
                     "--time-steps 3 --inputs in.dat --outputs out.dat --trace c.csv"),
              0);
    EXPECT_NE(readText(dir.file("c.csv")).find("\n4,2,2,winner,"), std::string::npos);
    ASSERT_EQ(runCli(dir,
                     "train bsb --input-size 3 --inputs in.dat --trace b.csv "
                     "--trace-limit 1"),
              0);
    EXPECT_NE(readText(dir.file("b.csv")).find("\n1,1,1,error,3,,"), std::string::npos);
    EXPECT_EQ(readText(dir.file("b.csv")).find("\n2,"), std::string::npos);
    ASSERT_EQ(runCli(dir, "train da --input-size 3 --inputs in.dat --trace d.csv"), 0);
    EXPECT_NE(readText(dir.file("d.csv")).find("\n2,1,2,product,1,2,-1\n"), std::string::npos);
}

TEST(CliTrace, RefusesABadLimitAndATraceOverTheNetwork) {
    TempDir dir;
    writeXor(dir);
    EXPECT_NE(runCli(dir, std::string(kXor) + " --trace t.csv --trace-limit 0"), 0);
    EXPECT_NE(readText(dir.file("cli.err")).find("--trace-limit"), std::string::npos);
    EXPECT_NE(runCli(dir, std::string(kXor) + " --trace n.vrn --save n.vrn"), 0);
    EXPECT_NE(readText(dir.file("cli.err")).find("same file"), std::string::npos);
}

}  // namespace
