#include "data/training_data.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "base/user_error.h"
#include "support/comma_locale.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace vornetica {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

Matrix<double> matrixOf(std::size_t rows, std::size_t cols, std::vector<double> values) {
    Matrix<double> m(rows, cols);
    m.values().assign(values.begin(), values.end());
    return m;
}

// The message of the UserError that reading `text` as an input data file gives.
std::string inputRefusal(const TempDir& dir, const std::string& text, int inputSize) {
    const std::string path = dir.file("input.dat");
    writeText(path, text);
    try {
        readTrainingData(path, std::nullopt, inputSize, 1);
    } catch (const UserError& error) {
        std::string message = error.what();
        const std::string folder = dir.path().string() + "/";
        return message.find(folder) == std::string::npos
                   ? message
                   : message.replace(message.find(folder), folder.size(), "");
    }
    return "(accepted)";
}

TEST(WriteTrainingData, WritesCountThenValuesOneALineWithCrLf) {
    TempDir dir;
    const Matrix<double> inputs = matrixOf(2, 2, {1, 2, 3, 4});
    const Matrix<double> outputs = matrixOf(2, 1, {5, 6});
    writeTrainingData(dir.file("input.txt"), inputs, dir.file("output.txt"), &outputs);
    EXPECT_EQ(readText(dir.file("input.txt")), "2\r\n1\r\n2\r\n3\r\n4\r\n");
    EXPECT_EQ(readText(dir.file("output.txt")), "5\r\n6\r\n");
    EXPECT_EQ(testing::entriesOf(dir.path()),
              (std::vector<std::string>{"input.txt", "output.txt"}));
}

TEST(WriteTrainingData, WritesAVectorOfZerosAndTheFileNumberForm) {
    TempDir dir;
    writeTrainingData(dir.file("input.txt"), Matrix<double>(1, 3), dir.file("output.txt"), nullptr);
    EXPECT_EQ(readText(dir.file("input.txt")), "1\r\n0\r\n0\r\n0\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("output.txt")));

    writeTrainingData(dir.file("input.txt"), matrixOf(1, 3, {-0.5, 1e-5, 1.0 / 3.0}), "", nullptr);
    EXPECT_EQ(readText(dir.file("input.txt")), "1\r\n-0.5\r\n1E-05\r\n0.333333333333333\r\n");
}

TEST(WriteTrainingData, IgnoresACommaLocale) {
    testing::CommaLocale locale;
    if (!locale.active()) {
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    }
    TempDir dir;
    writeTrainingData(dir.file("in"), matrixOf(1, 1, {0.5}), "", nullptr);
    EXPECT_EQ(readText(dir.file("in")), "1\r\n0.5\r\n");
    EXPECT_EQ(readTrainingData(dir.file("in"), std::nullopt, 1, 1).inputs.at(0, 0), 0.5);
}

TEST(ReadTrainingData, ReadsWhatTheWriterWrote) {
    TempDir dir;
    std::mt19937_64 random(99);
    std::uniform_real_distribution<double> value(-1e6, 1e6);
    Matrix<double> inputs(7, 5);
    Matrix<double> outputs(7, 3);
    for (double& v : inputs.values()) {
        v = value(random);
    }
    for (double& v : outputs.values()) {
        v = value(random) * 1e-9;
    }
    writeTrainingData(dir.file("i"), inputs, dir.file("o"), &outputs);
    const TrainingSet set = readTrainingData(dir.file("i"), dir.file("o"), 5, 3);
    ASSERT_EQ(set.count, 7);
    ASSERT_EQ(set.inputs.rows(), 7u);
    ASSERT_EQ(set.outputs.cols(), 3u);
    // Written to 15 digits: each value reads back as printf's 15-digit text does.
    auto fifteenDigits = [](double v) {
        char text[40];
        std::snprintf(text, sizeof text, "%.15G", v);
        return std::strtod(text, nullptr);
    };
    for (std::size_t i = 0; i < inputs.values().size(); ++i) {
        EXPECT_EQ(set.inputs.values()[i], fifteenDigits(inputs.values()[i]));
    }
    for (std::size_t i = 0; i < outputs.values().size(); ++i) {
        EXPECT_EQ(set.outputs.values()[i], fifteenDigits(outputs.values()[i]));
    }
}

TEST(ReadTrainingData, TakesAnySeparatorLineEndAndForm) {
    TempDir dir;
    const std::string forms[] = {
        "2\r\n1\r\n-.5\r\n3E2\r\n0.25\r\n",
        "2\n1\n-.5\n3E2\n0.25\n",
        "2\r1\r-.5\r3E2\r0.25",
        "2, 1, -.5\t3e+2 ,.25",
        "\xEF\xBB\xBF  2\r\n1 -0.5\r\n\r\n  300  \r\n0.25\r\n",
        "2.0\r\n+1\r\n-.5\r\n300\r\n.25\r\n99\r\n98\r\n",  // extra numbers are ignored
    };
    for (const std::string& text : forms) {
        writeText(dir.file("in"), text);
        const TrainingSet set = readTrainingData(dir.file("in"), std::nullopt, 2, 1);
        EXPECT_EQ(set.count, 2) << text;
        EXPECT_EQ(set.inputs, matrixOf(2, 2, {1, -0.5, 300, 0.25})) << text;
        EXPECT_TRUE(set.outputs.empty());
    }
}

TEST(ReadTrainingData, OutputFileHasNoCountLine) {
    TempDir dir;
    writeText(dir.file("in"), "3\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n");
    writeText(dir.file("out"), "7\r\n8\r\n9\r\n");
    const TrainingSet set = readTrainingData(dir.file("in"), dir.file("out"), 3, 1);
    EXPECT_EQ(set.outputs, matrixOf(3, 1, {7, 8, 9}));
}

TEST(ReadTrainingData, ACountOfZeroReadsNoVectors) {
    TempDir dir;
    writeText(dir.file("in"), "0\r\n");
    writeText(dir.file("out"), "");
    const TrainingSet set = readTrainingData(dir.file("in"), dir.file("out"), 4, 2);
    EXPECT_EQ(set.count, 0);
    EXPECT_EQ(set.inputs.rows(), 0u);
    EXPECT_EQ(set.outputs.rows(), 0u);
}

TEST(ReadTrainingData, RefusesABadCount) {
    TempDir dir;
    const std::string tail = " is not a vector count (a whole number from 0 to 32767).";
    EXPECT_EQ(inputRefusal(dir, "2.5\r\n1\r\n2\r\n3\r\n", 1), "input.dat, line 1: \"2.5\"" + tail);
    EXPECT_EQ(inputRefusal(dir, "-1\r\n", 1), "input.dat, line 1: \"-1\"" + tail);
    EXPECT_EQ(inputRefusal(dir, "\r\n\r\n40000\r\n", 1), "input.dat, line 3: \"40000\"" + tail);
    EXPECT_EQ(inputRefusal(dir, "abc\r\n", 1), "input.dat, line 1: \"abc\"" + tail);
    EXPECT_EQ(inputRefusal(dir, "", 1),
              "input.dat: the file is empty; it must begin with the vector count.");
    EXPECT_EQ(inputRefusal(dir, "-0\r\n", 1), "(accepted)");
    EXPECT_EQ(inputRefusal(dir, "32767", 0), "(accepted)");
}

TEST(ReadTrainingData, NamesTheLineAndTextOfANonNumber) {
    TempDir dir;
    EXPECT_EQ(inputRefusal(dir, "2\r\n1\r\nabc\r\n4\r\n", 2),
              "input.dat, line 3: \"abc\" is not a number.");
    EXPECT_EQ(inputRefusal(dir, "2\r1\rabc\r4\r", 2),
              "input.dat, line 3: \"abc\" is not a number.");
    EXPECT_EQ(inputRefusal(dir, "2\n\n1 2\n\n\nx", 2), "input.dat, line 6: \"x\" is not a number.");
    EXPECT_EQ(inputRefusal(dir, "1\r\n1e400\r\n", 1),
              "input.dat, line 2: \"1e400\" is too large a number.");
    for (const char* bad : {"nan", "inf", "0x10", "1;2", "1.2.3", "--1"}) {
        EXPECT_EQ(inputRefusal(dir, std::string("1\r\n") + bad, 1),
                  std::string("input.dat, line 2: \"") + bad + "\" is not a number.");
    }
    EXPECT_EQ(inputRefusal(dir,
                           std::string("1\r\n1\0"
                                       "2\r\n",
                                       7),
                           1),
              "input.dat, line 2: \"1?2\" is not a number.");
}

TEST(ReadTrainingData, RefusesAShortFileSayingHowShort) {
    TempDir dir;
    EXPECT_EQ(inputRefusal(dir, "2\r\n1\r\n2\r\n3\r\n4\r\n5\r\n", 4),
              "input.dat: the file ends after 5 of the 8 values needed (2 vectors of 4).");
    writeText(dir.file("in"), "1\r\n1\r\n");
    writeText(dir.file("out"), "");
    try {
        readTrainingData(dir.file("in"), dir.file("out"), 1, 2);
        FAIL();
    } catch (const UserError& error) {
        EXPECT_EQ(
            std::string(error.what()),
            dir.file("out") + ": the file ends after 0 of the 2 values needed (1 vector of 2).");
    }
}

TEST(ReadTrainingData, RefusesTheLargestSizesWithoutAllocatingThem) {
    TempDir dir;
    // 32767 vectors of 32767 values would take 8 GiB; the file plainly holds three.
    EXPECT_EQ(inputRefusal(dir, "32767\r\n1\r\n2\r\n3\r\n", 32767),
              "input.dat: the file ends after 3 of the 1073676289 values needed "
              "(32767 vectors of 32767).");
    EXPECT_EQ(inputRefusal(dir, "32767\r\n1\r\nz\r\n", 32767),
              "input.dat, line 3: \"z\" is not a number.");
}

TEST(ReadTrainingData, RefusesALineOfAMillionDigits) {
    TempDir dir;
    const std::string message = inputRefusal(dir, "1\r\n" + std::string(1000000, '1') + "\r\n", 1);
    EXPECT_EQ(message.rfind("input.dat, line 2: \"1111", 0), 0u) << message;
    EXPECT_NE(message.find("is too long to be a number."), std::string::npos);
    EXPECT_LT(message.size(), 200u);
}

TEST(ReadTrainingData, ReportsMissingAndUnreadableFiles) {
    TempDir dir;
    try {
        readTrainingData(dir.file("nothing.dat"), std::nullopt, 1, 1);
        FAIL();
    } catch (const UserError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open the data file \"" + dir.file("nothing.dat") + "\".");
    }
    EXPECT_THROW(readTrainingData(dir.path().string(), std::nullopt, 1, 1), UserError);
    writeText(dir.file("in"), "1\r\n5\r\n");
    EXPECT_THROW(readTrainingData(dir.file("in"), dir.file("missing"), 1, 1), UserError);
}

// Numbers that straddle the reader's chunks, and a CR LF split between two chunks,
// read as anywhere else.
TEST(ReadTrainingData, ReadsAcrossChunkBoundaries) {
    TempDir dir;
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    std::string text = "1\r\n";
    text += std::string(kChunk - text.size() - 3, ' ');
    text += "12345";  // bytes kChunk-3 .. kChunk+1
    text += " ";
    text.resize(2 * kChunk - 1, '\t');
    text += "\r\n7\r\n";  // CR is the last byte of the second chunk
    text += std::string(kChunk, ',');
    text += "bad";
    writeText(dir.file("in"), text);
    try {
        readTrainingData(dir.file("in"), std::nullopt, 3, 1);
        FAIL();
    } catch (const UserError& error) {
        EXPECT_EQ(std::string(error.what()), dir.file("in") + ", line 4: \"bad\" is not a number.");
    }
    text.replace(text.size() - 3, 3, "-8");
    writeText(dir.file("in"), text);
    EXPECT_EQ(readTrainingData(dir.file("in"), std::nullopt, 3, 1).inputs,
              matrixOf(1, 3, {12345, 7, -8}));
}

TEST(WriteTrainingData, AFailedWriteLeavesTheOldFilesWhole) {
    TempDir dir;
    const std::string old = "1\r\n42\r\n";
    writeText(dir.file("input.txt"), old);
    const Matrix<double> big(2000, 100);
    {
        testing::FileSizeLimit limit(4096);
        EXPECT_THROW(writeTrainingData(dir.file("input.txt"), big, "", nullptr), UserError);
    }
    EXPECT_EQ(readText(dir.file("input.txt")), old);
    EXPECT_EQ(testing::entriesOf(dir.path()), std::vector<std::string>{"input.txt"});

    writeText(dir.file("blocker"), "a file, not a folder");
    try {
        writeTrainingData(dir.file("blocker") + "/input.txt", big, "", nullptr);
        FAIL();
    } catch (const UserError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot write the data file \"" + dir.file("blocker") + "/input.txt\".");
    }
    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_THROW(writeTrainingData(dir.file("folder"), big, "", nullptr), UserError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder")));
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_THROW(writeTrainingData("/dev/full", big, "", nullptr), UserError);
    }
}

// Any bytes at all give either a training set of the asked shape or a UserError.
TEST(ReadTrainingData, RandomBytesGiveASetOrAMessage) {
    TempDir dir;
    static constexpr char kAlphabet[] = "0123456789012345.-+eE,\r\n \t x\xEF\xBB\xBF";
    std::mt19937 random(31337);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 1);  // includes NUL
    std::uniform_int_distribution<int> length(0, 60);
    int accepted = 0;
    for (int round = 0; round < 400; ++round) {
        std::string text = round % 2 == 0 ? "2\r\n" : "";
        for (int i = length(random); i > 0; --i) {
            text.push_back(kAlphabet[pick(random)]);
        }
        writeText(dir.file("in"), text);
        try {
            const TrainingSet set = readTrainingData(dir.file("in"), dir.file("in"), 2, 1);
            ASSERT_EQ(set.inputs.rows(), static_cast<std::size_t>(set.count));
            ASSERT_EQ(set.inputs.cols(), 2u);
            ASSERT_EQ(set.outputs.rows(), static_cast<std::size_t>(set.count));
            ++accepted;
        } catch (const UserError&) {
        }
    }
    EXPECT_GT(accepted, 0);
}

TEST(ReadRecallVector, TakesTheFirstVectorUnlessTheFileEndsWithIt) {
    TempDir dir;
    const std::string path = dir.file("recall.dat");
    writeText(path, "2\r\n1\r\n2\r\n3\r\n4\r\n");
    EXPECT_EQ(readRecallVector(path, 2), (std::vector<double>{1, 2}));
    writeText(path, "99\r\n1,2,3");
    EXPECT_EQ(readRecallVector(path, 2), (std::vector<double>{1, 2}));
    writeText(path, "1\r\n1\r\n2\r\n");  // the end is reached with the vector's last value
    EXPECT_EQ(readRecallVector(path, 2), std::nullopt);
    writeText(path, "1\r\n1\r\n");
    EXPECT_EQ(readRecallVector(path, 2), std::nullopt);
    writeText(path, "");
    EXPECT_EQ(readRecallVector(path, 2), std::nullopt);
    writeText(path, "1\r\nx\r\n2\r\n");
    EXPECT_THROW(readRecallVector(path, 2), UserError);
    EXPECT_THROW(readRecallVector(dir.file("missing"), 2), UserError);
}

TEST(ReadRecallVectors, ReturnsEveryWholeVector) {
    TempDir dir;
    const std::string path = dir.file("recall.dat");
    writeText(path, "7\r\n1\r\n2\r\n3\r\n4\r\n");
    EXPECT_EQ(readRecallVectors(path, 2), (std::vector<std::vector<double>>{{1, 2}, {3, 4}}));
    writeText(path, "0 1 2 3");
    EXPECT_EQ(readRecallVectors(path, 2), (std::vector<std::vector<double>>{{1, 2}}));
    writeText(path, "");
    EXPECT_TRUE(readRecallVectors(path, 2).empty());
    writeText(path, "2 1 2 3 nan");
    EXPECT_THROW(readRecallVectors(path, 2), UserError);
}

}  // namespace
}  // namespace vornetica
