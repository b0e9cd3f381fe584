#pragma once

#include <sys/types.h>
#include <cstddef>

namespace vornetica {

// The file-system calls through which files are written, each as the system call
// of the same name (a result of -1 with errno set on failure). Writers take them by
// reference so that a test can make any one of them fail; the program uses
// systemFileCalls() throughout.
class FileCalls {
  public:
    virtual ~FileCalls() = default;
    virtual int open(const char* path, int flags, mode_t mode) = 0;
    virtual ssize_t write(int fd, const void* data, std::size_t size) = 0;
    virtual int sync(int fd) = 0;  // fsync
    virtual int close(int fd) = 0;
    virtual int rename(const char* from, const char* to) = 0;
};

// The operating system's own calls. The object holds nothing.
FileCalls& systemFileCalls();

}  // namespace vornetica
