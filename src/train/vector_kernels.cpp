#include "train/vector_kernels.h"

#include <cmath>

// The default build stays portable; the few hot loops get a copy per vector unit,
// picked once by the loader for the processor at hand.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define VORNETICA_VECTOR_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define VORNETICA_VECTOR_CLONES
#endif

namespace vornetica {

VORNETICA_VECTOR_CLONES
void addSquaredDifferences(double x, const double* __restrict u, double* __restrict acc,
                           std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        const double difference = x - u[j];
        acc[j] = acc[j] + difference * difference;
    }
}

VORNETICA_VECTOR_CLONES
void addSquares(const double* __restrict u, double* __restrict acc, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        acc[j] = acc[j] + u[j] * u[j];
    }
}

VORNETICA_VECTOR_CLONES
void addScaled(double c, const double* __restrict v, double* __restrict acc, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        acc[j] = acc[j] + c * v[j];
    }
}

VORNETICA_VECTOR_CLONES
void takeSquareRoots(double* v, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        v[j] = std::sqrt(v[j]);
    }
}

VORNETICA_VECTOR_CLONES
void divideElementwise(double* __restrict v, const double* __restrict divisors, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        v[j] = v[j] / divisors[j];
    }
}

// Whole numbers up to 2^31 in magnitude: v + 0.5 is exact, and |v + 0.5| > 32767.5
// holds exactly when v lies outside -32768 to 32767. The marks are or-ed, not
// counted, so no addition chain holds up the loop.
VORNETICA_VECTOR_CLONES
long addOuterProductPart(double x, const double* __restrict v, double* __restrict row,
                         std::size_t n) {
    long outOfRange = 0;
    for (std::size_t j = 0; j < n; ++j) {
        const double product = x * v[j];
        const double sum = row[j] + product;
        row[j] = sum;
        outOfRange |= static_cast<long>((std::abs(product + 0.5) > 32767.5) |
                                        (std::abs(sum + 0.5) > 32767.5));
    }
    return outOfRange;
}

}  // namespace vornetica
