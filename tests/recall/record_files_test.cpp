#include "recall/record_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/user_error.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace vornetica {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

const std::vector<double> kInputs = {0.5, -0.25, 10};
const std::vector<double> kOutputs = {1e-5, 2};

std::string refusalOf(const std::string& inputPath, const std::string& outputPath,
                      const std::vector<double>& outputs = kOutputs) {
    try {
        writeRecordFiles(inputPath, kInputs, outputPath, outputs);
    } catch (const UserError& error) {
        return error.what();
    }
    return "(written)";
}

class RecordFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeText(in, "old input\r\n");
        writeText(out, "old output\r\n");
    }

    // What the user had is there byte for byte, and no temporary file is left.
    void expectEarlierFilesWhole() const {
        EXPECT_EQ(readText(in), "old input\r\n");
        EXPECT_EQ(readText(out), "old output\r\n");
        EXPECT_EQ(testing::entriesOf(dir.path()), (std::vector<std::string>{"in.txt", "out.txt"}));
    }

    TempDir dir;
    std::string in = dir.file("in.txt");
    std::string out = dir.file("out.txt");
};

TEST_F(RecordFilesTest, HoldOneValueALineInTheFileNumberForm) {
    writeRecordFiles(in, kInputs, out, kOutputs);
    EXPECT_EQ(readText(in), "0.5\r\n-0.25\r\n10\r\n");
    EXPECT_EQ(readText(out), "1E-05\r\n2\r\n");
}

TEST_F(RecordFilesTest, AnOutputFileThatCannotBeWrittenLeavesBothEarlierFiles) {
    const std::string blocker = dir.file("blocker");
    writeText(blocker, "a file, not a folder");
    std::filesystem::create_directory(dir.file("folder"));
    for (const std::string& target :
         {dir.file("folder"), blocker + "/out.txt", dir.file("no such folder") + "/out.txt",
          std::string("/proc/vornetica-out.txt")}) {
        EXPECT_EQ(refusalOf(in, target), "Cannot write the record file " + target + ".");
        EXPECT_EQ(refusalOf(target, out), "Cannot write the record file " + target + ".");
    }
    std::filesystem::remove(blocker);
    std::filesystem::remove(dir.file("folder"));
    expectEarlierFilesWhole();
}

TEST_F(RecordFilesTest, AFullDeviceLeavesBothEarlierFiles) {
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(refusalOf(in, "/dev/full"), "Cannot write the record file /dev/full.");
        EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
    }
    {
        // A disk that fills up part way through the output values.
        testing::FileSizeLimit limit(1000);
        EXPECT_EQ(refusalOf(in, out, std::vector<double>(5000, 1.0 / 3.0)),
                  "Cannot write the record file " + out + ".");
    }
    expectEarlierFilesWhole();
}

TEST_F(RecordFilesTest, AFolderThatCannotBeWrittenTakesTheFilesInPlaceButNoNewFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into any folder; the fault sweep shows such a folder to root";
    }
    namespace fs = std::filesystem;
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const std::string refusal = refusalOf(in, dir.file("new.txt"));
    const std::string written = refusalOf(in, out);
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(refusal, "Cannot write the record file " + dir.file("new.txt") + ".");
    EXPECT_EQ(written, "(written)");
    EXPECT_EQ(readText(in), "0.5\r\n-0.25\r\n10\r\n");
    EXPECT_EQ(testing::entriesOf(dir.path()), (std::vector<std::string>{"in.txt", "out.txt"}));
}

TEST_F(RecordFilesTest, NamesMustBeGivenAndDiffer) {
    EXPECT_EQ(refusalOf("", out), "Please enter a file name for the record files.");
    EXPECT_EQ(refusalOf(in, ""), "Please enter a file name for the record files.");
    expectEarlierFilesWhole();
}

TEST_F(RecordFilesTest, TwoNamesOfOneFileAreRefused) {
    namespace fs = std::filesystem;
    fs::create_directory(dir.file("sub"));
    fs::create_symlink(in, dir.file("soft.txt"));
    fs::create_hard_link(in, dir.file("hard.txt"));
    const std::string absent = dir.file("absent.txt");
    const std::pair<std::string, std::string> pairs[] = {
        {in, in},
        {in, dir.file("sub/../in.txt")},
        {in, dir.file("soft.txt")},
        {dir.file("hard.txt"), in},
        {absent, dir.file("./absent.txt")},
        {absent, fs::relative(absent).string()},
    };
    for (const auto& [first, second] : pairs) {
        EXPECT_EQ(refusalOf(first, second),
                  "The input and output record files must have different names.")
            << first << " and " << second;
    }
    EXPECT_FALSE(fs::exists(absent));
    fs::remove(dir.file("soft.txt"));
    fs::remove(dir.file("hard.txt"));
    fs::remove(dir.file("sub"));
    expectEarlierFilesWhole();
    EXPECT_EQ(refusalOf(in, dir.file("sub.txt")), "(written)");
}

}  // namespace
}  // namespace vornetica
