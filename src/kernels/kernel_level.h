#pragma once

// The few hot loops of training are compiled once per vector unit and the copy
// for the processor at hand is picked at the first call. Every copy runs the same
// additions and multiplications in the same order, and no copy fuses a multiply
// with an add (the build forbids contraction), so all give the same bits; the tests
// run each copy the machine supports against the plain loops.

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define VORNETICA_KERNEL_LEVELS 1
#define VORNETICA_AT_AVX512 __attribute__((target("avx512f")))
#define VORNETICA_AT_AVX2 __attribute__((target("avx2")))
// Only for copying arithmetic that fuses on purpose (train/exponentials.cpp).
#define VORNETICA_AT_AVX2_FMA __attribute__((target("avx2,fma")))
#define VORNETICA_KERNEL_BODY [[gnu::always_inline]] inline
#else
#define VORNETICA_KERNEL_LEVELS 0
#define VORNETICA_KERNEL_BODY inline
#endif

namespace vornetica {

enum class KernelLevel { Portable, Avx2, Avx512 };

bool kernelLevelSupported(KernelLevel level);

// The copy the kernels use now: the widest one the processor supports, unless a
// test chose another.
KernelLevel kernelLevel();

// For tests: the kernels use `level` from now on. It must be supported.
void useKernelLevel(KernelLevel level);

}  // namespace vornetica

// Defines `name` taking `params` and running `body` (an always-inline function
// taking the same arguments), once per vector unit, picked by kernelLevel().
#if VORNETICA_KERNEL_LEVELS
// The function callers use: it runs the copy for the vector unit chosen at start-up.
#define VORNETICA_DISPATCH(ret, name, params, args)  \
    ret name params {                                \
        switch (::vornetica::kernelLevel()) {        \
            case ::vornetica::KernelLevel::Avx512:   \
                return name##Avx512 args;            \
            case ::vornetica::KernelLevel::Avx2:     \
                return name##Avx2 args;              \
            case ::vornetica::KernelLevel::Portable: \
                break;                               \
        }                                            \
        return name##Portable args;                  \
    }
#define VORNETICA_KERNEL(ret, name, body, params, args)  \
    VORNETICA_AT_AVX512 static ret name##Avx512 params { \
        return body args;                                \
    }                                                    \
    VORNETICA_AT_AVX2 static ret name##Avx2 params {     \
        return body args;                                \
    }                                                    \
    static ret name##Portable params {                   \
        return body args;                                \
    }                                                    \
    VORNETICA_DISPATCH(ret, name, params, args)
// The same for a body templated on how many eight-wide columns it keeps in
// registers: as many as the vector unit has registers for.
#define VORNETICA_STRIP_KERNEL(ret, name, body, params, args) \
    VORNETICA_AT_AVX512 static ret name##Avx512 params {      \
        return body<4> args;                                  \
    }                                                         \
    VORNETICA_AT_AVX2 static ret name##Avx2 params {          \
        return body<2> args;                                  \
    }                                                         \
    static ret name##Portable params {                        \
        return body<1> args;                                  \
    }                                                         \
    VORNETICA_DISPATCH(ret, name, params, args)
#else
#define VORNETICA_KERNEL(ret, name, body, params, args) \
    ret name params {                                   \
        return body args;                               \
    }
#define VORNETICA_STRIP_KERNEL(ret, name, body, params, args) \
    ret name params {                                         \
        return body<1> args;                                  \
    }
#endif
