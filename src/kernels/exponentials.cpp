#include "kernels/exponentials.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "kernels/kernel_level.h"

#if VORNETICA_KERNEL_LEVELS && defined(__GLIBC__)
#define VORNETICA_EXP_LANES 1
#include <immintrin.h>
#else
#define VORNETICA_EXP_LANES 0
#endif

namespace vornetica {

namespace {

// What the lanes compute, one value at a time: exp(v[j]), or for a logistic layer
// 1 / (1 + exp(-(v[j] + thresholds[j]))).
template <bool Logistic>
void oneByOne(double* v, const double* thresholds, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        if constexpr (Logistic) {
            v[j] = 1.0 / (1.0 + std::exp(-(v[j] + thresholds[j])));
        } else {
            v[j] = std::exp(v[j]);
        }
    }
}

#if VORNETICA_EXP_LANES

// The C library's exp (GNU, since 2.28) takes x with 2^-54 <= |x| < 512 as
// 2^(k/128) * exp(r), x = k ln2/128 + r, |r| <= ln2/256: k from x / (ln2/128)
// rounded by adding 1.5 * 2^52, r from ln2/128 in two parts, 2^(k/128) from a
// table as H * (1 + T), exp(r) - 1 from a polynomial, and the result as
// H + H * (T + r + ...). On a processor with FMA and AVX2 it runs the form with
// fused multiply-adds, and so do the lanes below, fused exactly where it fuses and
// nowhere else: that is what gives its bits. The lanes replace the one exp call per
// node that dominated the training of small nets. Whether the library at hand
// still computes this way is checked at first use (sideBySideCopyHolds).
// The constants, as bits: 128/ln2, the rounding shift, -ln2/128 in two parts and
// the polynomial's coefficients of r^2 to r^5.
const double kInverseLn2N = std::bit_cast<double>(std::uint64_t{0x40671547652b82fe});
const double kShift = std::bit_cast<double>(std::uint64_t{0x4338000000000000});
const double kNegLn2HighN = std::bit_cast<double>(std::uint64_t{0xbf762e42fefa0000});
const double kNegLn2LowN = std::bit_cast<double>(std::uint64_t{0xbd0cf79abc9e3b3a});
const double kC2 = std::bit_cast<double>(std::uint64_t{0x3fdffffffffffdbd});
const double kC3 = std::bit_cast<double>(std::uint64_t{0x3fc555555555543c});
const double kC4 = std::bit_cast<double>(std::uint64_t{0x3fa55555cf172b91});
const double kC5 = std::bit_cast<double>(std::uint64_t{0x3f81111167a4d017});
constexpr double kSmallest = 0x1p-54;  // below: the library returns 1 + x
constexpr double kLargest = 512.0;     // from here: its overflow and underflow cases
constexpr long long kSignBit = static_cast<long long>(0x8000000000000000u);

// The exponent table, T[k] and H[k] for k = 0..127, is generated.
#include "kernels/exponential_table.h"

// One vector width's steps. Lanes outside [kSmallest, kLargest) in magnitude, and
// NaNs, come out wrong and are flagged false in `inRange`.
struct Avx512Lanes {
    using Values = __m512d;
    using Mask = __mmask8;
    static constexpr std::size_t kWidth = 8;

    // The masked forms: the plain ones start from an undefined register, which
    // this compiler takes for a read of an uninitialised value.
    VORNETICA_AT_AVX512 static __m512i shiftLeft(__m512i v, unsigned count) {
        return _mm512_maskz_slli_epi64(Mask(0xff), v, count);
    }
    VORNETICA_AT_AVX512 static __m512i gather(__m512i index, const std::uint64_t* base) {
        return _mm512_mask_i64gather_epi64(_mm512_setzero_si512(), Mask(0xff), index, base, 8);
    }

    VORNETICA_AT_AVX512 static Values exp(Values x, Mask& inRange) {
        const Values size = _mm512_abs_pd(x);
        inRange = _mm512_cmp_pd_mask(size, _mm512_set1_pd(kSmallest), _CMP_GE_OQ) &
                  _mm512_cmp_pd_mask(size, _mm512_set1_pd(kLargest), _CMP_LT_OQ);
        const Values shifted =
            _mm512_fmadd_pd(x, _mm512_set1_pd(kInverseLn2N), _mm512_set1_pd(kShift));
        const __m512i ki = _mm512_castpd_si512(shifted);
        const Values kd = _mm512_sub_pd(shifted, _mm512_set1_pd(kShift));
        Values r = _mm512_fmadd_pd(kd, _mm512_set1_pd(kNegLn2HighN), x);
        r = _mm512_fmadd_pd(kd, _mm512_set1_pd(kNegLn2LowN), r);
        const __m512i index = shiftLeft(_mm512_and_si512(ki, _mm512_set1_epi64(127)), 1);
        const Values tail = _mm512_castsi512_pd(gather(index, kTable));
        const __m512i scaleBits = _mm512_add_epi64(gather(index, kTable + 1), shiftLeft(ki, 45));
        const Values low = _mm512_fmadd_pd(r, _mm512_set1_pd(kC3), _mm512_set1_pd(kC2));
        const Values high = _mm512_fmadd_pd(r, _mm512_set1_pd(kC5), _mm512_set1_pd(kC4));
        const Values r2 = _mm512_mul_pd(r, r);
        Values sum = _mm512_fmadd_pd(low, r2, _mm512_add_pd(r, tail));
        sum = _mm512_fmadd_pd(_mm512_mul_pd(r2, r2), high, sum);
        const Values scale = _mm512_castsi512_pd(scaleBits);
        return _mm512_fmadd_pd(scale, sum, scale);
    }

    template <bool Logistic>
    VORNETICA_AT_AVX512 static void run(double* v, const double* thresholds, std::size_t n) {
        const Values one = _mm512_set1_pd(1.0);
        for (std::size_t j = 0; j < n; j += kWidth) {
            const Mask present = n - j >= kWidth ? Mask(0xff) : Mask((1u << (n - j)) - 1);
            Values x = _mm512_maskz_loadu_pd(present, v + j);
            if constexpr (Logistic) {
                const Values sum = _mm512_add_pd(x, _mm512_maskz_loadu_pd(present, thresholds + j));
                x = _mm512_castsi512_pd(
                    _mm512_xor_epi64(_mm512_castpd_si512(sum), _mm512_set1_epi64(kSignBit)));
            }
            Mask inRange;
            Values e = exp(x, inRange);
            const Mask missed = present & Mask(~inRange);
            if (missed != 0) {
                e = redo(e, x, missed);
            }
            if constexpr (Logistic) {
                e = _mm512_div_pd(one, _mm512_add_pd(one, e));
            }
            _mm512_mask_storeu_pd(v + j, present, e);
        }
    }

    // The lanes the copy does not cover, by the library itself.
    VORNETICA_AT_AVX512 static Values redo(Values e, Values x, Mask missed) {
        alignas(64) double values[kWidth];
        alignas(64) double exps[kWidth];
        _mm512_store_pd(values, x);
        _mm512_store_pd(exps, e);
        for (std::size_t l = 0; l < kWidth; ++l) {
            if ((missed >> l) & 1u) {
                exps[l] = std::exp(values[l]);
            }
        }
        return _mm512_load_pd(exps);
    }
};

struct Avx2Lanes {
    using Values = __m256d;
    static constexpr std::size_t kWidth = 4;

    VORNETICA_AT_AVX2_FMA static Values exp(Values x, int& inRange) {
        const Values size = _mm256_andnot_pd(_mm256_set1_pd(-0.0), x);
        inRange = _mm256_movemask_pd(
            _mm256_and_pd(_mm256_cmp_pd(size, _mm256_set1_pd(kSmallest), _CMP_GE_OQ),
                          _mm256_cmp_pd(size, _mm256_set1_pd(kLargest), _CMP_LT_OQ)));
        const Values shifted =
            _mm256_fmadd_pd(x, _mm256_set1_pd(kInverseLn2N), _mm256_set1_pd(kShift));
        const __m256i ki = _mm256_castpd_si256(shifted);
        const Values kd = _mm256_sub_pd(shifted, _mm256_set1_pd(kShift));
        Values r = _mm256_fmadd_pd(kd, _mm256_set1_pd(kNegLn2HighN), x);
        r = _mm256_fmadd_pd(kd, _mm256_set1_pd(kNegLn2LowN), r);
        const __m256i index = _mm256_slli_epi64(_mm256_and_si256(ki, _mm256_set1_epi64x(127)), 1);
        const auto* table = reinterpret_cast<const long long*>(kTable);
        const Values tail = _mm256_castsi256_pd(_mm256_i64gather_epi64(table, index, 8));
        const __m256i scaleBits = _mm256_add_epi64(_mm256_i64gather_epi64(table + 1, index, 8),
                                                   _mm256_slli_epi64(ki, 45));
        const Values low = _mm256_fmadd_pd(r, _mm256_set1_pd(kC3), _mm256_set1_pd(kC2));
        const Values high = _mm256_fmadd_pd(r, _mm256_set1_pd(kC5), _mm256_set1_pd(kC4));
        const Values r2 = _mm256_mul_pd(r, r);
        Values sum = _mm256_fmadd_pd(low, r2, _mm256_add_pd(r, tail));
        sum = _mm256_fmadd_pd(_mm256_mul_pd(r2, r2), high, sum);
        const Values scale = _mm256_castsi256_pd(scaleBits);
        return _mm256_fmadd_pd(scale, sum, scale);
    }

    template <bool Logistic>
    VORNETICA_AT_AVX2_FMA static void run(double* v, const double* thresholds, std::size_t n) {
        const Values one = _mm256_set1_pd(1.0);
        std::size_t j = 0;
        for (; j + kWidth <= n; j += kWidth) {
            Values x = _mm256_loadu_pd(v + j);
            if constexpr (Logistic) {
                x = _mm256_xor_pd(_mm256_add_pd(x, _mm256_loadu_pd(thresholds + j)),
                                  _mm256_set1_pd(-0.0));
            }
            int inRange;
            Values e = exp(x, inRange);
            if (inRange != 0xf) {
                alignas(32) double values[kWidth];
                alignas(32) double exps[kWidth];
                _mm256_store_pd(values, x);
                _mm256_store_pd(exps, e);
                for (std::size_t l = 0; l < kWidth; ++l) {
                    if (((inRange >> l) & 1) == 0) {
                        exps[l] = std::exp(values[l]);
                    }
                }
                e = _mm256_load_pd(exps);
            }
            if constexpr (Logistic) {
                e = _mm256_div_pd(one, _mm256_add_pd(one, e));
            }
            _mm256_storeu_pd(v + j, e);
        }
        oneByOne<Logistic>(v + j, Logistic ? thresholds + j : nullptr, n - j);
    }
};

// Values across the range the copy covers, at irregular steps so that every table
// entry and both signs come up many times, and values next to the halfway points
// between two steps k, where rounding x * 128/ln2 fused or not picks another k;
// each against the library's own result. A library computing another way, or
// without the fused steps, differs from the copy on a good share of them.
bool copyGivesLibraryBits(void (*copy)(double*, const double*, std::size_t)) {
    constexpr std::size_t kCount = 4096;
    double values[kCount];
    std::uint64_t state = 0x9e3779b97f4a7c15u;
    for (std::size_t j = 0; j < kCount; ++j) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        const double unit = static_cast<double>(state >> 11) * 0x1p-53;
        // Mostly where the logistic function lives, some out to the ends of the range.
        values[j] = j % 8 == 0 ? (unit - 0.5) * 1000.0 : (unit - 0.5) * 80.0;
        if (j % 4 == 1) {
            const double halfway = (std::floor(values[j] * kInverseLn2N) + 0.5) / kInverseLn2N;
            values[j] = std::nextafter(halfway, j % 8 == 1 ? 0.0 : 1000.0);
        }
    }
    double results[kCount];
    for (std::size_t j = 0; j < kCount; ++j) {
        results[j] = values[j];
    }
    copy(results, nullptr, kCount);
    for (std::size_t j = 0; j < kCount; ++j) {
        if (std::bit_cast<std::uint64_t>(results[j]) !=
            std::bit_cast<std::uint64_t>(std::exp(values[j]))) {
            return false;
        }
    }
    return true;
}

// The library picks its fused form only where FMA and AVX2 both work.
bool fusedFormAvailable() {
    return __builtin_cpu_supports("fma") && __builtin_cpu_supports("avx2");
}

bool avx512CopyHolds() {
    static const bool holds = kernelLevelSupported(KernelLevel::Avx512) && fusedFormAvailable() &&
                              copyGivesLibraryBits(&Avx512Lanes::run<false>);
    return holds;
}

bool avx2CopyHolds() {
    static const bool holds = kernelLevelSupported(KernelLevel::Avx2) && fusedFormAvailable() &&
                              copyGivesLibraryBits(&Avx2Lanes::run<false>);
    return holds;
}

#endif

}  // namespace

bool exponentialsSideBySide() {
#if VORNETICA_EXP_LANES
    switch (kernelLevel()) {
        case KernelLevel::Avx512:
            return avx512CopyHolds();
        case KernelLevel::Avx2:
            return avx2CopyHolds();
        case KernelLevel::Portable:
            break;
    }
#endif
    return false;
}

namespace {

template <bool Logistic>
void computeLayer(double* v, const double* thresholds, std::size_t n) {
#if VORNETICA_EXP_LANES
    switch (kernelLevel()) {
        case KernelLevel::Avx512:
            if (avx512CopyHolds()) {
                Avx512Lanes::run<Logistic>(v, thresholds, n);
                return;
            }
            break;
        case KernelLevel::Avx2:
            if (avx2CopyHolds()) {
                Avx2Lanes::run<Logistic>(v, thresholds, n);
                return;
            }
            break;
        case KernelLevel::Portable:
            break;
    }
#endif
    oneByOne<Logistic>(v, thresholds, n);
}

}  // namespace

void exponentials(double* v, std::size_t n) {
    computeLayer<false>(v, nullptr, n);
}

void applyLogistic(double* net, const double* thresholds, std::size_t n) {
    computeLayer<true>(net, thresholds, n);
}

}  // namespace vornetica
