#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vornetica {

// Writes a file so that it is never seen half written: the text goes to a
// temporary file beside the target (the same name with a unique suffix), which is
// renamed over the target only when every byte was written and flushed. On any
// failure the temporary file is removed and an existing target stays as it was.
// A target that is a device or a pipe has no content to keep and is written in
// place; a target that is a folder is a failure.
class ReplacingFile {
  public:
    explicit ReplacingFile(const std::string& path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Appends text; after a failure it does nothing, and commit() reports it.
    void write(std::string_view text);
    void writeLine(std::string_view text);  // the text and CR LF
    // Writes out and closes the temporary file without putting it in place yet, so
    // that two files can both be finished before either replaces its target.
    // Returns false on failure (and then commit() fails too).
    bool finishWriting();
    // Finishes the file; returns whether it now stands complete at the target.
    bool commit();

  private:
    bool flushBuffer();
    void discard();

    std::string targetPath_;
    std::string temporaryPath_;  // empty when writing in place
    std::FILE* file_ = nullptr;
    std::string buffer_;
    bool failed_ = false;
    bool committed_ = false;
    bool finished_ = false;
};

// Whether two names lead to one file, so that writing both would leave only the
// second: the same file when both exist (the same device and inode, which also
// catches symbolic and hard links), otherwise the same absolute path once "." and
// ".." are taken out and the links of the folders that exist are followed.
bool namesOneFile(const std::string& first, const std::string& second);

}  // namespace vornetica
