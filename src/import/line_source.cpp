#include "import/line_source.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "base/user_error.h"

namespace vornetica {

namespace {

// Large enough that reading costs few calls, small enough to stay in the cache.
constexpr std::size_t kBlockBytes = 1 << 20;
constexpr std::size_t kSmallest = 4096;

}  // namespace

LineSource::LineSource(const std::string& path) : path_(path) {
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) {
        throw UserError("Cannot open \"" + path + "\".");
    }
    struct stat status {};
    if (::fstat(::fileno(file_), &status) == 0 && S_ISREG(status.st_mode)) {
        fileSize_ = static_cast<std::int64_t>(status.st_size);
    }
    // A small file needs no whole block; the table is read several times over.
    const bool small = fileSize_ >= 0 && fileSize_ < static_cast<std::int64_t>(kBlockBytes);
    buffer_.resize(small ? std::max<std::size_t>(static_cast<std::size_t>(fileSize_) + 1, kSmallest)
                         : kBlockBytes);
}

LineSource::~LineSource() {
    std::fclose(file_);
}

// Moves the unread rest to the front and reads more behind it, growing the buffer
// for a line longer than a block. Returns false when nothing more came.
bool LineSource::refill() {
    if (atEnd_) {
        return false;
    }
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) {
        buffer_.resize(buffer_.size() * 2);
    }
    const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (got == 0) {
        if (std::ferror(file_)) {
            throw UserError("Cannot read \"" + path_ + "\".");
        }
        atEnd_ = true;
        return false;
    }
    end_ += got;
    return true;
}

bool LineSource::next(std::string_view& line) {
    std::size_t searched = begin_;
    for (;;) {
        const char* data = buffer_.data();
        const void* found = std::memchr(data + searched, '\n', end_ - searched);
        if (found != nullptr) {
            const std::size_t stop = static_cast<const char*>(found) - data;
            line = std::string_view(data + begin_, stop - begin_);
            consumed_ += static_cast<std::int64_t>(stop + 1 - begin_);
            begin_ = stop + 1;
            break;
        }
        searched = end_ - begin_;
        if (!refill()) {
            if (begin_ == end_) {
                return false;
            }
            line = std::string_view(buffer_.data() + begin_, end_ - begin_);
            consumed_ += static_cast<std::int64_t>(end_ - begin_);
            begin_ = end_;
            break;
        }
    }
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (++line_ == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") {
        line.remove_prefix(3);
    }
    return true;
}

}  // namespace vornetica
