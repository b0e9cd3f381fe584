#include "train/exponentials.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "train/kernel_level.h"

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

// Pairs of T[k] and the bits of H[k] less k << 45, k = 0..127: H[k] is the double
// nearest 2^(k/128), T[k] the double nearest (2^(k/128) - H[k]) / H[k]. Adding the
// whole step count's bits, n << 45 for the entry n mod 128, then gives 2^(n/128)'s
// head with its exponent. Made by scripts/exp-table.py.
// clang-format off
alignas(64) const std::uint64_t kTable[256] = {
    0x0000000000000000, 0x3ff0000000000000,
    0x3c9b3b4f1a88bf6e, 0x3feff63da9fb3335,
    0xbc7160139cd8dc5d, 0x3fefec9a3e778061,
    0xbc905e7a108766d1, 0x3fefe315e86e7f85,
    0x3c8cd2523567f613, 0x3fefd9b0d3158574,
    0xbc8bce8023f98efa, 0x3fefd06b29ddf6de,
    0x3c60f74e61e6c861, 0x3fefc74518759bc8,
    0x3c90a3e45b33d399, 0x3fefbe3ecac6f383,
    0x3c979aa65d837b6d, 0x3fefb5586cf9890f,
    0x3c8eb51a92fdeffc, 0x3fefac922b7247f7,
    0x3c3ebe3d702f9cd1, 0x3fefa3ec32d3d1a2,
    0xbc6a033489906e0b, 0x3fef9b66affed31b,
    0xbc9556522a2fbd0e, 0x3fef9301d0125b51,
    0xbc5080ef8c4eea55, 0x3fef8abdc06c31cc,
    0xbc91c923b9d5f416, 0x3fef829aaea92de0,
    0x3c80d3e3e95c55af, 0x3fef7a98c8a58e51,
    0xbc801b15eaa59348, 0x3fef72b83c7d517b,
    0xbc8f1ff055de323d, 0x3fef6af9388c8dea,
    0x3c8b898c3f1353bf, 0x3fef635beb6fcb75,
    0xbc96d99c7611eb26, 0x3fef5be084045cd4,
    0x3c9aecf73e3a2f60, 0x3fef54873168b9aa,
    0xbc8fe782cb86389d, 0x3fef4d5022fcd91d,
    0x3c8a6f4144a6c38d, 0x3fef463b88628cd6,
    0x3c807a05b0e4047d, 0x3fef3f49917ddc96,
    0x3c968efde3a8a894, 0x3fef387a6e756238,
    0x3c875e18f274487d, 0x3fef31ce4fb2a63f,
    0x3c80472b981fe7f2, 0x3fef2b4565e27cdd,
    0xbc96b87b3f71085e, 0x3fef24dfe1f56381,
    0x3c82f7e16d09ab31, 0x3fef1e9df51fdee1,
    0xbc3d219b1a6fbffa, 0x3fef187fd0dad990,
    0x3c8b3782720c0ab4, 0x3fef1285a6e4030b,
    0x3c6e149289cecb8f, 0x3fef0cafa93e2f56,
    0x3c834d754db0abb6, 0x3fef06fe0a31b715,
    0x3c864201e2ac744c, 0x3fef0170fc4cd831,
    0x3c8fdd395dd3f84a, 0x3feefc08b26416ff,
    0xbc86a3803b8e5b04, 0x3feef6c55f929ff1,
    0xbc924aedcc4b5068, 0x3feef1a7373aa9cb,
    0xbc9907f81b512d8e, 0x3feeecae6d05d866,
    0xbc71d1e83e9436d2, 0x3feee7db34e59ff7,
    0xbc991919b3ce1b15, 0x3feee32dc313a8e5,
    0x3c859f48a72a4c6d, 0x3feedea64c123422,
    0xbc9312607a28698a, 0x3feeda4504ac801c,
    0xbc58a78f4817895b, 0x3feed60a21f72e2a,
    0xbc7c2c9b67499a1b, 0x3feed1f5d950a897,
    0x3c4363ed60c2ac11, 0x3feece086061892d,
    0x3c9666093b0664ef, 0x3feeca41ed1d0057,
    0x3c6ecce1daa10379, 0x3feec6a2b5c13cd0,
    0x3c93ff8e3f0f1230, 0x3feec32af0d7d3de,
    0x3c7690cebb7aafb0, 0x3feebfdad5362a27,
    0x3c931dbdeb54e077, 0x3feebcb299fddd0d,
    0xbc8f94340071a38e, 0x3feeb9b2769d2ca7,
    0xbc87deccdc93a349, 0x3feeb6daa2cf6642,
    0xbc78dec6bd0f385f, 0x3feeb42b569d4f82,
    0xbc861246ec7b5cf6, 0x3feeb1a4ca5d920f,
    0x3c93350518fdd78e, 0x3feeaf4736b527da,
    0x3c7b98b72f8a9b05, 0x3feead12d497c7fd,
    0x3c9063e1e21c5409, 0x3feeab07dd485429,
    0x3c34c7855019c6ea, 0x3feea9268a5946b7,
    0x3c9432e62b64c035, 0x3feea76f15ad2148,
    0xbc8ce44a6199769f, 0x3feea5e1b976dc09,
    0xbc8c33c53bef4da8, 0x3feea47eb03a5585,
    0xbc845378892be9ae, 0x3feea34634ccc320,
    0xbc93cedd78565858, 0x3feea23882552225,
    0x3c5710aa807e1964, 0x3feea155d44ca973,
    0xbc93b3efbf5e2228, 0x3feea09e667f3bcd,
    0xbc6a12ad8734b982, 0x3feea012750bdabf,
    0xbc6367efb86da9ee, 0x3fee9fb23c651a2f,
    0xbc80dc3d54e08851, 0x3fee9f7df9519484,
    0xbc781f647e5a3ecf, 0x3fee9f75e8ec5f74,
    0xbc86ee4ac08b7db0, 0x3fee9f9a48a58174,
    0xbc8619321e55e68a, 0x3fee9feb564267c9,
    0x3c909ccb5e09d4d3, 0x3feea0694fde5d3f,
    0xbc7b32dcb94da51d, 0x3feea11473eb0187,
    0x3c94ecfd5467c06b, 0x3feea1ed0130c132,
    0x3c65ebe1abd66c55, 0x3feea2f336cf4e62,
    0xbc88a1c52fb3cf42, 0x3feea427543e1a12,
    0xbc9369b6f13b3734, 0x3feea589994cce13,
    0xbc805e843a19ff1e, 0x3feea71a4623c7ad,
    0xbc94d450d872576e, 0x3feea8d99b4492ed,
    0x3c90ad675b0e8a00, 0x3feeaac7d98a6699,
    0x3c8db72fc1f0eab4, 0x3feeace5422aa0db,
    0xbc65b6609cc5e7ff, 0x3feeaf3216b5448c,
    0x3c7bf68359f35f44, 0x3feeb1ae99157736,
    0xbc93091fa71e3d83, 0x3feeb45b0b91ffc6,
    0xbc5da9b88b6c1e29, 0x3feeb737b0cdc5e5,
    0xbc6c23f97c90b959, 0x3feeba44cbc8520f,
    0xbc92434322f4f9aa, 0x3feebd829fde4e50,
    0xbc85ca6cd7668e4b, 0x3feec0f170ca07ba,
    0x3c71affc2b91ce27, 0x3feec49182a3f090,
    0x3c6dd235e10a73bb, 0x3feec86319e32323,
    0xbc87c50422622263, 0x3feecc667b5de565,
    0x3c8b1c86e3e231d5, 0x3feed09bec4a2d33,
    0xbc91bbd1d3bcbb15, 0x3feed503b23e255d,
    0x3c90cc319cee31d2, 0x3feed99e1330b358,
    0x3c8469846e735ab3, 0x3feede6b5579fdbf,
    0xbc82dfcd978e9db4, 0x3feee36bbfd3f37a,
    0x3c8c1a7792cb3387, 0x3feee89f995ad3ad,
    0xbc907b8f4ad1d9fa, 0x3feeee07298db666,
    0xbc55c3d956dcaeba, 0x3feef3a2b84f15fb,
    0xbc90a40e3da6f640, 0x3feef9728de5593a,
    0xbc68d6f438ad9334, 0x3feeff76f2fb5e47,
    0xbc91eee26b588a35, 0x3fef05b030a1064a,
    0x3c74ffd70a5fddcd, 0x3fef0c1e904bc1d2,
    0xbc91bdfbfa9298ac, 0x3fef12c25bd71e09,
    0x3c736eae30af0cb3, 0x3fef199bdd85529c,
    0x3c8ee3325c9ffd94, 0x3fef20ab5fffd07a,
    0x3c84e08fd10959ac, 0x3fef27f12e57d14b,
    0x3c63cdaf384e1a67, 0x3fef2f6d9406e7b5,
    0x3c676b2c6c921968, 0x3fef3720dcef9069,
    0xbc808a1883ccb5d2, 0x3fef3f0b555dc3fa,
    0xbc8fad5d3ffffa6f, 0x3fef472d4a07897c,
    0xbc900dae3875a949, 0x3fef4f87080d89f2,
    0x3c74a385a63d07a7, 0x3fef5818dcfba487,
    0xbc82919e2040220f, 0x3fef60e316c98398,
    0x3c8e5a50d5c192ac, 0x3fef69e603db3285,
    0x3c843a59ac016b4b, 0x3fef7321f301b460,
    0xbc82d52107b43e1f, 0x3fef7c97337b9b5f,
    0xbc892ab93b470dc9, 0x3fef864614f5a129,
    0x3c74b604603a88d3, 0x3fef902ee78b3ff6,
    0x3c83c5ec519d7271, 0x3fef9a51fbc74c83,
    0xbc8ff7128fd391f0, 0x3fefa4afa2a490da,
    0xbc8dae98e223747d, 0x3fefaf482d8e67f1,
    0x3c8ec3bc41aa2008, 0x3fefba1bee615a27,
    0x3c842b94c3a9eb32, 0x3fefc52b376bba97,
    0x3c8a64a931d185ee, 0x3fefd0765b6e4540,
    0xbc8e37bae43be3ed, 0x3fefdbfdad9cbe14,
    0x3c77893b4d91cd9d, 0x3fefe7c1819e90d8,
    0x3c5305c14160cc89, 0x3feff3c22b8f71f1,
};
// clang-format on

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
