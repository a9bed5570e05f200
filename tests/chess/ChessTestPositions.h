#pragma once

// Positions for the chess tests and the search benchmark: written ones that
// exercise castling, en passant and promotion, and positions reached by
// random play with the oracle's own move generation.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "games/chess/ChessBoard.h"
#include "tests/chess/PlainChessSearch.h"

namespace chess_test {

inline chess::TChessPosition Pos(const std::string& text) { return chess::PositionFromText(text); }

inline std::string MoveTexts(const chess::TChessMoveArray& moves) {
  std::string text;
  for (const chess::TChessMove& move : moves) {
    if (!text.empty()) text += ' ';
    text += chess::TChessPosition::MoveToText(move);
  }
  return text;
}

// A middlegame with both castlings, pins, en-passant chances and promotions
// one move away after a few plies.
inline const char* const kKiwipete =
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R KQkq -";

// Written positions around the rules most likely to go wrong.
inline std::vector<std::string> SpecialPositions() {
  return {
      kKiwipete,
      // Castling both ways with attacks on b1, d1, f1 and a pawn's diagonal on b1.
      "r3k2r/8/8/8/1r6/8/8/R3K2R KQkq -",
      "r3k2r/8/8/8/3r4/8/8/R3K2R KQkq -",
      "r3k2r/8/8/8/5r2/8/8/R3K2R KQkq -",
      "r3k2r/8/8/8/8/8/p7/R3K2R KQkq -",
      "r3k2r/8/8/8/8/8/1p6/R3K2R KQkq -",
      "r3k2r/1P6/8/8/8/8/6p1/R3K2R KQkq -",
      "rn2k2r/8/8/8/8/8/8/R3K1NR KQkq -",
      // En passant to take at once, and a capture that would expose the king.
      "4k3/8/8/3pP3/8/8/8/4K3 - d6",
      "8/8/8/K2pP2r/8/8/8/4k3 - d6",
      "4k3/8/8/2PpP3/8/8/8/4K3 - d6",
      // Promotions with and without capture, and a mate and a stalemate in one.
      "3rk3/2P5/8/8/8/8/8/4K3 - -",
      "1n1qk3/P1P5/8/8/8/8/5ppp/4K2R K -",
      "6k1/5ppp/8/8/8/8/8/R5K1 - -",
      "k7/8/1K6/8/8/8/8/2Q5 - -",
      // Rooks behind pawns, kings on g1 and c1.
      "r1b2rk1/pp3ppp/2n5/8/8/2N5/PP3PPP/R1B2RK1 - -",
      "2kr3r/ppp5/8/8/8/8/PPP5/2KR3R - -",
  };
}

// Positions met in random games from the start position: every position of
// each game is collected, a game ending at mate, stalemate or maxPlies.
inline std::vector<chess::TChessPosition> RandomPlayPositions(int count, std::uint32_t seed,
                                                              int maxPlies = 120) {
  std::mt19937 random(seed);
  std::vector<chess::TChessPosition> positions;
  plain_chess::Chess game = plain_chess::Chess::From(chess::TChessPosition());
  int ply = 0;
  while (static_cast<int>(positions.size()) < count) {
    game.GenerateLegal();
    if (game.moves.empty() || ply >= maxPlies) {
      game = plain_chess::Chess::From(chess::TChessPosition());
      ply = 0;
      continue;
    }
    positions.push_back(game.ToPosition());
    const std::vector<plain_chess::Move> moves = game.moves;
    game.Apply(moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(random)]);
    game.Flip();
    ++ply;
  }
  return positions;
}

}  // namespace chess_test
