#include "support/file_faults.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>

namespace vornetica::testing {

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limited);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, savedHandler_);
}

AddressSpaceRoom::AddressSpaceRoom(std::uint64_t room) {
    getrlimit(RLIMIT_AS, &saved_);
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    statm >> pages;
    rlimit capped = saved_;
    capped.rlim_cur =
        static_cast<rlim_t>(pages * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)) + room);
    setrlimit(RLIMIT_AS, &capped);
}

AddressSpaceRoom::~AddressSpaceRoom() {
    setrlimit(RLIMIT_AS, &saved_);
}

bool FaultyFileCalls::failsNow(char letter) {
    trail_.push_back(letter);
    if (++calls_ == failAt_) {
        errno = error_;
        return true;
    }
    return false;
}

int FaultyFileCalls::open(const char* path, int flags, mode_t mode) {
    if (failsNow('o')) {
        return -1;
    }
    if (folderRefusesNewFiles_ && (flags & O_CREAT) != 0) {
        errno = EACCES;
        return -1;
    }
    return ::open(path, flags, mode);
}

ssize_t FaultyFileCalls::write(int fd, const void* data, std::size_t size) {
    constexpr std::size_t kMostAtOnce = std::size_t{256} << 10;
    return failsNow('w') ? -1 : ::write(fd, data, std::min(size, kMostAtOnce));
}

int FaultyFileCalls::sync(int fd) {
    return failsNow('s') ? -1 : ::fsync(fd);
}

int FaultyFileCalls::close(int fd) {
    if (failsNow('c')) {
        ::close(fd);  // a failed close still frees the descriptor
        return -1;
    }
    return ::close(fd);
}

int FaultyFileCalls::rename(const char* from, const char* to) {
    return failsNow('r') ? -1 : std::rename(from, to);
}

void writeSparseFile(const std::string& path, const std::string& start, std::uint64_t size) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << start;
    }
    std::filesystem::resize_file(path, size);
}

std::vector<std::string> entriesOf(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vornetica::testing
