#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "kernels/kernel_level.h"

namespace vornetica::testing {

inline std::string levelName(KernelLevel level) {
    switch (level) {
        case KernelLevel::Avx512:
            return "avx512f";
        case KernelLevel::Avx2:
            return "avx2";
        case KernelLevel::Portable:
            break;
    }
    return "portable";
}

// Runs `check` once with every copy of the kernels this processor can run, then
// goes back to the copy the program picks by itself.
inline void forEachKernelLevel(const std::function<void()>& check) {
    const KernelLevel chosen = kernelLevel();
    for (KernelLevel level : {KernelLevel::Portable, KernelLevel::Avx2, KernelLevel::Avx512}) {
        if (!kernelLevelSupported(level)) {
            continue;
        }
        SCOPED_TRACE("kernels for " + levelName(level));
        useKernelLevel(level);
        check();
    }
    useKernelLevel(chosen);
}

}  // namespace vornetica::testing
