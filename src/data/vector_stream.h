#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/item_reader.h"

namespace vornetica {

// Reads a data file one vector at a time, in the fixed memory of its reader, so
// that a file of any size can be recalled. A recall data file (the input data
// file format) begins with a count, which is read and not used; an output data
// file has no count.
class VectorStream {
  public:
    enum class CountItem { Skipped, None };

    // Throws UserError when the file cannot be opened or its count is not a number.
    VectorStream(const std::string& path, int size, CountItem count);

    // The next whole vector into `vector` (resized to the size); false when the
    // file holds no further whole vector, and the values of a last, partial
    // vector are dropped. Throws UserError naming the file, the line and the
    // text for a value that is not a number.
    bool next(std::vector<double>& vector);

    // Values read so far, counting the partial vector at the end of the file.
    std::uint64_t valuesRead() const { return valuesRead_; }

  private:
    std::string path_;
    std::size_t size_;
    ItemReader reader_;
    std::uint64_t valuesRead_ = 0;
};

// How many values a data file holds after its count item (if it has one),
// without converting them: a first pass that lets a second one know its end.
std::uint64_t countFileValues(const std::string& path, VectorStream::CountItem count);

}  // namespace vornetica
