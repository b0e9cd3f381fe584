#include "data/export_file.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "base/user_error.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace vornetica {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

TEST(ExportFile, CsvQuotesOnlyTheFieldsThatNeedIt) {
    EXPECT_EQ(csvText({{".25", "-1E-05", ""}, {"10"}}), ".25,-1E-05,\r\n10\r\n");
    EXPECT_EQ(csvText({{"a,b", "say \"hi\"", "two\r\nlines", " padded", "in side"}}),
              "\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",\" padded\",in side\r\n");
    EXPECT_EQ(csvText({}), "");
}

TEST(ExportFile, AFailedWriteKeepsTheOldFileAndNamesIt) {
    TempDir dir;
    const std::string path = dir.file("chart.svg");
    writeText(path, "old");
    testing::FaultyFileCalls failing(2, ENOSPC);  // the first write
    try {
        writeExportFile(path, "new", failing);
        FAIL() << "a failed write was reported as saved";
    } catch (const UserError& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
    EXPECT_EQ(readText(path), "old");
    EXPECT_EQ(testing::entriesOf(dir.path()), std::vector<std::string>{"chart.svg"});
    writeExportFile(path, "new");
    EXPECT_EQ(readText(path), "new");
}

}  // namespace
}  // namespace vornetica
