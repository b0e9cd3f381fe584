// Runs the built vornetica-cli in a fresh folder and checks what a user sees: exit
// statuses, the files it writes and the lines it prints.
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
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

std::string quoted(const std::string& text) {
    std::string result = "'";
    for (const char c : text) {
        if (c == '\'') {
            result += "'\\''";
        } else {
            result += c;
        }
    }
    return result + "'";
}

RunResult runCli(const TempDir& dir, const std::vector<std::string>& arguments) {
    std::string command = "cd ";
    command.append(quoted(dir.path().string()));
    command.append(" && ");
    command.append(quoted(VORNETICA_CLI_PATH));
    for (const std::string& argument : arguments) {
        command.append(" ");
        command.append(quoted(argument));
    }
    command += " >cli.out 2>cli.err";
    const int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readText(dir.file("cli.out"));
    result.err = readText(dir.file("cli.err"));
    return result;
}

std::string example(const std::string& name) {
    return std::string(VORNETICA_EXAMPLES_DIR) + "/" + name;
}

// Lines without their CR LF or LF ends.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    std::string field;
    while (in >> field) {
        fields.push_back(field);
    }
    return fields;
}

// All values of a data file after its count line, in order.
std::vector<double> valuesAfterCount(const std::string& path) {
    std::istringstream in(readText(path));
    std::vector<double> values;
    double value = 0.0;
    in >> value;  // the count
    while (in >> value) {
        values.push_back(value);
    }
    return values;
}

struct KindCase {
    std::string kind;
    std::vector<std::string> trainOptions;
    std::string tag;
    int networkLines;   // from the record layout of the kind and the sizes trained
    int recallVectors;  // whole vectors in the example's recall.dat
    int outputsPerVector;
};

std::vector<KindCase> kindCases() {
    const int bpnLines = 6 + 1 * 100 + 100 * 1 + 100 + 1;
    const int cpnLines = 4 + 4 * 50 + 50 * 4;
    return {
        {"bpn",
         {"--inputs", example("bpn/input.dat"), "--outputs", example("bpn/output.dat")},
         "BPN",
         bpnLines,
         20,
         1},
        {"cpn",
         {"--inputs", example("cpn/input.dat"), "--outputs", example("cpn/output.dat")},
         "CPN",
         cpnLines,
         4,
         4},
        {"bsb", {"--inputs", example("bsb/input.dat")}, "BSB", 2 + 4 * 4, 4, 4},
        {"da",
         {"--input-size", "16", "--inputs", example("da/input.dat")},
         "DA",
         2 + 16 * 16,
         3,
         16},
    };
}

RunResult train(const TempDir& dir, const KindCase& kind, const std::string& save) {
    std::vector<std::string> arguments = {"train", kind.kind};
    arguments.insert(arguments.end(), kind.trainOptions.begin(), kind.trainOptions.end());
    arguments.insert(arguments.end(), {"--save", save});
    return runCli(dir, arguments);
}

TEST(CliWholeLife, EachKindTrainsSavesAndRecallsItsExample) {
    for (const KindCase& kind : kindCases()) {
        SCOPED_TRACE(kind.kind);
        TempDir dir;
        const RunResult trained = train(dir, kind, "net.vrn");
        ASSERT_EQ(trained.status, 0) << trained.err;
        EXPECT_EQ(trained.out, "Done!\nFinished Saving Network\n");

        const std::string saved = readText(dir.file("net.vrn"));
        const std::vector<std::string> lines = linesOf(saved);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), kind.tag);
        EXPECT_EQ(static_cast<int>(lines.size()), kind.networkLines);
        EXPECT_NE(saved.find("\r\n"), std::string::npos);

        const RunResult recalled = runCli(dir, {"recall", "net.vrn", "--kind", kind.kind,
                                                "--inputs", example(kind.kind + "/recall.dat")});
        ASSERT_EQ(recalled.status, 0) << recalled.err;
        const std::vector<std::string> outputs = linesOf(recalled.out);
        ASSERT_EQ(static_cast<int>(outputs.size()), kind.recallVectors);
        for (const std::string& line : outputs) {
            EXPECT_EQ(static_cast<int>(fieldsOf(line).size()), kind.outputsPerVector) << line;
            EXPECT_EQ(line.find("  "), std::string::npos) << "single blanks between values";
        }
    }
}

TEST(CliWholeLife, TheAutocorrelatorGivesBackTheCleanLetters) {
    TempDir dir;
    ASSERT_EQ(train(dir, kindCases()[3], "da.vrn").status, 0);
    const RunResult recalled =
        runCli(dir, {"recall", "da.vrn", "--inputs", example("da/recall.dat")});
    ASSERT_EQ(recalled.status, 0) << recalled.err;

    const std::vector<double> letters = valuesAfterCount(example("da/input.dat"));
    std::vector<double> shown;
    for (const std::string& line : linesOf(recalled.out)) {
        for (const std::string& field : fieldsOf(line)) {
            EXPECT_EQ(field.find('.'), std::string::npos) << "integers only";
            shown.push_back(std::stod(field));
        }
    }
    EXPECT_EQ(shown, letters);
}

TEST(CliWholeLife, BrainStateRecallTellsOnStderrWhetherEachVectorSettled) {
    TempDir dir;
    ASSERT_EQ(train(dir, kindCases()[2], "bsb.vrn").status, 0);
    const RunResult recalled =
        runCli(dir, {"recall", "bsb.vrn", "--inputs", example("bsb/recall.dat")});
    ASSERT_EQ(recalled.status, 0) << recalled.err;
    int notes = 0;
    for (const std::string& line : linesOf(recalled.err)) {
        if (line.find("settled") != std::string::npos) {
            ++notes;
        }
    }
    EXPECT_EQ(notes, 4);
    EXPECT_EQ(recalled.out.find("settled"), std::string::npos);
}

TEST(CliWholeLife, TheSameCommandTwiceWritesTheIdenticalNetworkFile) {
    for (const KindCase& kind : kindCases()) {
        SCOPED_TRACE(kind.kind);
        TempDir dir;
        ASSERT_EQ(train(dir, kind, "first.vrn").status, 0);
        ASSERT_EQ(train(dir, kind, "second.vrn").status, 0);
        EXPECT_EQ(readText(dir.file("first.vrn")), readText(dir.file("second.vrn")));
    }
}

TEST(CliWholeLife, TrainingUsesTheScreenDefaultsWhenNoOptionIsGiven) {
    TempDir dir;
    // Default file names: input.dat, output.dat, network.vrn in the current folder.
    writeText(dir.file("input.dat"), readText(example("bpn/input.dat")));
    writeText(dir.file("output.dat"), readText(example("bpn/output.dat")));
    const RunResult trained = runCli(dir, {"train", "bpn"});
    ASSERT_EQ(trained.status, 0) << trained.err;
    const std::vector<std::string> lines = linesOf(readText(dir.file("network.vrn")));
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[1], "1");
    EXPECT_EQ(lines[2], "100");
    EXPECT_EQ(lines[3], "1");
    EXPECT_EQ(lines[4], "10");
    EXPECT_EQ(lines[5], "10");
}

TEST(CliWholeLife, BrainStateErrorsThatNeverFallStillSaveWithANote) {
    TempDir dir;
    // At +-1 and alpha 0.5 each pair's error only changes sign from pass to pass.
    writeText(dir.file("swing.dat"), "2\r\n1\r\n1\r\n-1\r\n-1\r\n1\r\n-1\r\n1\r\n-1\r\n");
    const RunResult trained = runCli(dir, {"train", "bsb", "--inputs", "swing.dat"});
    ASSERT_EQ(trained.status, 0) << trained.err;
    EXPECT_EQ(trained.out, "Done!\nFinished Saving Network\n");
    EXPECT_NE(trained.err.find("\nNote: The run ended at its pass limit of 32767 passes"),
              std::string::npos)
        << trained.err;
    EXPECT_EQ(linesOf(readText(dir.file("network.vrn"))).size(), 18u);
}

// The notes that can be known before the run come before its progress line, the
// others after it; every one is a line of its own on stderr.
TEST(CliWholeLife, NotesComeAsLinesBeginningNoteBeforeAndAfterTheRun) {
    TempDir dir;
    const std::vector<std::string> data = {"--inputs", example("bpn/input.dat"), "--outputs",
                                           example("bpn/output.dat")};
    std::vector<std::string> arguments = {"train",          "bpn", "--hidden-size", "4",
                                          "--output-scale", "8",   "--function",    "tanh"};
    arguments.insert(arguments.end(), data.begin(), data.end());
    const RunResult noted = runCli(dir, arguments);
    ASSERT_EQ(noted.status, 0) << noted.err;
    EXPECT_EQ(noted.out, "Done!\nFinished Saving Network\n");
    const std::vector<std::string> lines = linesOf(noted.err);
    const auto beginsWith = [&](std::size_t index, const std::string& head) {
        return index < lines.size() && lines[index].rfind(head, 0) == 0;
    };
    ASSERT_EQ(lines.size(), 4u) << noted.err;
    EXPECT_TRUE(beginsWith(0, "Note: 5 of the 21 targets cannot be reached")) << lines[0];
    EXPECT_TRUE(beginsWith(1, "Note: This network trains with the hyperbolic tangent")) << lines[1];
    EXPECT_TRUE(beginsWith(2, "epoch ")) << lines[2];
    EXPECT_TRUE(beginsWith(3, "Note: ")) << lines[3];

    // A run with nothing to note prints only its progress line.
    arguments = {"train", "bpn", "--hidden-size", "4", "--error-threshold", ".5"};
    arguments.insert(arguments.end(), data.begin(), data.end());
    const RunResult quiet = runCli(dir, arguments);
    ASSERT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(quiet.err.find("Note:"), std::string::npos) << quiet.err;
}

TEST(CliRecordFiles, HoldEveryVectorOneValueALineWithCrLf) {
    TempDir dir;
    ASSERT_EQ(train(dir, kindCases()[0], "bpn.vrn").status, 0);
    const RunResult recalled =
        runCli(dir, {"recall", "bpn.vrn", "--inputs", example("bpn/recall.dat"), "--record-inputs",
                     "in.txt", "--record-outputs", "out.txt"});
    ASSERT_EQ(recalled.status, 0) << recalled.err;

    const std::string inputs = readText(dir.file("in.txt"));
    const std::string outputs = readText(dir.file("out.txt"));
    EXPECT_EQ(linesOf(inputs).size(), 20u);
    EXPECT_EQ(linesOf(outputs), linesOf(recalled.out));
    std::size_t lineEnds = 0;
    for (std::size_t at = inputs.find("\r\n"); at != std::string::npos;
         at = inputs.find("\r\n", at + 2)) {
        ++lineEnds;
    }
    EXPECT_EQ(lineEnds, 20u);
    std::vector<double> recorded;
    for (const std::string& line : linesOf(inputs)) {
        recorded.push_back(std::stod(line));
    }
    EXPECT_EQ(recorded, valuesAfterCount(example("bpn/recall.dat")));
}

TEST(CliRecordFiles, AFailedRecordLeavesEarlierFilesWhole) {
    TempDir dir;
    ASSERT_EQ(train(dir, kindCases()[3], "da.vrn").status, 0);
    writeText(dir.file("in.txt"), "earlier\r\n");
    const RunResult recalled =
        runCli(dir, {"recall", "da.vrn", "--inputs", example("da/recall.dat"), "--record-inputs",
                     "in.txt", "--record-outputs", "missing-folder/out.txt"});
    EXPECT_EQ(recalled.status, 1);
    EXPECT_NE(recalled.err.find("missing-folder/out.txt"), std::string::npos) << recalled.err;
    EXPECT_EQ(readText(dir.file("in.txt")), "earlier\r\n");
}

TEST(CliUsage, BadOptionsAndValuesExitWithStatusTwoAndAUsageMessage) {
    const std::vector<std::vector<std::string>> commands = {
        {},
        {"fly"},
        {"train"},
        {"train", "som"},
        {"train", "bpn", "--colour", "red"},
        {"train", "bpn", "--input-size"},
        {"train", "bpn", "--input-size", "many"},
        {"train", "bpn", "--input-size", "0"},
        {"train", "bpn", "--max-iterations", "-1"},
        {"train", "bpn", "--input-scale", "0"},
        {"train", "bpn", "--alpha", "nan"},
        {"train", "bpn", "--function", "sigmoid"},
        {"train", "bsb", "--hidden-size", "3"},
        {"train", "da", "--outputs", "output.dat"},
        {"recall", "--inputs", "x.dat"},
        {"recall", "net.vrn"},
        {"recall", "net.vrn", "--inputs", "x.dat", "--kind", "som"},
        {"recall", "net.vrn", "--inputs", "x.dat", "--kind", "bpn", "--gamma", "1"},
        {"recall", "net.vrn", "--inputs", "x.dat", "--record-inputs", "in.txt"},
    };
    TempDir dir;
    for (const std::vector<std::string>& command : commands) {
        std::string shown;
        for (const std::string& argument : command) {
            shown += argument + " ";
        }
        SCOPED_TRACE(shown);
        const RunResult result = runCli(dir, command);
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find("Usage:"), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

TEST(CliUsage, AValueThatIsNotANumberIsNamedByItsOption) {
    TempDir dir;
    const RunResult result = runCli(dir, {"train", "cpn", "--time-steps=often"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("--time-steps"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("often"), std::string::npos) << result.err;
}

TEST(CliUsage, HelpOfEveryTrainKindNamesEachOfItsOptions) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> kinds = {
        {"bpn",
         {"--input-size", "--hidden-size", "--output-size", "--error-threshold", "--max-iterations",
          "--input-scale", "--output-scale", "--alpha", "--beta", "--function", "--slope",
          "--boundary", "--upper", "--lower", "--inputs", "--outputs", "--save"}},
        {"cpn",
         {"--input-size", "--hidden-size", "--output-size", "--beta", "--gamma", "--time-steps",
          "--inputs", "--outputs", "--save"}},
        {"bsb", {"--input-size", "--alpha", "--error-threshold", "--inputs", "--save"}},
        {"da", {"--input-size", "--inputs", "--save"}},
    };
    TempDir dir;
    for (const auto& [kind, options] : kinds) {
        SCOPED_TRACE(kind);
        const RunResult help = runCli(dir, {"train", kind, "--help"});
        EXPECT_EQ(help.status, 0);
        for (const std::string& option : options) {
            EXPECT_NE(help.out.find(option), std::string::npos) << option;
        }
    }
    const RunResult recall = runCli(dir, {"recall", "--help"});
    EXPECT_EQ(recall.status, 0);
    for (const char* option : {"--kind", "--inputs", "--beta", "--gamma", "--error-threshold",
                               "--record-inputs", "--record-outputs", "--targets", "--results"}) {
        EXPECT_NE(recall.out.find(option), std::string::npos) << option;
    }
}

TEST(CliRefused, RefusedInputsExitWithStatusOneAndTheirMessage) {
    TempDir dir;
    ASSERT_EQ(train(dir, kindCases()[2], "bsb.vrn").status, 0);
    writeText(dir.file("short.vrn"), "BSB\r\n2\r\n1\r\n");
    writeText(dir.file("bad.dat"), "1\r\n0.5\r\nhalf\r\n");

    struct Refusal {
        std::vector<std::string> command;
        std::string message;
    };
    const std::vector<Refusal> refusals = {
        {{"train", "bpn", "--inputs", "absent.dat"}, "absent.dat"},
        {{"train", "bsb", "--input-size", "2", "--inputs", "bad.dat"}, "half"},
        {{"train", "bsb", "--inputs", example("bsb/input.dat"), "--save", "no-folder/bsb.vrn"},
         "Error writing to vrn file!"},
        {{"recall", "bsb.vrn", "--kind", "da", "--inputs", example("da/recall.dat")},
         "Not correct network type!"},
        {{"recall", "bsb.vrn", "--kind", "bpn", "--inputs", example("bpn/recall.dat")},
         "Not correct network type!"},
        {{"recall", "bsb.vrn", "--gamma", "0", "--inputs", example("bsb/recall.dat")}, "--gamma"},
        {{"recall", "short.vrn", "--inputs", example("bsb/recall.dat")}, "short.vrn"},
        {{"recall", "absent.vrn", "--inputs", example("bsb/recall.dat")}, "absent.vrn"},
        {{"recall", "bsb.vrn", "--inputs", "absent.dat"}, "absent.dat"},
        {{"recall", "bsb.vrn", "--inputs", example("bsb/recall.dat"), "--record-inputs", "rec.txt",
          "--record-outputs", "./rec.txt"},
         "The input and output record files must have different names."},
        {{"recall", "/dev/zero", "--inputs", example("bsb/recall.dat")},
         "is not a network kind tag"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.message);
        const RunResult result = runCli(dir, refusal.command);
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find(refusal.message), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("Usage:"), std::string::npos);
    }
    EXPECT_FALSE(std::ifstream(dir.file("network.vrn")).good()) << "a refused run saves nothing";
}

}  // namespace
