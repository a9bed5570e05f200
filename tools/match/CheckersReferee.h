#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "games/checkers/CheckersBoard.h"
#include "games/checkers/CheckersEngine.h"
#include "tools/match/GameRecord.h"

// Plays one checkers game between two players and decides how it ends, with
// the program's move generator as the referee. Positions are always seen
// from the side to move, and the board turns after every move, as the game
// does.
namespace match {

class TCheckersPlayer {
 public:
  virtual ~TCheckersPlayer() = default;
  // A move text of the generator's list for the side to move, or empty.
  // earlier holds the positions at this side's earlier turns, oldest first.
  virtual std::string Reply(const checkers::TCheckersPosition& position,
                            std::span<const checkers::TCheckersPosition> earlier) = 0;
};

std::unique_ptr<TCheckersPlayer> MakeCheckersLevelPlayer(int level);

// Counts how often each position occurred with the same side to move.
class TCheckersRepetitions {
 public:
  // Records the position met at the given ply; returns how often it has
  // occurred at plies of the same parity, this time included.
  int Record(const checkers::TCheckersPosition& position, int ply);

 private:
  std::map<std::pair<std::array<std::int8_t, 64>, int>, int> counts_;
};

struct TCheckersGameSetup {
  // Generator move texts, each from the view of the side that plays it.
  std::vector<std::string> Opening;
  int MaxPlies = 200;
};

// The ending of the game at a position the side to move faces for the
// repetitions-th time after plies plies, or none while it plays on: no legal
// move (a loss), threefold repetition, the ply limit.
std::optional<TVerdict> AdjudicateCheckers(const checkers::TCheckersPosition& position,
                                           bool whiteToMove, int repetitions, int plies,
                                           int maxPlies);

// Plays the opening, then lets the players move in turn until the game is
// decided; a player naming no legal move loses. Throws std::invalid_argument
// when the opening is not legal.
TGameOutcome PlayCheckersGame(const TCheckersGameSetup& setup, TCheckersPlayer& white,
                              TCheckersPlayer& black);

}  // namespace match
