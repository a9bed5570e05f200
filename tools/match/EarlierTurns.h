#pragma once

#include <cstddef>
#include <vector>

namespace match {

// Out of every position of a game so far, one per ply from the start, the
// ones the side now to move met at its own earlier turns, oldest first.
template <class TPosition>
std::vector<TPosition> EarlierTurns(const std::vector<TPosition>& seen) {
  std::vector<TPosition> earlier;
  for (std::size_t ply = seen.size() % 2; ply < seen.size(); ply += 2) earlier.push_back(seen[ply]);
  return earlier;
}

}  // namespace match
