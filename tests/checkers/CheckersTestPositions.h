#pragma once

// Positions for the checkers tests and the search benchmark: hand-placed
// boards, boards reached by random play and random king endgames.

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "games/checkers/CheckersBoard.h"
#include "tests/checkers/PlainCheckersSearch.h"

namespace checkers::fixtures {

// An empty board with the listed pieces, e.g. {{"c3", kOwnMan}, {"d4", kOtherKing}}.
inline TCheckersPosition Board(const std::vector<std::pair<std::string, int>>& pieces) {
  TCheckersPosition position;
  position.Squares.fill(kEmpty);
  for (const auto& [name, code] : pieces) {
    const int file = name[0] - 'a', rank = name[1] - '1';
    if (name.size() != 2 || file < 0 || file > 7 || rank < 0 || rank > 7 || !IsPlayable(file, rank))
      throw std::invalid_argument("not a playable square: " + name);
    position.Squares[SquareIndex(file, rank)] = static_cast<std::int8_t>(code);
  }
  return position;
}

inline std::vector<int> PlayableSquares() {
  std::vector<int> squares;
  for (int square = 0; square < 64; ++square)
    if (IsPlayable(FileOf(square), RankOf(square))) squares.push_back(square);
  return squares;
}

// Positions met along games of random moves from the start, side to move
// alternating; every `keepEvery`-th position is kept.
inline std::vector<TCheckersPosition> RandomPlayPositions(unsigned seed, std::size_t count,
                                                          int keepEvery = 1) {
  std::mt19937 random(seed);
  std::vector<TCheckersPosition> positions;
  plain::TPlainThinker thinker;
  int ply = 0;
  while (positions.size() < count) {
    thinker.GenerateMoves();
    if (thinker.Moves.empty() || ply > 200) {
      thinker.Position.SetStartPosition();
      ply = 0;
      continue;
    }
    if (++ply % keepEvery == 0) positions.push_back(thinker.Position);
    const auto& moves = thinker.Moves;
    thinker.Position.ApplyMove(moves[random() % moves.size()]);
    thinker.Position.Flip();
  }
  return positions;
}

// Kings (and optionally men) scattered at random on the playable squares.
// Men are never put on the rank where they would already have promoted.
inline TCheckersPosition RandomEndgame(std::mt19937& random, int ownKings, int otherKings,
                                       int ownMen = 0, int otherMen = 0) {
  TCheckersPosition position;
  position.Squares.fill(kEmpty);
  std::vector<int> squares = PlayableSquares();
  std::shuffle(squares.begin(), squares.end(), random);
  auto next = squares.begin();
  auto place = [&](int count, std::int8_t code, int forbiddenRank) {
    for (int placed = 0; placed < count && next != squares.end(); ++next) {
      if (RankOf(*next) == forbiddenRank) continue;
      position.Squares[*next] = code;
      ++placed;
    }
  };
  place(ownKings, kOwnKing, -1);
  place(otherKings, kOtherKing, -1);
  place(ownMen, kOwnMan, 7);
  place(otherMen, kOtherMan, 0);
  return position;
}

}  // namespace checkers::fixtures
