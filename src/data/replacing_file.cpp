#include "data/replacing_file.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>
#include <utility>
#include <vector>

namespace vornetica {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBufferLimit = std::size_t{1} << 20;
// The buffer grows towards the limit as text comes: most saves are small, and a
// megabyte set aside for each would cost more than the save.
constexpr std::size_t kFirstBufferBytes = std::size_t{1} << 14;

// Saving through a symbolic link replaces the file it points to, not the link.
std::string resolvedTarget(const std::string& path) {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(path, error))) {
        const fs::path target = fs::weakly_canonical(path, error);
        if (!error) {
            return target.string();
        }
    }
    return path;
}

std::string hexText(unsigned value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (int shift = 28; shift >= 0; shift -= 4) {
        text.push_back(kDigits[(value >> shift) & 0xFu]);
    }
    return text;
}

// A name beside the target that no file has yet: the target's name with a random
// suffix.
std::string nameBeside(const std::string& target, std::random_device& device) {
    return target + ".tmp" + hexText(device());
}

// Syncs a folder so that a rename in it survives a power cut. A folder that may
// not be opened for reading, or a file system that cannot sync folders, is left
// as it is: the rename itself has already succeeded.
bool syncFolder(FileCalls& calls, const std::string& folder) {
    const int fd = calls.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) {
        return errno == EACCES || errno == EPERM;
    }
    const bool synced = calls.sync(fd) == 0 || errno == EINVAL;
    const bool closed = calls.close(fd) == 0;
    return synced && closed;
}

std::filesystem::path normalisedPath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error) {
        return fs::path(path).lexically_normal();
    }
    const fs::path resolved = fs::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal() : resolved;
}

}  // namespace

bool namesOneFile(const std::string& first, const std::string& second) {
    std::error_code error;
    if (fs::exists(first, error) && fs::exists(second, error)) {
        const bool same = fs::equivalent(first, second, error);
        if (!error) {
            return same;
        }
    }
    return normalisedPath(first) == normalisedPath(second);
}

ReplacingFile::ReplacingFile(const std::string& path, FileCalls& calls)
    : calls_(calls), targetPath_(resolvedTarget(path)) {
    openTemporaryOrInPlace();
    failed_ = fd_ < 0;
    buffer_.reserve(kFirstBufferBytes);
}

ReplacingFile::~ReplacingFile() {
    if (!committed_) {
        discard();
    }
}

void ReplacingFile::openTemporaryOrInPlace() {
    std::error_code error;
    const fs::file_status status = fs::status(targetPath_, error);
    if (fs::is_character_file(status)) {
        mode_ = Mode::Device;
        fd_ = calls_.open(targetPath_.c_str(), O_WRONLY | O_CLOEXEC, 0);
        return;
    }
    targetExisted_ = fs::exists(status);
    if (targetExisted_ && !fs::is_regular_file(status)) {
        return;  // a folder, a pipe (which would wait for a reader) or a socket
    }
    std::random_device device;
    int createError = 0;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporaryPath_ = nameBeside(targetPath_, device);
        fd_ = calls_.open(temporaryPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        createError = fd_ < 0 ? errno : 0;
        if (fd_ < 0 && createError != EEXIST) {
            break;
        }
    }
    if (fd_ >= 0) {
        if (targetExisted_) {
            fs::permissions(temporaryPath_, status.permissions(), error);
        }
        return;
    }
    temporaryPath_.clear();
    if (targetExisted_ && (createError == EACCES || createError == EPERM)) {
        openInPlace();
    }
}

// The folder forbids new files but the target may be writable: its old content is
// kept to be written back if the new content cannot be written whole.
bool ReplacingFile::openInPlace() {
    std::ifstream in(targetPath_, std::ios::binary);
    std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.is_open() || in.bad()) {
        return false;
    }
    mode_ = Mode::InPlace;
    fd_ = calls_.open(targetPath_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC, 0);
    if (fd_ >= 0) {
        oldContent_ = std::move(content);
    }
    return fd_ >= 0;
}

void ReplacingFile::write(std::string_view text) {
    if (failed_ || finished_) {
        return;
    }
    buffer_.append(text);
    if (buffer_.size() >= kBufferLimit) {
        flushBuffer();
    }
}

void ReplacingFile::writeLine(std::string_view text) {
    write(text);
    write("\r\n");
}

bool ReplacingFile::writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = calls_.write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool ReplacingFile::flushBuffer() {
    if (!failed_ && !writeAll(fd_, buffer_)) {
        failed_ = true;
    }
    buffer_.clear();
    return !failed_;
}

bool ReplacingFile::finishWriting() {
    if (!finished_ && !failed_) {
        // A device keeps nothing to sync.
        const bool written = flushBuffer() && (mode_ == Mode::Device || calls_.sync(fd_) == 0);
        const bool closed = calls_.close(std::exchange(fd_, -1)) == 0;
        failed_ = !(written && closed);
    }
    finished_ = true;
    if (failed_) {
        discard();
    }
    return !failed_;
}

bool ReplacingFile::commit() {
    return committed_ || !commitTogether({this});
}

// Renames the finished temporary file over the target, keeping a second name of
// the old target until the folder is synced, so that the old file can be put back.
bool ReplacingFile::place() {
    if (mode_ != Mode::Replace) {
        return true;
    }
    std::random_device device;
    for (int attempt = 0; targetExisted_ && attempt < 100 && backupPath_.empty(); ++attempt) {
        std::error_code error;
        const std::string candidate = nameBeside(targetPath_, device);
        fs::create_hard_link(targetPath_, candidate, error);
        if (!error) {
            backupPath_ = candidate;
        } else if (error != std::errc::file_exists) {
            break;  // a file system without links: the save goes on without a way back
        }
    }
    if (calls_.rename(temporaryPath_.c_str(), targetPath_.c_str()) != 0) {
        return false;
    }
    temporaryPath_.clear();
    placed_ = true;
    return true;
}

void ReplacingFile::unplace() {
    if (!placed_) {
        return;
    }
    placed_ = false;
    if (!backupPath_.empty()) {
        if (calls_.rename(backupPath_.c_str(), targetPath_.c_str()) == 0) {
            backupPath_.clear();
        }
    } else if (!targetExisted_) {
        std::error_code ignored;
        fs::remove(targetPath_, ignored);
    }
}

void ReplacingFile::discard() {
    if (fd_ >= 0) {
        calls_.close(std::exchange(fd_, -1));
    }
    if (!temporaryPath_.empty()) {
        std::error_code ignored;
        fs::remove(temporaryPath_, ignored);
        temporaryPath_.clear();
    }
    restoreOldContent();
    dropBackup();
    failed_ = true;
}

void ReplacingFile::restoreOldContent() {
    if (!oldContent_) {
        return;
    }
    const int fd = calls_.open(targetPath_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC, 0);
    if (fd >= 0) {
        writeAll(fd, *oldContent_);
        calls_.sync(fd);
        calls_.close(fd);
    }
    oldContent_.reset();
}

void ReplacingFile::dropBackup() {
    if (!backupPath_.empty()) {
        std::error_code ignored;
        fs::remove(backupPath_, ignored);
        backupPath_.clear();
    }
}

std::string ReplacingFile::folder() const {
    const fs::path parent = fs::path(targetPath_).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

std::optional<std::size_t> commitTogether(std::initializer_list<ReplacingFile*> files) {
    return commitTogether(std::span<ReplacingFile* const>(files.begin(), files.size()));
}

std::optional<std::size_t> commitTogether(std::span<ReplacingFile* const> files) {
    const auto failAt = [&files](std::size_t index) {
        for (ReplacingFile* file : files) {
            if (!file->committed_) {
                file->unplace();
                file->discard();
            }
        }
        return std::optional<std::size_t>(index);
    };
    std::size_t index = 0;
    for (ReplacingFile* file : files) {
        if (!file->committed_ && !file->finishWriting()) {
            return failAt(index);
        }
        ++index;
    }
    index = 0;
    for (ReplacingFile* file : files) {
        if (!file->committed_ && !file->place()) {
            return failAt(index);
        }
        ++index;
    }
    std::vector<std::string> syncedFolders;
    index = 0;
    for (ReplacingFile* file : files) {
        const bool renamed = !file->committed_ && file->mode_ == ReplacingFile::Mode::Replace;
        const std::string folder = renamed ? file->folder() : std::string();
        if (renamed &&
            std::find(syncedFolders.begin(), syncedFolders.end(), folder) == syncedFolders.end()) {
            if (!syncFolder(file->calls_, folder)) {
                return failAt(index);
            }
            syncedFolders.push_back(folder);
        }
        ++index;
    }
    for (ReplacingFile* file : files) {
        file->dropBackup();
        file->oldContent_.reset();
        file->placed_ = false;
        file->committed_ = true;
    }
    return std::nullopt;
}

}  // namespace vornetica
