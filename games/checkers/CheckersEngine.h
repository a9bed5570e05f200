#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "games/checkers/CheckersBoard.h"

// The stronger checkers opponents (levels 1 and 2): iterative deepening with
// alpha-beta, move ordering and a transposition table, under the same rules
// as the move generator, within a time budget.
namespace checkers {

// The computer's levels: 0 is the original six-ply search with its random
// pick among the best five (TCheckersThinker::GetBestMove); 1 and 2 search
// deeper, within 50 and 250 milliseconds at most.
constexpr int kLowestLevel = 0;
constexpr int kHighestLevel = 2;

struct TCheckersSearchInfo {
  int Depth = 0;
  // From the side to move's view; a win or loss scores by its distance.
  int Score = 0;
  std::uint64_t Nodes = 0;
  std::chrono::milliseconds Time{0};
};

// How long and how deep levels 1 and 2 search: no new iteration begins after
// Soft, the search stops at Hard, and it goes no deeper than MaxDepth plies.
struct TCheckersSearchLimits {
  std::chrono::milliseconds Soft{0};
  std::chrono::milliseconds Hard{0};
  int MaxDepth = 64;
};

// The search and its transposition table; one per player.
class TCheckersEngine {
 public:
  TCheckersEngine();
  ~TCheckersEngine();
  TCheckersEngine(const TCheckersEngine&) = delete;
  TCheckersEngine& operator=(const TCheckersEngine&) = delete;

  // Forgets everything learnt in the last game.
  void NewGame();
  // The move (a text of the generator's list) the computer plays at a level
  // for the side to move of position; empty when it has no move. Level 0 is
  // TCheckersThinker::GetBestMove exactly, its one random draw included.
  // earlier holds the positions at the same side's earlier turns, oldest
  // first, in the same orientation as position; a return to one of them
  // scores as a draw, so that a winning side does not go round in circles.
  // Levels 1 and 2 draw from the program's random generator among moves
  // scored within a few points of the best, and write one log line naming
  // the level, depth and score.
  std::string ChooseMove(const TCheckersPosition& position,
                         std::span<const TCheckersPosition> earlier, int level);
  // The same within other limits (levels 1 and 2; level 0 ignores them).
  std::string ChooseMove(const TCheckersPosition& position,
                         std::span<const TCheckersPosition> earlier, int level,
                         const TCheckersSearchLimits& limits);
  // The limits a level searches within.
  static TCheckersSearchLimits LimitsOf(int level);
  // What the last ChooseMove found.
  const TCheckersSearchInfo& LastInfo() const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace checkers
