// Files at and beyond the limits: huge files that are one endless item, counts
// that the file cannot back, and the odd numbers a hand-made file may hold.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/user_error.h"
#include "data/item_reader.h"
#include "data/training_data.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace vornetica {
namespace {

using testing::TempDir;
using testing::writeText;

constexpr std::uint64_t kTwoGigabytes = std::uint64_t{2} << 30;

std::string refusalOf(const std::string& path, int inputSize) {
    try {
        readTrainingData(path, std::nullopt, inputSize, 1);
    } catch (const UserError& error) {
        return error.what();
    }
    return "(accepted)";
}

// Two gigabytes of NUL bytes after the count line: refused at the first item,
// which is known to be too long after a few kilobytes, whatever the sizes.
TEST(DataLimits, ATwoGigabyteFileOfNulBytesIsRefusedAtItsFirstItem) {
    TempDir dir;
    const std::string path = dir.file("huge.dat");
    const std::string expected =
        path + ", line 2: \"" + std::string(40, '?') + "...\" is too long to be a number.";
    testing::writeSparseFile(path, "1\r\n", kTwoGigabytes);
    EXPECT_EQ(refusalOf(path, 1), expected);
    testing::writeSparseFile(path, "32767\r\n", kTwoGigabytes);
    EXPECT_EQ(refusalOf(path, 2), expected);
    EXPECT_EQ(refusalOf(path, 300), expected);
    EXPECT_THROW(readRecallVectors(path, 3), UserError);
    EXPECT_THROW(readRecallVector(path, 3), UserError);
}

// 32767 vectors of 32767 values would take 8 GiB; the file's size could hold them.
TEST(DataLimits, DataThatDoesNotFitInMemoryIsRefusedBeforeAllocating) {
    TempDir dir;
    const std::string path = dir.file("huge.dat");
    testing::writeSparseFile(path, "32767\r\n", kTwoGigabytes);
    std::string refusal;
    {
        testing::AddressSpaceRoom room(std::uint64_t{1} << 30);
        refusal = refusalOf(path, 32767);
    }
    EXPECT_EQ(refusal, path + ": the data (32767 vectors of 32767 values) does not fit in memory.");
}

// The reader stops at an item it knows is too long; asked for more, it passes over
// the rest of that item first, within a chunk and across chunks.
TEST(DataLimits, ReadingOnAfterATooLongItemFindsTheNextItem) {
    TempDir dir;
    const std::string path = dir.file("long.dat");
    for (const std::size_t length : {std::size_t{5000}, std::size_t{3} << 20}) {
        writeText(path, "1\n" + std::string(length, 'x') + " 7\r\n8");
        ItemReader reader(path, ItemSeparators::LinesCommasAndBlanks, "data file");
        std::string_view item;
        ASSERT_TRUE(reader.next(item));
        EXPECT_EQ(item, "1");
        ASSERT_TRUE(reader.next(item));
        EXPECT_TRUE(reader.itemTooLong());
        EXPECT_EQ(item, std::string(ItemReader::kMaxItemLength, 'x'));
        ASSERT_TRUE(reader.next(item));
        EXPECT_FALSE(reader.itemTooLong());
        EXPECT_EQ(item, "7");
        EXPECT_EQ(reader.line(), 2);
        ASSERT_TRUE(reader.next(item));
        EXPECT_EQ(item, "8");
        EXPECT_EQ(reader.line(), 3);
        EXPECT_FALSE(reader.next(item));
    }
}

TEST(DataLimits, ACountOf32767WithTooFewNumbersSaysHowManyThereAre) {
    TempDir dir;
    const std::string path = dir.file("few.dat");
    // The file is long enough by its size to hold 32767 values, so it is read.
    writeText(path, "32767\r\n1 2 3" + std::string(100000, '\n'));
    EXPECT_EQ(refusalOf(path, 1),
              path + ": the file ends after 3 of the 32767 values needed (32767 vectors of 1).");
    // Too short by its size: it is still read to the end, to say how far it goes.
    writeText(path, "32767\r\n1\r\n2\r\n");
    EXPECT_EQ(refusalOf(path, 3),
              path + ": the file ends after 2 of the 98301 values needed (32767 vectors of 3).");
}

TEST(DataLimits, OddNumbersReadAsTheRulesSay) {
    TempDir dir;
    const std::string path = dir.file("odd.dat");
    // -0 is a number (zero), a count may carry a zero fraction, CR alone ends a line
    // and a byte order mark is skipped.
    writeText(path,
              "\xEF\xBB\xBF"
              "2.0\r-0\r1E-400\r");
    const TrainingSet set = readTrainingData(path, std::nullopt, 1, 1);
    EXPECT_EQ(set.count, 2);
    EXPECT_EQ(set.inputs.at(0, 0), 0.0);
    EXPECT_TRUE(std::signbit(set.inputs.at(0, 0)));
    EXPECT_EQ(set.inputs.at(1, 0), 0.0);  // below the smallest double: zero

    writeText(path, "1\r\n0x10\r\n");
    EXPECT_EQ(refusalOf(path, 1), path + ", line 2: \"0x10\" is not a number.");
    writeText(path, "2.5\r\n1\r\n");
    EXPECT_EQ(refusalOf(path, 1),
              path + ", line 1: \"2.5\" is not a vector count (a whole number from 0 to 32767).");
    writeText(path, "1e400\r\n1\r\n");
    EXPECT_EQ(refusalOf(path, 1), path +
                                      ", line 1: \"1e400\" is not a vector count (a whole number "
                                      "from 0 to 32767).");
    writeText(path, "nan\r\n");
    EXPECT_EQ(refusalOf(path, 1),
              path + ", line 1: \"nan\" is not a vector count (a whole number from 0 to 32767).");
}

}  // namespace
}  // namespace vornetica
