// vornetica-cli import, run in process: exit statuses, the files written and the report.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/random_source.h"
#include "cli/cli_commands.h"
#include "cli/cli_help.h"
#include "settings/network_settings.h"
#include "support/temp_dir.h"

namespace vornetica::cli {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

class CliImport : public ::testing::Test {
  protected:
    int run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "import");
        for (std::string& argument : arguments) {
            if (argument.rfind("@", 0) == 0) {
                argument = dir_.file(argument.substr(1));
            }
        }
        std::ostringstream out;
        std::ostringstream err;
        Console console{out, err, false};
        NetworkSettings settings;
        RandomSource random;
        const int status = runCommandLine(arguments, settings, random, console);
        out_ = out.str();
        err_ = err.str();
        return status;
    }
    std::string file(const std::string& name) const { return dir_.file(name); }

    TempDir dir_;
    std::string out_;
    std::string err_;
};

TEST_F(CliImport, WritesBothFilesAndReportsOnStderr) {
    writeText(file("t.csv"), "x;y;z\n1,5;2;0\n-3;4;1\n");
    ASSERT_EQ(run({"@t.csv", "--write-inputs", "@in.dat", "--write-outputs", "@out.dat",
                   "--function", "tanh"}),
              kSuccess)
        << err_;
    EXPECT_EQ(readText(file("in.dat")), "2\r\n1.5\r\n2\r\n-3\r\n4\r\n");
    EXPECT_EQ(readText(file("out.dat")), "0\r\n1\r\n");
    EXPECT_EQ(out_, "");
    EXPECT_NE(err_.find("2 vectors, 2 inputs, 1 output.\n  1 x: input, smallest -3, largest 1.5\n"),
              std::string::npos)
        << err_;
    EXPECT_NE(err_.find("hyperbolic tangent function: input scale 4"), std::string::npos);
}

TEST_F(CliImport, OptionsChooseTheFormatColumnsAndClasses) {
    writeText(file("t.txt"), "1 x 7 red\n2 y 8 blue\n3 z 9 red\n");
    ASSERT_EQ(run({"@t.txt", "--separator", "space", "--header=no", "--inputs", "1,3", "--targets",
                   "4", "--one-hot", "--write-inputs", "@in.dat", "--write-outputs", "@out.dat"}),
              kSuccess)
        << err_;
    EXPECT_EQ(readText(file("in.dat")), "3\r\n1\r\n7\r\n2\r\n8\r\n3\r\n9\r\n");
    EXPECT_EQ(readText(file("out.dat")), "1\r\n0\r\n0\r\n1\r\n1\r\n0\r\n");
    EXPECT_NE(err_.find("classes red, blue"), std::string::npos) << err_;
    EXPECT_NE(err_.find("2 column 2: ignored"), std::string::npos) << err_;

    writeText(file("t.fann"), "1 2 0\n5 6\n");
    ASSERT_EQ(run({"@t.fann", "--format", "fann", "--write-inputs", "@in.dat"}), kSuccess) << err_;
    EXPECT_EQ(readText(file("in.dat")), "1\r\n5\r\n6\r\n");
}

TEST_F(CliImport, RefusedTablesWriteNothingAndExitOne) {
    writeText(file("in.dat"), "old");
    writeText(file("t.csv"), "1,2\n3,four\n");
    EXPECT_EQ(run({"@t.csv", "--write-inputs", "@in.dat", "--write-outputs", "@out.dat"}),
              kRefused);
    EXPECT_NE(
        err_.find(
            "t.csv, line 2, column 2: \"four\" is not a number; a target column of class labels"),
        std::string::npos);
    EXPECT_EQ(readText(file("in.dat")), "old");
    EXPECT_EQ(run({"@missing.csv", "--write-inputs", "@in.dat"}), kRefused);
    writeText(file("t.csv"), "1,2\n");
    EXPECT_EQ(run({"@t.csv", "--write-inputs", "@t.csv", "--targets", "none"}), kRefused);
    EXPECT_EQ(readText(file("t.csv")), "1,2\n") << "the table is never written over";
}

TEST_F(CliImport, BadCommandLinesExitTwo) {
    writeText(file("t.csv"), "1,2\n");
    const std::vector<std::vector<std::string>> bad = {
        {"@t.csv"},
        {"--write-inputs", "@in.dat"},
        {"@t.csv", "--write-inputs", "@in.dat", "--separator", "|"},
        {"@t.csv", "--write-inputs", "@in.dat", "--format", "xls"},
        {"@t.csv", "--write-inputs", "@in.dat", "--header", "maybe"},
        {"@t.csv", "--write-inputs", "@in.dat", "--inputs", "3-1"},
        {"@t.csv", "--write-inputs", "@in.dat", "--targets", "0"},
        {"@t.csv", "--write-inputs", "@in.dat", "--function", "sine"},
        {"@t.csv", "--write-inputs", "@in.dat", "--colour", "red"},
        {"@t.csv", "@u.csv", "--write-inputs", "@in.dat"},
        // The table has a target column but no output file is named, and the reverse.
        {"@t.csv", "--write-inputs", "@in.dat"},
        {"@t.csv", "--targets", "none", "--write-inputs", "@in.dat", "--write-outputs", "@o"},
    };
    for (const auto& arguments : bad) {
        EXPECT_EQ(run(arguments), kUsage) << arguments.back();
        EXPECT_NE(err_.find("vornetica-cli import --help"), std::string::npos) << err_;
    }
    EXPECT_FALSE(std::ifstream(file("in.dat")).good());
}

TEST_F(CliImport, HelpDocumentsEveryOption) {
    EXPECT_EQ(run({"--help"}), kSuccess);
    for (const char* option :
         {"--format", "--separator", "--header", "--decimal-comma", "--decimal-point", "--inputs",
          "--targets", "--one-hot", "--function", "--write-inputs", "--write-outputs"}) {
        EXPECT_NE(out_.find(option), std::string::npos) << option;
    }
    EXPECT_NE(helpText("").find("import FILE"), std::string::npos);
}

}  // namespace
}  // namespace vornetica::cli
