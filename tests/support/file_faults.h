#pragma once

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>

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

// Makes `path` a file of `size` bytes that begins with `start` and is NUL bytes
// after it, as a hole that takes no room on the disk.
void writeSparseFile(const std::string& path, const std::string& start, std::uint64_t size);

// The names of the entries in a folder, sorted.
std::vector<std::string> entriesOf(const std::filesystem::path& folder);

}  // namespace vornetica::testing
