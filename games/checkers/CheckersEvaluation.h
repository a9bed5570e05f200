#pragma once

// The evaluation the stronger levels search with: material (a flying king
// is worth two and a half men), advancement weighed by how far the game has
// gone, the guard of the own back rank, the centre, kings on the long
// diagonal and their mobility, trapped kings, men with a free run to the
// crowning rank, and an incentive to trade when ahead.

#include "games/checkers/CheckersBits.h"

namespace checkers::evaluation {

constexpr int kMan = 100;
constexpr int kKing = 250;

// The value of the board for its side to move, in hundredths of a man.
int Evaluate(const compact::TBits& bits);

}  // namespace checkers::evaluation
