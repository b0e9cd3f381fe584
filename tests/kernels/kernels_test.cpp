#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "kernels/exponentials.h"
#include "kernels/kernel_level.h"
#include "kernels/vector_kernels.h"
#include "neuron/neuron_functions.h"
#include "support/kernel_levels.h"

namespace vornetica {
namespace {

using testing::forEachKernelLevel;

// Sums and thresholds over the whole range the logistic function meets: tiny,
// ordinary, saturating and overflowing exponents, both signs, and the specials.
std::vector<double> someValues(std::size_t count, unsigned seed) {
    std::mt19937_64 engine(seed);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-40, 10);
    std::vector<double> values(count);
    for (double& value : values) {
        value = std::ldexp(mantissa(engine), exponent(engine));
    }
    const double specials[] = {0.0,
                               -0.0,
                               708.0,
                               -745.5,
                               800.0,
                               -800.0,
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::denorm_min()};
    for (std::size_t n = 0; n < std::size(specials) && n < count; ++n) {
        values[n] = specials[n];
    }
    return values;
}

TEST(Kernels, LogisticNodesAndLayersGiveTheNeuronLibrarysBits) {
    // An odd count reaches the scalar tail of every vector width.
    const std::vector<double> sums = someValues(100003, 7);
    const std::vector<double> thresholds = someValues(sums.size(), 8);
    forEachKernelLevel([&] {
        std::vector<double> net = sums;
        applyLogistic(net.data(), thresholds.data(), net.size());
        std::size_t mismatches = 0;
        for (std::size_t n = 0; n < net.size(); ++n) {
            const double expected = LogisticThreshold(sums[n] + thresholds[n]);
            const double single = logistic(sums[n] + thresholds[n]);
            if (std::bit_cast<std::uint64_t>(expected) != std::bit_cast<std::uint64_t>(net[n]) ||
                std::bit_cast<std::uint64_t>(expected) != std::bit_cast<std::uint64_t>(single)) {
                ADD_FAILURE() << "at " << n << ": " << sums[n] << " + " << thresholds[n];
                if (++mismatches == 5) {
                    break;
                }
            }
        }
    });
}

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The signal and scaling loops of backpropagation, at every vector width, against
// the expressions as written; the hidden signals are scaled in place.
TEST(Kernels, SignalLoopsGiveTheBitsOfTheirExpressions) {
    const std::vector<double> y = someValues(1003, 11);
    const std::vector<double> other = someValues(y.size(), 12);
    forEachKernelLevel([&] {
        std::vector<double> outputSignals(y.size()), scaled(y.size());
        std::vector<double> hiddenSignals = other;
        logisticOutputSignals(y.data(), other.data(), outputSignals.data(), y.size());
        logisticSignals(y.data(), hiddenSignals.data(), hiddenSignals.data(), y.size());
        products(0.7, y.data(), scaled.data(), y.size());
        for (std::size_t n = 0; n < y.size(); ++n) {
            ASSERT_TRUE(sameBits(((1.0 - y[n]) * y[n]) * (other[n] - y[n]), outputSignals[n])) << n;
            ASSERT_TRUE(sameBits(((1.0 - y[n]) * y[n]) * other[n], hiddenSignals[n])) << n;
            ASSERT_TRUE(sameBits(0.7 * y[n], scaled[n])) << n;
        }
    });
}

// Every width from one column to past two blocks, so that partial strips meet the
// matrix's end; each sum must be the plain loop's, over ascending rows.
TEST(Kernels, WeightedRowsGiveThePlainLoopsBits) {
    forEachKernelLevel([&] {
        for (std::size_t rows = 1; rows <= 5; ++rows) {
            for (std::size_t cols = 1; cols <= 70; ++cols) {
                // Exactly the matrix, so that a read past its end shows under the sanitizers.
                const std::vector<double> M = someValues(rows * cols, unsigned(rows * 100 + cols));
                const std::vector<double> factor = someValues(rows, 5);
                const std::vector<double> start = someValues(cols, 6);
                std::vector<double> acc = start;
                addWeightedRows(M.data(), rows, cols, factor.data(), acc.data());
                for (std::size_t c = 0; c < cols; ++c) {
                    double sum = start[c];
                    for (std::size_t r = 0; r < rows; ++r) {
                        sum = sum + M[r * cols + c] * factor[r];
                    }
                    ASSERT_TRUE(sameBits(sum, acc[c])) << rows << " x " << cols << " at " << c;
                }
            }
        }
    });
}

TEST(Kernels, ProcessorPicksTheWidestCopyItSupports) {
    EXPECT_TRUE(kernelLevelSupported(KernelLevel::Portable));
    const KernelLevel picked = kernelLevel();
    EXPECT_TRUE(kernelLevelSupported(picked));
    if (kernelLevelSupported(KernelLevel::Avx512)) {
        EXPECT_EQ(KernelLevel::Avx512, picked);
    } else if (kernelLevelSupported(KernelLevel::Avx2)) {
        EXPECT_EQ(KernelLevel::Avx2, picked);
    }
}

}  // namespace
}  // namespace vornetica
