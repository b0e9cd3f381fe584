#include "kernels/kernel_level.h"

#include <atomic>

namespace vornetica {

namespace {

KernelLevel widestSupported() {
    if (kernelLevelSupported(KernelLevel::Avx512)) {
        return KernelLevel::Avx512;
    }
    if (kernelLevelSupported(KernelLevel::Avx2)) {
        return KernelLevel::Avx2;
    }
    return KernelLevel::Portable;
}

// The choice, made once; only tests change it afterwards.
std::atomic<KernelLevel>& chosenLevel() {
    static std::atomic<KernelLevel> level{widestSupported()};
    return level;
}

}  // namespace

bool kernelLevelSupported(KernelLevel level) {
#if VORNETICA_KERNEL_LEVELS
    switch (level) {
        case KernelLevel::Avx512:
            return __builtin_cpu_supports("avx512f");
        case KernelLevel::Avx2:
            return __builtin_cpu_supports("avx2");
        case KernelLevel::Portable:
            return true;
    }
    return false;
#else
    return level == KernelLevel::Portable;
#endif
}

KernelLevel kernelLevel() {
    return chosenLevel().load(std::memory_order_relaxed);
}

void useKernelLevel(KernelLevel level) {
    chosenLevel().store(level, std::memory_order_relaxed);
}

}  // namespace vornetica
