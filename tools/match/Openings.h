#pragma once

#include <string>
#include <string_view>
#include <vector>

// The opening books: one opening per line, its moves separated by blanks;
// "#" starts a comment that runs to the line end, and lines without moves
// are skipped. Chess moves are UCI texts from the start position; checkers
// moves are texts of the move generator, each written from the view of the
// side that plays it (the board turns after every move).
namespace match {

struct TOpening {
  std::vector<std::string> Moves;
  int Line = 0;  // where it stands in its file, from 1
};

std::vector<TOpening> ParseOpenings(std::string_view text);
// Throws std::runtime_error when the file cannot be read.
std::vector<TOpening> LoadOpenings(const std::string& path);
// Empty when every move is legal in turn; otherwise what is wrong. A chess
// opening must be legal under both rule books, and at each of its positions
// the two must allow the same moves, so that it leads to the same game under
// either.
std::string ChessOpeningProblem(const TOpening& opening);
std::string CheckersOpeningProblem(const TOpening& opening);

}  // namespace match
