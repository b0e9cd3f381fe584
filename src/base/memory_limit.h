#pragma once

#include <cstdint>
#include <optional>

namespace vornetica {

// The bytes this process may still set aside, as far as the system tells: the
// smaller of the memory the system has available and the room left under the
// process's address-space limit. Nothing when neither can be told.
std::optional<std::uint64_t> memoryLeftBytes();

// Whether `bytes` more fit in memory. Asked before a large matrix is set aside, so
// that a size too large is refused with a message rather than left to the
// allocator, which may end the program instead of failing (as under the address
// sanitizer) or succeed and then page the machine to a halt.
bool fitsInMemory(std::uint64_t bytes);

// rows x cols elements of `elementBytes` each, saturating instead of wrapping.
std::uint64_t matrixBytes(std::uint64_t rows, std::uint64_t cols, std::uint64_t elementBytes);

}  // namespace vornetica
