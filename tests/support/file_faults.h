#pragma once

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "data/file_calls.h"

namespace vornetica::testing {

// Makes every write beyond `bytes` into any file fail (as a full disk would) for
// the life of the object. Works for root too, unlike a read-only folder.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*savedHandler_)(int) = nullptr;
};

// Caps the process's address space at what it uses now plus `room` bytes for the
// life of the object, so that a network larger than that is refused however much
// memory the machine has. Counting from what is in use, rather than from zero,
// keeps the address sanitizer (which reserves terabytes at start) working.
class AddressSpaceRoom {
  public:
    explicit AddressSpaceRoom(std::uint64_t room);
    ~AddressSpaceRoom();
    AddressSpaceRoom(const AddressSpaceRoom&) = delete;
    AddressSpaceRoom& operator=(const AddressSpaceRoom&) = delete;

  private:
    rlimit saved_{};
};

// The system's file calls, counted, with call number `failAt` (from 1, over all
// calls; 0 for none) failing with `error` as a full or failing disk would. Writes
// take at most 256 KiB a call, as a slow device may. With `folderRefusesNewFiles`
// every new file is refused for want of permission, as in a folder the user may
// not write, which root cannot otherwise be shown.
class FaultyFileCalls : public FileCalls {
  public:
    FaultyFileCalls(int failAt, int error, bool folderRefusesNewFiles = false)
        : failAt_(failAt), error_(error), folderRefusesNewFiles_(folderRefusesNewFiles) {}

    int open(const char* path, int flags, mode_t mode) override;
    ssize_t write(int fd, const void* data, std::size_t size) override;
    int sync(int fd) override;
    int close(int fd) override;
    int rename(const char* from, const char* to) override;

    int callsMade() const { return calls_; }
    // One letter a call, in order: open, write, sync, close, rename.
    const std::string& trail() const { return trail_; }

  private:
    bool failsNow(char letter);

    int failAt_;
    int error_;
    bool folderRefusesNewFiles_;
    int calls_ = 0;
    std::string trail_;
};

// Makes `path` a file of `size` bytes that begins with `start` and is NUL bytes
// after it, as a hole that takes no room on the disk.
void writeSparseFile(const std::string& path, const std::string& start, std::uint64_t size);

// The names of the entries in a folder, sorted.
std::vector<std::string> entriesOf(const std::filesystem::path& folder);

}  // namespace vornetica::testing
