#include "data/vector_stream.h"

#include "base/number_text.h"
#include "base/user_error.h"

namespace vornetica {

namespace {

constexpr char kDataFile[] = "data file";

[[noreturn]] void refuseItem(const std::string& path, const ItemReader& reader,
                             std::string_view item) {
    const std::string where = path + ", line " + std::to_string(reader.line()) + ": ";
    if (reader.itemTooLong()) {
        throw UserError(where + quotedExcerpt(item) + " is too long to be a number.");
    }
    throw UserError(where + badNumberText(item) + ".");
}

void skipCount(ItemReader& reader, const std::string& path) {
    std::string_view item;
    double value = 0.0;
    if (reader.next(item) && (reader.itemTooLong() || !parseFileNumber(item, value))) {
        refuseItem(path, reader, item);
    }
}

}  // namespace

VectorStream::VectorStream(const std::string& path, int size, CountItem count)
    : path_(path),
      size_(size > 0 ? static_cast<std::size_t>(size) : 0),
      reader_(path, ItemSeparators::LinesCommasAndBlanks, kDataFile) {
    if (count == CountItem::Skipped) {
        skipCount(reader_, path_);
    }
}

bool VectorStream::next(std::vector<double>& vector) {
    vector.resize(size_);
    if (size_ == 0) {
        return false;
    }
    std::string_view item;
    for (std::size_t j = 0; j < size_; ++j) {
        if (!reader_.next(item)) {
            return false;
        }
        ++valuesRead_;
        if (reader_.itemTooLong() || !parseFileNumber(item, vector[j])) {
            refuseItem(path_, reader_, item);
        }
    }
    return true;
}

std::uint64_t countFileValues(const std::string& path, VectorStream::CountItem count) {
    ItemReader reader(path, ItemSeparators::LinesCommasAndBlanks, kDataFile);
    std::string_view item;
    if (count == VectorStream::CountItem::Skipped && !reader.next(item)) {
        return 0;
    }
    std::uint64_t values = 0;
    while (reader.next(item)) {
        ++values;
    }
    return values;
}

}  // namespace vornetica
