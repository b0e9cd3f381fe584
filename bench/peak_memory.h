#pragma once

// Resident memory as the kernel counts it. Its peak is a high-water mark for the
// whole process; started afresh before each measurement, every repetition of a
// benchmark sees its own peak instead of the highest of all before it.

#include <unistd.h>

#include <fstream>
#include <string>

namespace vornetica::bench {

// The resident memory now.
inline long currentResidentBytes() {
    long pages = 0;
    long resident = 0;
    std::ifstream statm("/proc/self/statm");
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// Starts a new peak at the present resident memory (Linux 4.0 and later). Without
// it, only a program's first measurement would show its peak.
inline void resetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The highest resident memory since the last reset.
inline long peakResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmHWM:") {
            long kilobytes = 0;
            status >> kilobytes;
            return kilobytes * 1024L;
        }
    }
    return 0;
}

}  // namespace vornetica::bench
