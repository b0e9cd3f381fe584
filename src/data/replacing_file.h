#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "data/file_calls.h"

namespace vornetica {

// Writes a file so that it is never seen half written, not even after a power cut:
// the text goes to a temporary file beside the target (the same name with a unique
// suffix), which is synced to the disk and then renamed over the target, and the
// folder is synced after the rename. On any failure the temporary file is removed
// and an existing target stays as it was.
//
// When the folder does not let a file be created in it but the target itself may
// be written, the target is written in place, keeping its old content in memory
// to write back if anything fails; a crash during such a save can still leave the
// file partly written. A target that is a device (/dev/null) has no content to
// keep and is written in place; a target that is a folder or a pipe is a failure.
class ReplacingFile {
  public:
    explicit ReplacingFile(const std::string& path, FileCalls& calls = systemFileCalls());
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Appends text; after a failure it does nothing, and commit() reports it.
    void write(std::string_view text);
    void writeLine(std::string_view text);  // the text and CR LF
    // Writes out, syncs and closes the file without putting it in place yet, so
    // that several files can all be finished before any replaces its target.
    // Returns false on failure (and then commit() fails too).
    bool finishWriting();
    // Finishes the file; returns whether it now stands complete at the target.
    bool commit();

  private:
    enum class Mode { Replace, InPlace, Device };

    friend std::optional<std::size_t> commitTogether(std::span<ReplacingFile* const> files);

    void openTemporaryOrInPlace();
    bool openInPlace();
    bool flushBuffer();
    bool writeAll(int fd, std::string_view bytes);
    bool place();
    void unplace();
    void discard();
    void restoreOldContent();
    void dropBackup();
    std::string folder() const;

    FileCalls& calls_;
    std::string targetPath_;
    std::string temporaryPath_;  // empty when writing in place or once renamed
    std::string backupPath_;     // a second name of the old target while it is replaced
    Mode mode_ = Mode::Replace;
    int fd_ = -1;
    std::string buffer_;
    std::optional<std::string> oldContent_;  // in place: what to write back on failure
    bool targetExisted_ = false;
    bool failed_ = false;
    bool finished_ = false;
    bool placed_ = false;
    bool committed_ = false;
};

// Puts finished files in place together: the files are finished, then renamed over
// their targets, then their folders are synced; if any step fails for any file,
// every target is put back as it was. Returns the position of the first file that
// failed, or nothing when every file stands complete at its target.
std::optional<std::size_t> commitTogether(std::initializer_list<ReplacingFile*> files);
// The same for a number of files known only at run time.
std::optional<std::size_t> commitTogether(std::span<ReplacingFile* const> files);

// Whether two names lead to one file, so that writing both would leave only the
// second: the same file when both exist (the same device and inode, which also
// catches symbolic and hard links), otherwise the same absolute path once "." and
// ".." are taken out and the links of the folders that exist are followed.
bool namesOneFile(const std::string& first, const std::string& second);

}  // namespace vornetica
