#pragma once

#include "games/chess/ChessEngineBoard.h"

// The deeper search's static evaluation: material and piece-square tables
// tapered between middlegame and endgame, pawn structure, the bishop pair,
// rooks on open files, mobility and the kings' safety.
namespace chess::engine {

// The score for the side to move, in centipawns.
int Evaluate(const TPosition& position);

// Plain piece values for exchange counting and move ordering; the king's
// is larger than any exchange can win.
int ExchangeValue(int type);

// Whether the capture or promotion wins at least threshold centipawns once
// both sides have taken back on its square with their cheapest pieces.
bool ExchangeAtLeast(const TPosition& position, TMove move, int threshold);

}  // namespace chess::engine
