#include "data/replacing_file.h"

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

namespace vornetica {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBufferLimit = std::size_t{1} << 20;

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

// Creates a new file that no one else is using: the target's name with a random
// suffix, opened only if it does not exist yet.
std::FILE* createTemporaryBeside(const std::string& target, std::string& temporaryPath) {
    std::random_device device;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = target + ".tmp" + hexText(device());
        errno = 0;
        std::FILE* file = std::fopen(temporaryPath.c_str(), "wbx");
        if (file != nullptr) {
            return file;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    temporaryPath.clear();
    return nullptr;
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

ReplacingFile::ReplacingFile(const std::string& path) : targetPath_(resolvedTarget(path)) {
    std::error_code error;
    const fs::file_status status = fs::status(targetPath_, error);
    if (fs::is_character_file(status)) {
        file_ = std::fopen(targetPath_.c_str(), "wb");
    } else if (!fs::exists(status) || fs::is_regular_file(status)) {
        file_ = createTemporaryBeside(targetPath_, temporaryPath_);
    }
    failed_ = file_ == nullptr;
    buffer_.reserve(kBufferLimit);
}

ReplacingFile::~ReplacingFile() {
    if (!committed_) {
        discard();
    }
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

bool ReplacingFile::flushBuffer() {
    if (!failed_ && !buffer_.empty() &&
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
        failed_ = true;
    }
    buffer_.clear();
    return !failed_;
}

bool ReplacingFile::finishWriting() {
    if (!finished_ && !failed_ && flushBuffer()) {
        const bool flushed = std::fflush(file_) == 0 && std::ferror(file_) == 0;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        failed_ = !(flushed && closed);
    }
    finished_ = true;
    if (failed_) {
        discard();
    }
    return !failed_;
}

bool ReplacingFile::commit() {
    if (committed_) {
        return true;
    }
    finishWriting();
    if (!failed_ && !temporaryPath_.empty()) {
        std::error_code error;
        const fs::file_status old = fs::status(targetPath_, error);
        if (fs::exists(old)) {
            fs::permissions(temporaryPath_, old.permissions(), error);
        }
        fs::rename(temporaryPath_, targetPath_, error);
        failed_ = static_cast<bool>(error);
    }
    if (failed_) {
        discard();
        return false;
    }
    committed_ = true;
    return true;
}

void ReplacingFile::discard() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporaryPath_.empty()) {
        std::error_code ignored;
        fs::remove(temporaryPath_, ignored);
        temporaryPath_.clear();
    }
    failed_ = true;
}

}  // namespace vornetica
