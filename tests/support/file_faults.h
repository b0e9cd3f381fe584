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

// The names of the entries in a folder, sorted.
std::vector<std::string> entriesOf(const std::filesystem::path& folder);

}  // namespace vornetica::testing
