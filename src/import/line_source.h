#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace vornetica {

// Reads a text file line by line in large blocks, so that the file is never held
// whole and a line costs no allocation. Lines end in LF or CR LF; a UTF-8 byte
// order mark at the start is dropped.
class LineSource {
  public:
    // Throws UserError `Cannot open "name".` when the file cannot be opened.
    explicit LineSource(const std::string& path);
    ~LineSource();
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // The next line without its line end, valid until the next call; false at the
    // end of the file. Throws UserError when the file cannot be read.
    bool next(std::string_view& line);
    // The number of the last line returned, counted from 1.
    std::int64_t line() const { return line_; }
    const std::string& path() const { return path_; }
    // The bytes returned so far, line ends included.
    std::int64_t bytesRead() const { return consumed_; }
    // The file's size in bytes, or -1 when it cannot be told.
    std::int64_t fileSize() const { return fileSize_; }

  private:
    bool refill();

    std::FILE* file_ = nullptr;
    std::string path_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    std::int64_t line_ = 0;
    std::int64_t consumed_ = 0;
    std::int64_t fileSize_ = -1;
};

}  // namespace vornetica
