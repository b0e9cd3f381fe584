#pragma once

#include <filesystem>
#include <string>

namespace vornetica::testing {

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of `name` inside the folder, as a string.
    std::string file(const std::string& name) const;

  private:
    std::filesystem::path path_;
};

void writeText(const std::string& path, const std::string& text);
std::string readText(const std::string& path);

}  // namespace vornetica::testing
