#pragma once

#include <optional>
#include <string>
#include <vector>

#include "games/chess/ChessEngine.h"
#include "tools/match/ChessPlayers.h"
#include "tools/match/GameRecord.h"

// Plays one chess game between two players and decides how it ends.
namespace match {

struct TChessGameSetup {
  chess::TRules Rules = chess::TRules::Program;
  // UCI texts from the start position, legal under Rules.
  std::vector<std::string> Opening;
  // The game is drawn when this many plies (the opening's included) were
  // played without another ending.
  int MaxPlies = 200;
};

// Neither king can ever be mated: kings alone, or a king and one knight or
// bishop against a bare king.
bool InsufficientMaterial(const chess::TEngineBoard& board);

// The ending of the game on board after plies plies, or none while the side
// to move plays on: checkmate (a loss for the side to move), stalemate,
// threefold repetition, the fifty-move rule (standard rules only),
// insufficient material, and the ply limit.
std::optional<TVerdict> AdjudicateChess(const chess::TEngineBoard& board, int plies, int maxPlies);

// Plays the opening, then lets the players move in turn until the game is
// decided. A player that fails or names an illegal move loses. Throws
// std::invalid_argument when the opening is not legal.
TGameOutcome PlayChessGame(const TChessGameSetup& setup, TChessPlayer& white, TChessPlayer& black);

}  // namespace match
