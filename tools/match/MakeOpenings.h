#pragma once

#include <cstdint>
#include <string>

// Writes a checkers opening book: every move sequence of a few plies from
// the start that ends without a capture pending, scored by the strongest
// level's search, keeping those whose score lies near an even game, a
// seeded sample of them in generation order.
namespace match {

struct TMakeOpeningsOptions {
  int Plies = 4;
  int Count = 100;
  // The largest score (a man is 100) a kept opening may give either side.
  int Margin = 15;
  std::uint64_t Seed = 1;
};

// The book's text: a comment saying how it was made, then one opening per
// line with its score from White's view as a comment. Progress goes to
// standard error.
std::string MakeCheckersOpenings(const TMakeOpeningsOptions& options);

}  // namespace match
