#include "data/item_reader.h"

#include <filesystem>
#include <system_error>

#include "base/user_error.h"

namespace vornetica {

namespace {

constexpr std::size_t kChunkSize = std::size_t{1} << 20;

constexpr bool isLineBreakOrComma(unsigned char c) {
    return c == '\n' || c == '\r' || c == ',';
}
constexpr bool isBlank(unsigned char c) {
    return c == ' ' || c == '\t';
}

// Bytes skipped before an item: separators and blanks in both forms.
constexpr std::array<bool, 256> makeSkipTable() {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[c] = isLineBreakOrComma(static_cast<unsigned char>(c)) ||
                   isBlank(static_cast<unsigned char>(c));
    }
    return table;
}

constexpr std::array<bool, 256> makeLineAndCommaTable() {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[c] = isLineBreakOrComma(static_cast<unsigned char>(c));
    }
    return table;
}

constexpr std::array<bool, 256> kSkipped = makeSkipTable();
constexpr std::array<bool, 256> kEndsItemAtBlanks = makeSkipTable();
constexpr std::array<bool, 256> kEndsItemAtLinesAndCommas = makeLineAndCommaTable();

std::int64_t regularFileSize(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return -1;
    }
    const auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<std::int64_t>(size);
}

std::string_view trimTrailingBlanks(std::string_view text) {
    while (!text.empty() && isBlank(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

ItemReader::ItemReader(const std::string& path, ItemSeparators separators,
                       const std::string& description)
    : path_(path),
      description_(description),
      endsItem_(separators == ItemSeparators::LinesCommasAndBlanks ? &kEndsItemAtBlanks
                                                                   : &kEndsItemAtLinesAndCommas) {
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) {
        file_ = std::fopen(path.c_str(), "rb");
    }
    if (file_ == nullptr) {
        throw UserError("Cannot open the " + description_ + " \"" + path_ + "\".");
    }
    fileSize_ = regularFileSize(path);
    // A small file needs no more buffer than its own size.
    const bool small = fileSize_ >= 0 && static_cast<std::uint64_t>(fileSize_) < kChunkSize;
    buffer_.resize(small ? static_cast<std::size_t>(fileSize_) + 1 : kChunkSize);
}

ItemReader::~ItemReader() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool ItemReader::refill() {
    if (atEnd_) {
        return false;
    }
    pos_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (end_ == 0) {
        if (std::ferror(file_) != 0) {
            throw UserError("Cannot read the " + description_ + " \"" + path_ + "\".");
        }
        atEnd_ = true;
        return false;
    }
    if (startOfFile_) {
        startOfFile_ = false;
        if (end_ >= 3 && buffer_[0] == '\xEF' && buffer_[1] == '\xBB' && buffer_[2] == '\xBF') {
            pos_ = 3;
        }
    }
    return true;
}

// Skips separators and blanks, counting lines; a CR LF pair is one line break.
bool ItemReader::skipToItem() {
    for (;;) {
        while (pos_ < end_) {
            const auto c = static_cast<unsigned char>(buffer_[pos_]);
            if (!kSkipped[c]) {
                return true;
            }
            if (c == '\n') {
                if (!lastWasCarriageReturn_) {
                    ++line_;
                }
                lastWasCarriageReturn_ = false;
            } else if (c == '\r') {
                ++line_;
                lastWasCarriageReturn_ = true;
            } else {
                lastWasCarriageReturn_ = false;
            }
            ++pos_;
        }
        if (!refill()) {
            return false;
        }
    }
}

void ItemReader::appendToCarry(const char* begin, const char* end) {
    const std::size_t room = kMaxItemLength - carry_.size();
    const auto length = static_cast<std::size_t>(end - begin);
    if (length > room) {
        tooLong_ = true;
    }
    carry_.append(begin, std::min(length, room));
}

// Moves pos_ past the item's characters, but no further than `limit`.
void ItemReader::scanItem(std::size_t limit) {
    const std::array<bool, 256>& endsItem = *endsItem_;
    while (pos_ < limit && !endsItem[static_cast<unsigned char>(buffer_[pos_])]) {
        ++pos_;
    }
}

// An item is given at most kMaxItemLength characters, and reading stops as soon
// as it is known to be longer: the caller refuses such an item, so a file that is
// one endless item (gigabytes of NUL bytes) is refused without reading it all. If
// reading goes on, the rest of the item is passed over first.
void ItemReader::collectItem(std::string_view& item) {
    tooLong_ = false;
    const std::size_t start = pos_;
    scanItem(std::min(end_, start + kMaxItemLength + 1));
    if (pos_ < end_ || pos_ - start > kMaxItemLength) {
        const std::size_t length = pos_ - start;
        tooLong_ = length > kMaxItemLength;
        restOfItemPending_ = tooLong_;
        item = std::string_view(buffer_.data() + start, tooLong_ ? kMaxItemLength : length);
        return;
    }
    // The item runs over the end of the chunk: gather it into carry_.
    carry_.clear();
    appendToCarry(buffer_.data() + start, buffer_.data() + end_);
    while (!tooLong_ && refill()) {
        const std::size_t chunkStart = pos_;
        scanItem(std::min(end_, chunkStart + (kMaxItemLength - carry_.size()) + 1));
        appendToCarry(buffer_.data() + chunkStart, buffer_.data() + pos_);
        if (pos_ < end_ && !tooLong_) {
            break;
        }
    }
    restOfItemPending_ = tooLong_;
    item = carry_;
}

bool ItemReader::skipRestOfItem() {
    for (;;) {
        scanItem(end_);
        if (pos_ < end_) {
            return true;
        }
        if (!refill()) {
            return false;
        }
    }
}

bool ItemReader::next(std::string_view& item) {
    if (restOfItemPending_) {
        restOfItemPending_ = false;
        if (!skipRestOfItem()) {
            return false;
        }
    }
    if (!skipToItem()) {
        return false;
    }
    itemLine_ = line_;
    lastWasCarriageReturn_ = false;
    collectItem(item);
    item = trimTrailingBlanks(item);
    return true;
}

}  // namespace vornetica
