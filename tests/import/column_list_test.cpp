#include "import/column_list.h"

#include <gtest/gtest.h>

namespace vornetica {
namespace {

TEST(ColumnList, ReadsColumnsAndRangesCountedFromOne) {
    EXPECT_EQ(parseColumnList("1-4,6"), (std::vector<int>{0, 1, 2, 3, 5}));
    EXPECT_EQ(parseColumnList("7"), (std::vector<int>{6}));
    EXPECT_EQ(parseColumnList("3,1"), (std::vector<int>{2, 0}));
    EXPECT_EQ(parseColumnList("2-2"), (std::vector<int>{1}));
}

TEST(ColumnList, RefusesWhatIsNotAList) {
    for (const char* text :
         {"", "0", "1,", ",1", "4-1", "1-", "-3", "a", "1 2", "1-2-3", "99999", "1.5"}) {
        EXPECT_FALSE(parseColumnList(text)) << text;
    }
}

}  // namespace
}  // namespace vornetica
