#include "base/matrix.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vornetica {
namespace {

bool onCacheLine(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p) % 64 == 0;
}

// The training loops count on whole cache lines for the weights' rows.
TEST(Matrix, ValuesStartOnACacheLineHoweverMadeOrCopied) {
    for (std::size_t cols : {1u, 3u, 100u, 20000u}) {
        const Matrix<double> made(7, cols);
        const Matrix<double> copied = made;
        Matrix<std::int16_t> grown(1, 1);
        grown.values().resize(cols * 7 + 1);
        EXPECT_TRUE(onCacheLine(made.values().data())) << cols;
        EXPECT_TRUE(onCacheLine(copied.values().data())) << cols;
        EXPECT_TRUE(onCacheLine(grown.values().data())) << cols;
        EXPECT_EQ(made, copied);
    }
}

}  // namespace
}  // namespace vornetica
