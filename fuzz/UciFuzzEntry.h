#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Feeds the input to a UCI session as a chess host's bytes, then ends the
// input. Searches run at once, at most three plies and a few thousand nodes
// deep, on one engine shared by every call. Every answer line must be
// printable and of bounded length, no search may answer twice, the last one
// must have answered, and every bestmove must be legal in the position
// searched (or 0000 when it has no legal move).
void FuzzUci(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
