#pragma once

#include <cstddef>
#include <new>
#include <span>
#include <utility>
#include <vector>

namespace vornetica {

// Allocates on cache-line boundaries (64 bytes). The training loops take a matrix's
// rows in whole vector registers, and a register that straddles two lines costs
// its load and its store twice; the C library's allocator only promises 16 bytes.
template <typename T>
class CacheLineAllocator {
  public:
    using value_type = T;

    CacheLineAllocator() = default;
    template <typename U>
    CacheLineAllocator(const CacheLineAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        return static_cast<T*>(::operator new(n * sizeof(T), kAlignment));
    }
    // The unsized form: not every compiler declares the sized one by default.
    void deallocate(T* p, std::size_t) noexcept { ::operator delete(p, kAlignment); }

    template <typename U>
    bool operator==(const CacheLineAllocator<U>&) const noexcept {
        return true;
    }

  private:
    static constexpr std::align_val_t kAlignment{64};
};

// The values of a matrix, in row order.
template <typename T>
using MatrixValues = std::vector<T, CacheLineAllocator<T>>;

// A dense row-major matrix: at(r, c) is element [r][c]. Rows of a matrix are
// contiguous, so a trainer can hand a row to a vector loop as a span.
template <typename T>
class Matrix {
  public:
    Matrix() = default;
    Matrix(std::size_t rows, std::size_t cols) : rows_(rows), cols_(cols), values_(rows * cols) {}
    // Takes rows x cols values already in row order (a reader that grows the values
    // as it reads them, rather than setting aside what a file only claims to hold).
    Matrix(std::size_t rows, std::size_t cols, MatrixValues<T> values)
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

    MatrixValues<T>& values() { return values_; }
    const MatrixValues<T>& values() const { return values_; }

    bool operator==(const Matrix&) const = default;

  private:
    std::size_t rows_ = 0;
    std::size_t cols_ = 0;
    MatrixValues<T> values_;
};

}  // namespace vornetica
