#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "games/chess/ChessEngine.h"

// The deeper search's board: bitboards with fixed colours, a Zobrist key
// kept up to date, pseudo-legal move generation and copy-make moves that
// report their own legality under either rule book.
namespace chess::engine {

using TBitboard = std::uint64_t;

constexpr int kWhite = 0;
constexpr int kBlack = 1;

constexpr TBitboard Bit(int square) { return TBitboard{1} << square; }
constexpr int FileOf(int square) { return square & 7; }
constexpr int RankOf(int square) { return square >> 3; }
// The rank as the colour sees it: 0 is its own back rank.
constexpr int RelativeRank(int colour, int square) {
  return colour == kWhite ? RankOf(square) : 7 - RankOf(square);
}
constexpr int Forward(int colour) { return colour == kWhite ? 8 : -8; }
constexpr TBitboard kFileA = 0x0101010101010101ULL;
constexpr TBitboard FileMask(int file) { return kFileA << file; }
constexpr TBitboard RankMask(int rank) { return TBitboard{0xFF} << (8 * rank); }

TBitboard KnightAttacks(int square);
TBitboard KingAttacks(int square);
TBitboard PawnAttacks(int colour, int square);
TBitboard BishopAttacks(int square, TBitboard occupied);
TBitboard RookAttacks(int square, TBitboard occupied);
// The squares a knight, bishop, rook, queen or king on the square attacks
// (none for a pawn, whose attacks depend on its colour).
TBitboard PieceAttacks(int type, int square, TBitboard occupied);
// All squares the colour's pawns attack.
TBitboard PawnAttackSet(int colour, TBitboard pawns);

// A move in 16 bits: from, to and the promotion's piece type (0 for none).
// 0 is no move: no move leads from a1 to a1.
using TMove = std::uint16_t;
constexpr TMove kNoMove = 0;
constexpr TMove PackMove(int from, int to, int promotion = 0) {
  return static_cast<TMove>(from | (to << 6) | (promotion << 12));
}
constexpr int MoveFrom(TMove move) { return move & 63; }
constexpr int MoveTo(TMove move) { return (move >> 6) & 63; }
constexpr int MovePromotion(TMove move) { return move >> 12; }

struct TMoveList {
  // Enough for the pseudo moves of any position a FEN may describe (at most
  // sixteen pieces a side); Add drops moves past it for stranger boards.
  static constexpr int kCapacity = 384;
  std::array<TMove, kCapacity> Moves;
  int Count = 0;

  void Add(TMove move) {
    if (Count < kCapacity) Moves[Count++] = move;
  }
};

// Which moves to generate: captures and promotions to a queen (what the
// quiescence search looks at), the rest, or both.
enum TGenerate : int { kTactical = 1, kQuiet = 2, kAllMoves = 3 };

class TPosition {
 public:
  // Castling rights.
  static constexpr int kWhiteShort = 1;
  static constexpr int kWhiteLong = 2;
  static constexpr int kBlackShort = 4;
  static constexpr int kBlackLong = 8;

  explicit TPosition(TRules rules = TRules::Standard);
  static TPosition Start(TRules rules);

  // Set-up, for the readers of FEN and game positions: the pieces first,
  // then the side to move, the castling rights and the en-passant square.
  void Put(int square, int colour, int type);
  void SetSideToMove(int colour);
  void SetCastling(int rights);
  // The square behind a pawn that has just made its double step, or -1.
  void SetEnPassant(int square);
  void SetHalfMoveClock(int clock) { halfMoveClock_ = clock; }
  // Drops castling rights whose king or rook is not at home.
  void DropImpossibleCastling();

  TRules Rules() const { return rules_; }
  int SideToMove() const { return side_; }
  int Castling() const { return castling_; }
  int EnPassant() const { return enPassant_; }
  int HalfMoveClock() const { return halfMoveClock_; }
  std::uint64_t Hash() const { return hash_; }

  TBitboard Occupied() const { return byColour_[0] | byColour_[1]; }
  TBitboard Pieces(int colour) const { return byColour_[colour]; }
  TBitboard Pieces(int colour, int type) const { return byColour_[colour] & byType_[type]; }
  TBitboard PiecesOfType(int type) const { return byType_[type]; }
  // The piece type on the square (kEmpty for none) and its colour.
  int TypeAt(int square) const { return squares_[square] & 7; }
  int ColourAt(int square) const { return squares_[square] >> 3; }
  // The colour's king, -1 when it has none.
  int KingSquare(int colour) const;
  // Pieces other than pawns and kings.
  bool HasPieces(int colour) const;

  TBitboard AttackersTo(int square, TBitboard occupied) const;
  bool Attacked(int square, int byColour) const;
  // Attacked by a piece other than a pawn.
  bool ReachedByPiece(int square, int byColour) const;
  bool InCheck() const;

  void Generate(TMoveList& list, int kinds) const;
  // Whether Generate(kAllMoves) would list the move.
  bool IsPseudoLegal(TMove move) const;
  bool IsCapture(TMove move) const;
  // A capture or a promotion to a queen.
  bool IsTactical(TMove move) const;
  // The type of the piece the move takes (a pawn en passant), kEmpty for none.
  int CapturedType(TMove move) const;

  // Writes into after this position with the pseudo-legal move played and
  // returns whether the move was legal. after is meaningful only then.
  bool Play(TMove move, TPosition& after) const;
  // Passes the turn (for the search's null move); the half-move clock
  // starts again.
  void PlayNull(TPosition& after) const;

 private:
  void Remove(int square);
  void MovePiece(int from, int to);
  void Apply(TMove move);
  bool CastlingIsSafe(TMove move, const TPosition& after) const;
  bool IsCastling(TMove move) const;
  void AddPawnMoves(TMoveList& list, int kinds) const;
  void AddPromotions(TMoveList& list, int from, int to, int kinds) const;
  void AddCastlings(TMoveList& list) const;
  std::uint64_t EnPassantKey() const;

  std::array<std::uint8_t, 64> squares_{};
  std::array<TBitboard, 2> byColour_{};
  std::array<TBitboard, 7> byType_{};
  std::uint64_t hash_ = 0;
  TRules rules_;
  int side_ = kWhite;
  int castling_ = 0;
  int enPassant_ = -1;
  int halfMoveClock_ = 0;
};

// Reads FEN; fullMove receives the move number (1 when left out).
std::optional<TPosition> ParseFen(std::string_view fen, TRules rules, std::string& error,
                                  int& fullMove);
std::string WriteFen(const TPosition& position, int fullMove);
std::string MoveText(TMove move);

}  // namespace chess::engine
