#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "games/chess/ChessBoard.h"

// The search's own board: bitboards with fixed colours (no flipping), moves
// made on copies, and the evaluation kept up to date as pieces come and go.
// It reproduces the position rules exactly, including the castling test
// that counts a square as attacked only when some reply lands on it, so
// its values equal those of the plain negamax over TChessPosition.
namespace chess {

class TSearchBoard {
 public:
  using TBitboard = std::uint64_t;

  // Colours of the board: White is colour 1 of the position it was built
  // from, the side to move there.
  static constexpr int kWhite = 0;
  static constexpr int kBlack = 1;

  // Trivial, so that move lists are not cleared on creation.
  struct TMove {
    std::uint8_t From;
    std::uint8_t To;
  };

  // At most 16 pieces can reach one square (the first piece on each of the
  // eight rays and eight knights), so no side has more pseudo moves than this.
  static constexpr int kMaxMoves = 16 * 64;

  struct TMoveList {
    std::array<TMove, kMaxMoves> Moves;
    int Count = 0;
  };

  // The board of a position whose values it reproduces, or none for a
  // position outside that set: a square value with a colour byte other than
  // 0 or 1 or a type above king, or an en-passant square that is not the
  // empty square behind a pawn of the other side that has just made its
  // double step.
  static std::optional<TSearchBoard> FromPosition(const TChessPosition& position);

  int SideToMove() const { return sideToMove_; }
  // The static evaluation for the side to move.
  int Evaluate() const { return score_[sideToMove_] - score_[sideToMove_ ^ 1]; }
  // How much the move changes the evaluation for the side that makes it.
  int Gain(TMove move) const;

  // Every move the side to move's pieces can make by their moving rules:
  // captures and promotions first, then the other moves.
  void GeneratePseudoMoves(TMoveList& list) const;
  // Whether the move is one of GeneratePseudoMoves' moves other than a castling.
  bool IsPseudoMove(TMove move) const;
  // Plays the move on this board; the other side is to move afterwards.
  void MakeMove(TMove move);
  // Whether the move, already played on after (a copy of this board), is
  // legal here. inCheck is whether the side to move is in check here.
  bool IsLegalAfter(TMove move, const TSearchBoard& after, bool inCheck) const;
  bool IsInCheck() const { return KingAttacked(sideToMove_); }

  // The square value (TChessPosition encoding, colour 1 = the side to move)
  // of square index 0..63 seen from the side to move, for tests.
  std::uint16_t SquareValue(int index) const;

 private:
  static constexpr std::uint8_t kWhiteShort = 1;
  static constexpr std::uint8_t kWhiteLong = 2;
  static constexpr std::uint8_t kBlackShort = 4;
  static constexpr std::uint8_t kBlackLong = 8;

  static int Forward(int colour) { return colour == kWhite ? 8 : -8; }
  // The first square of the colour's own back rank.
  static int HomeRow(int colour) { return colour == kWhite ? 0 : 56; }
  static int OwnRank(int colour, int square) {
    return colour == kWhite ? square >> 3 : 7 - (square >> 3);
  }

  std::uint8_t TypeAt(int square) const { return squares_[square] & 7; }
  bool HasPiece(int square, int colour, int type) const {
    return squares_[square] == (type | (colour << 3));
  }
  int Contribution(int square) const;
  void Put(int square, std::uint8_t piece);
  void Remove(int square);
  void MovePiece(int from, int to);

  bool Attacked(int square, int byColour) const;
  // Attacked, or reached by a straight step of a pawn of byColour, without
  // the pawns' diagonals: the moves that can land on an empty square.
  bool LandedOnEmpty(int square, int byColour) const;
  bool KingAttacked(int colour) const;

  struct TTargets {
    // Captures and promotions.
    TBitboard Tactical;
    TBitboard Quiet;
  };
  // The targets of the side to move's piece on the square, castling aside.
  TTargets PieceTargets(int from) const;
  static void AddPieceMoves(TMoveList& list, int from, TBitboard targets);
  void AddCastlings(TMoveList& list) const;

  // Piece codes: type | colour << 3; 0 is an empty square.
  std::array<std::uint8_t, 64> squares_{};
  std::array<TBitboard, 2> byColour_{};
  std::array<TBitboard, 7> byType_{};
  std::array<int, 2> score_{};
  std::array<std::array<std::uint8_t, 8>, 2> pawnsOnFile_{};
  int enPassant_ = -1;
  std::uint8_t castling_ = 0;
  std::uint8_t sideToMove_ = kWhite;
};

// The exact negamax value of the board searched depth plies deep, with
// alpha-beta inside the window and the exact value whenever it lies in it.
int SearchBoard(const TSearchBoard& board, int depth);
// The number of legal move sequences of the given length.
std::uint64_t PerftBoard(const TSearchBoard& board, int depth);

}  // namespace chess
