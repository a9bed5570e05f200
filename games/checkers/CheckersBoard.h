#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace checkers {

// Square codes. Bit 0 marks an occupied square, bit 1 the side that is not
// to move, bit 2 a king.
constexpr std::int8_t kEmpty = 0;
constexpr std::int8_t kOwnMan = 1;
constexpr std::int8_t kOtherMan = 3;
constexpr std::int8_t kOwnKing = 5;
constexpr std::int8_t kOtherKing = 7;
constexpr std::int8_t kOtherSideBit = 2;
constexpr std::int8_t kKingBit = 4;

constexpr int kManValue = 100;
constexpr int kKingValue = 300;

// Placement bonuses for the side to move, indexed like the board.
extern const std::array<std::int32_t, 64> ManTable;
extern const std::array<std::int32_t, 64> KingTable;

// Square index = file * 8 + rank (a1 = 0, a2 = 1, b1 = 8, h8 = 63).
constexpr int SquareIndex(int file, int rank) { return file * 8 + rank; }
constexpr int FileOf(int square) { return square / 8; }
constexpr int RankOf(int square) { return square % 8; }
// Dark squares: the only ones a piece ever stands on.
constexpr bool IsPlayable(int file, int rank) { return (file + rank) % 2 == 0; }

// Move texts in generation order.
using TCheckersMoveArray = std::vector<std::string>;

// The board, always seen from the side to move: its pieces are 1 and 5 and
// its men move towards rank 8.
class TCheckersPosition {
 public:
  TCheckersPosition() { SetStartPosition(); }

  void SetStartPosition();
  // Turns the board by 180 degrees and swaps the colours.
  void Flip();
  // Plays a move text such as "c3-d4" or "c3-e5-g7" without checking its
  // legality. A text that is not made of square names joined along
  // diagonals is ignored and false is returned.
  bool ApplyMove(std::string_view text);

  static std::string SquareName(int file, int rank);
  // The move text as the other side sees it, with the board turned by 180
  // degrees: "c3-d4" becomes "f6-e5". Other characters stay as they are.
  static std::string TurnedMoveText(std::string_view text);

  int SideScore() const;
  int OpponentScore() const;
  int Evaluate() const { return SideScore() - OpponentScore(); }

  bool operator==(const TCheckersPosition&) const = default;

  std::array<std::int8_t, 64> Squares{};
};

}  // namespace checkers
