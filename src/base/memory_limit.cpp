#include "base/memory_limit.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

namespace vornetica {

namespace {

std::optional<std::uint64_t> systemAvailableBytes() {
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line)) {
        std::istringstream fields(line);
        std::string name;
        std::uint64_t kilobytes = 0;
        if (fields >> name >> kilobytes && name == "MemAvailable:") {
            return kilobytes * 1024;
        }
    }
    return std::nullopt;
}

// The process's address space in use, from the first field of /proc/self/statm.
std::optional<std::uint64_t> addressSpaceInUseBytes() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    if (!(statm >> pages)) {
        return std::nullopt;
    }
    return pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

// Room under RLIMIT_AS. A sanitizer reserves terabytes of address space at start,
// so under a limit it has no room at all, which is the truth for its allocator.
std::optional<std::uint64_t> addressSpaceLeftBytes() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return std::nullopt;
    }
    const std::optional<std::uint64_t> inUse = addressSpaceInUseBytes();
    const auto cap = static_cast<std::uint64_t>(limit.rlim_cur);
    if (!inUse) {
        return cap;
    }
    return cap > *inUse ? cap - *inUse : 0;
}

}  // namespace

std::optional<std::uint64_t> memoryLeftBytes() {
    const std::optional<std::uint64_t> available = systemAvailableBytes();
    const std::optional<std::uint64_t> addressSpace = addressSpaceLeftBytes();
    if (available && addressSpace) {
        return std::min(*available, *addressSpace);
    }
    return available ? available : addressSpace;
}

bool fitsInMemory(std::uint64_t bytes) {
    const std::optional<std::uint64_t> left = memoryLeftBytes();
    return !left || bytes <= *left;
}

std::uint64_t matrixBytes(std::uint64_t rows, std::uint64_t cols, std::uint64_t elementBytes) {
    constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
    if (rows != 0 && cols > kMost / rows) {
        return kMost;
    }
    const std::uint64_t elements = rows * cols;
    if (elementBytes != 0 && elements > kMost / elementBytes) {
        return kMost;
    }
    return elements * elementBytes;
}

}  // namespace vornetica
