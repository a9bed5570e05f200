#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"

// The chess position, always seen from the side to move: its pieces have
// colour 1, its pawns move towards rank 8 and its back rank is rank 1.
namespace chess {

// Piece types: the low byte of a square value.
enum TPieceType : std::uint8_t {
  kEmpty = 0,
  kPawn = 1,
  kRook = 2,
  kKnight = 3,
  kBishop = 4,
  kQueen = 5,
  kKing = 6,
};

// Colours: the high byte of a square value.
constexpr std::uint8_t kOtherSide = 0;
constexpr std::uint8_t kSideToMove = 1;

constexpr std::uint16_t MakePiece(std::uint8_t type, std::uint8_t colour) {
  return static_cast<std::uint16_t>(type | (colour << 8));
}
constexpr std::uint8_t PieceType(std::uint16_t value) { return value & 0xFF; }
constexpr std::uint8_t PieceColour(std::uint16_t value) { return value >> 8; }

struct TChessMove {
  std::int32_t FromX = 0;
  std::int32_t FromY = 0;
  std::int32_t ToX = 0;
  std::int32_t ToY = 0;
  // The target square held a piece when the move was generated (false for
  // an en-passant capture).
  bool Capture = false;

  friend bool operator==(const TChessMove&, const TChessMove&) = default;
};

using TChessMoveArray = std::vector<TChessMove>;

class TChessPosition {
 public:
  // The start position.
  TChessPosition();

  void SetStartPosition();
  void Assign(const TChessPosition& other) { *this = other; }

  // Squares outside the board read as empty and ignore writes.
  std::uint16_t GetSquare(platform::TPoint square) const;
  void SetSquare(platform::TPoint square, std::uint16_t value);
  // Empties the square's type byte; its colour byte is left.
  void ClearSquare(platform::TPoint square);
  static std::uint16_t SwapColour(std::uint16_t value);

  // Mirrors rank r with rank 7 - r (files stay), swaps the colours and the
  // two sides' castling rights: the other side becomes the side to move.
  void Flip();
  // Plays a move record without any legality test.
  void ApplyMove(const TChessMove& move);

  // "E2-E4", or "D4:E5" for a capture.
  static std::string MoveToText(const TChessMove& move);
  // The same move on the flipped board.
  static TChessMove MirrorMove(const TChessMove& move);

  // The material and placement of the side to move's pieces.
  int SideScore() const;
  // The other side's pieces, scored from their own side.
  int OpponentScore() const;
  int Evaluate() const { return SideScore() - OpponentScore(); }

  static constexpr int Index(int file, int rank) { return rank * 8 + file; }
  static constexpr bool OnBoard(int file, int rank) {
    return file >= 0 && file < 8 && rank >= 0 && rank < 8;
  }

  friend bool operator==(const TChessPosition&, const TChessPosition&) = default;

  // Indexed rank x 8 + file: a1 is 0, b1 is 1, a2 is 8, h8 is 63.
  std::array<std::uint16_t, 64> Squares{};
  bool OwnLongCastle = true;
  bool OwnShortCastle = true;
  bool OppLongCastle = true;
  bool OppShortCastle = true;
  // The square a pawn of the side to move may take en passant; (-1,-1) for none.
  platform::TPoint EnPassant{-1, -1};
};

// The text form of a position: the board like the board field of FEN (rank 8
// first, "/" between ranks, digits for runs of empty squares, letters
// p r n b q k, upper case for colour 1), a space, the castling rights as any
// of K (own h-side), Q (own a-side), k (other h-side), q (other a-side) or
// "-", a space, and the EnPassant square ("e6") or "-". Empty squares get
// colour byte 0.
std::string PositionToText(const TChessPosition& position);
// Throws std::invalid_argument saying what is wrong with a malformed text.
TChessPosition PositionFromText(std::string_view text);

// The evaluation constants, shared by the position's own scoring and the search.
namespace score {
constexpr int kPawnValue = 100;
constexpr int kMinorValue = 300;
constexpr int kRookValue = 500;
constexpr int kQueenValue = 900;
constexpr int kKingValue = 10000;
constexpr int kKingOnG1 = 12;
constexpr int kKingOnC1 = 32;
constexpr int kRookBehindPawn = 16;
constexpr std::array<int, 8> kCenter{0, 1, 2, 3, 3, 2, 1, 0};
constexpr std::array<int, 8> kPawnRank{0, 0, 0, 2, 4, 8, 30, 0};
constexpr std::array<int, 8> kPawnFile{0, 0, 2, 5, 6, 2, 0, 0};

// The score of a piece of the side to move on (file, rank), without the
// bonus a pawn gets from its own rook on rank 1.
constexpr int PieceScore(std::uint8_t type, int file, int rank) {
  const int placement = 2 * (kCenter[file] + kCenter[rank]);
  switch (type) {
    case kPawn:
      return kPawnValue + kPawnFile[file] * (rank + 2) + kPawnRank[rank];
    case kKnight:
    case kBishop:
      return kMinorValue + placement;
    case kRook:
      return kRookValue + placement;
    case kQueen:
      return kQueenValue + placement;
    case kKing:
      return kKingValue + (rank == 0 && file == 6 ? kKingOnG1 : 0) +
             (rank == 0 && file == 2 ? kKingOnC1 : 0);
    default:
      return 0;
  }
}
}  // namespace score

}  // namespace chess
