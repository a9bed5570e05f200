#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "games/chess/ChessEngine.h"

// The chess players of a match: the computer's levels in this process, and
// (tools/match/UciPlayer.h) engines spoken to over UCI.
namespace match {

// What a player sees of the game at its turn.
struct TChessTurn {
  const chess::TEngineBoard& Board;
  // Every move from the start position, the opening's included.
  std::span<const chess::TEngineMove> Moves;
  // The positions at this side's earlier turns, oldest first, as
  // TEngineBoard::ToPosition shows them.
  std::span<const chess::TChessPosition> Earlier;
};

struct TChessReply {
  // The move as the player named it; the referee checks that it is legal.
  std::optional<chess::TEngineMove> Move;
  // Why there is no move: "timed out", "illegal move e2e5", ...
  std::string Failure;
};

class TChessPlayer {
 public:
  virtual ~TChessPlayer() = default;
  virtual TChessReply Reply(const TChessTurn& turn) = 0;
};

// A level under the program's rules, exactly as the game asks it: the
// position seen from the side to move, the move back in its coordinates.
std::unique_ptr<TChessPlayer> MakeProgramLevelPlayer(int level);
// A level (1 or 2) under standard rules: the engine's search on the board
// itself, with the level's limits.
std::unique_ptr<TChessPlayer> MakeStandardLevelPlayer(int level);

// The legal move of board that the game's own move record names (its
// coordinates seen from the side to move); none when no legal move matches.
std::optional<chess::TEngineMove> FindPositionMove(const chess::TEngineBoard& board,
                                                   const chess::TChessMove& move);

}  // namespace match
