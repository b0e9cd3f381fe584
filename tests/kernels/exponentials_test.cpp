#include "kernels/exponentials.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "kernels/kernel_level.h"
#include "support/kernel_levels.h"

namespace vornetica {
namespace {

using testing::forEachKernelLevel;

std::uint64_t bitsOf(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

// Where the copy of the C library's steps could go wrong: values whose k/128 step
// lies near a rounding boundary, the ends of the copied range and just beyond,
// ordinary values of every size, and arbitrary bit patterns (NaNs, infinities,
// subnormals, huge values).
std::vector<double> hardValues() {
    std::vector<double> values;
    const double perStep = 128.0 / std::log(2.0);
    for (int k = -73000; k <= 73000; k += 7) {
        const double halfway = (k + 0.5) / perStep;
        values.push_back(halfway);
        values.push_back(std::nextafter(halfway, 0.0));
        values.push_back(std::nextafter(halfway, 1e9));
        values.push_back(k / perStep);
    }
    for (const double end : {0x1p-54, 512.0, 708.0, 709.782712893384, 745.1332191019411}) {
        for (const double sign : {1.0, -1.0}) {
            values.push_back(sign * end);
            values.push_back(sign * std::nextafter(end, 0.0));
            values.push_back(sign * std::nextafter(end, 1e9));
        }
    }
    std::mt19937_64 engine(2024);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-60, 10);
    for (int n = 0; n < 400000; ++n) {
        values.push_back(std::ldexp(mantissa(engine), exponent(engine)));
    }
    for (int n = 0; n < 100000; ++n) {
        values.push_back(std::bit_cast<double>(engine()));
    }
    for (const double special :
         {0.0, -0.0, std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
          std::numeric_limits<double>::denorm_min()}) {
        values.push_back(special);
    }
    values.push_back(1.0);  // an odd count reaches the short last group
    return values;
}

TEST(Exponentials, GiveTheCLibrarysBitsForEveryCopy) {
    const std::vector<double> values = hardValues();
    forEachKernelLevel([&] {
        std::vector<double> results = values;
        exponentials(results.data(), results.size());
        int mismatches = 0;
        for (std::size_t n = 0; n < values.size() && mismatches < 5; ++n) {
            const double expected = std::exp(values[n]);
            // NaNs may differ in payload only.
            if (std::isnan(expected) ? !std::isnan(results[n])
                                     : bitsOf(expected) != bitsOf(results[n])) {
                ADD_FAILURE() << "exp(" << std::hexfloat << values[n] << ") gave " << results[n]
                              << ", the C library " << expected;
                ++mismatches;
            }
        }
    });
}

TEST(Exponentials, EveryLengthAndOffsetIsCovered) {
    // Lengths around each vector width, starting at unaligned places of a buffer.
    std::vector<double> buffer(64);
    forEachKernelLevel([&] {
        for (std::size_t offset = 0; offset < 3; ++offset) {
            for (std::size_t length = 0; length <= 19; ++length) {
                for (std::size_t n = 0; n < buffer.size(); ++n) {
                    buffer[n] = 0.37 * static_cast<double>(n) - 5.0;
                }
                exponentials(buffer.data() + offset, length);
                for (std::size_t n = 0; n < buffer.size(); ++n) {
                    const double original = 0.37 * static_cast<double>(n) - 5.0;
                    const bool inside = n >= offset && n < offset + length;
                    EXPECT_EQ(bitsOf(inside ? std::exp(original) : original), bitsOf(buffer[n]))
                        << "offset " << offset << ", length " << length << ", element " << n;
                }
            }
        }
    });
}

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__GLIBC__)
// Where the processor has the units, the exponentials must really go side by side:
// otherwise the small nets train at a fraction of their speed without any test
// noticing.
TEST(Exponentials, GoSideBySideWhereTheProcessorAllows) {
    if (!__builtin_cpu_supports("fma") || !__builtin_cpu_supports("avx2")) {
        GTEST_SKIP() << "no FMA and AVX2 here";
    }
    forEachKernelLevel(
        [] { EXPECT_EQ(kernelLevel() != KernelLevel::Portable, exponentialsSideBySide()); });
}
#endif

}  // namespace
}  // namespace vornetica
