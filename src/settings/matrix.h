#pragma once

#include <cstddef>
#include <span>
#include <utility>
#include <vector>

namespace vornetica {

// A dense row-major matrix: at(r, c) is element [r][c]. Rows of a matrix are
// contiguous, so a trainer can hand a row to a vector loop as a span.
template <typename T>
class Matrix {
  public:
    Matrix() = default;
    Matrix(std::size_t rows, std::size_t cols) : rows_(rows), cols_(cols), values_(rows * cols) {}
    // Takes rows x cols values already in row order (a reader that grows the values
    // as it reads them, rather than setting aside what a file only claims to hold).
    Matrix(std::size_t rows, std::size_t cols, std::vector<T> values)
        : rows_(rows), cols_(cols), values_(std::move(values)) {
        values_.resize(rows * cols);
    }

    std::size_t rows() const { return rows_; }
    std::size_t cols() const { return cols_; }
    bool empty() const { return values_.empty(); }

    T& at(std::size_t r, std::size_t c) { return values_[r * cols_ + c]; }
    const T& at(std::size_t r, std::size_t c) const { return values_[r * cols_ + c]; }

    std::span<T> row(std::size_t r) { return {values_.data() + r * cols_, cols_}; }
    std::span<const T> row(std::size_t r) const { return {values_.data() + r * cols_, cols_}; }

    std::vector<T>& values() { return values_; }
    const std::vector<T>& values() const { return values_; }

    bool operator==(const Matrix&) const = default;

  private:
    std::size_t rows_ = 0;
    std::size_t cols_ = 0;
    std::vector<T> values_;
};

}  // namespace vornetica
