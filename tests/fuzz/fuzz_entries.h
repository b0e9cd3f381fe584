#pragma once

#include <cstddef>
#include <cstdint>

namespace vornetica::fuzz {

// One entry per fuzz target. Each feeds arbitrary bytes to a part of the program
// that takes outside input and checks what must hold whatever the input; a refusal
// (UserError) is a correct answer, anything else that escapes is a fault.
void trainingDataReader(const std::uint8_t* data, std::size_t size);
void networkFileLoader(const std::uint8_t* data, std::size_t size);
void gridCellRule(const std::uint8_t* data, std::size_t size);
void parameterText(const std::uint8_t* data, std::size_t size);
void recallOfLoadedNetwork(const std::uint8_t* data, std::size_t size);
void networkKindOfFileText(const std::uint8_t* data, std::size_t size);
void importCsv(const std::uint8_t* data, std::size_t size);
void importFann(const std::uint8_t* data, std::size_t size);
void importSnns(const std::uint8_t* data, std::size_t size);

}  // namespace vornetica::fuzz
