#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace vornetica {

// How a file's items are separated.
enum class ItemSeparators {
    // Data files: line breaks, commas, blanks and tabs all end an item.
    LinesCommasAndBlanks,
    // Network files: line breaks and commas end an item; blanks around an item
    // are dropped, blanks inside it belong to it.
    LinesAndCommas,
};

// Reads a text file item by item in chunks, so that a file of any size is read in
// a fixed amount of memory. Line ends may be LF, CR LF or CR alone; a UTF-8 byte
// order mark at the start is skipped; empty items are skipped.
class ItemReader {
  public:
    // `description` names the kind of file in messages ("data file"): the
    // constructor throws UserError `Cannot open the data file "name".` when the
    // file cannot be opened, and next() `Cannot read the data file "name".`
    ItemReader(const std::string& path, ItemSeparators separators, const std::string& description);
    ~ItemReader();
    ItemReader(const ItemReader&) = delete;
    ItemReader& operator=(const ItemReader&) = delete;

    // The next item, valid until the next call; false at the end of the file.
    bool next(std::string_view& item);
    // The line on which the last item began, counted from 1.
    std::int64_t line() const { return itemLine_; }
    // The file's size in bytes, or -1 when it cannot be told (a pipe).
    std::int64_t fileSize() const { return fileSize_; }
    // Whether the last item was cut because it exceeded kMaxItemLength (its
    // characters beyond that are not read unless next() is called again).
    bool itemTooLong() const { return tooLong_; }

    // No number in any of the formats is anywhere near this long.
    static constexpr std::size_t kMaxItemLength = 4096;

  private:
    bool refill();
    bool skipToItem();
    void collectItem(std::string_view& item);
    void scanItem(std::size_t limit);
    bool skipRestOfItem();
    void appendToCarry(const char* begin, const char* end);

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string description_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    bool startOfFile_ = true;
    bool lastWasCarriageReturn_ = false;
    bool tooLong_ = false;
    bool restOfItemPending_ = false;
    std::int64_t line_ = 1;
    std::int64_t itemLine_ = 1;
    std::int64_t fileSize_ = -1;
    std::string carry_;
    const std::array<bool, 256>* endsItem_;
};

}  // namespace vornetica
