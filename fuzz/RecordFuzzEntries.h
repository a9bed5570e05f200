#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Reads the input as a chess game record. A refusal must say why on one
// printable line; a game read must write out in lines of at most 79
// characters, read back with the same start, moves and result, and write
// out the same again.
void FuzzPgn(const std::uint8_t* data, std::size_t size);
// The same for a checkers game record.
void FuzzPdn(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
