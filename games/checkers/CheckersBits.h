#pragma once

// The compact board the searches work on and its move generator: the 32
// playable squares as bits, moves as board changes rather than texts.

#include <array>
#include <bit>
#include <cstdint>
#include <vector>

#include "games/checkers/CheckersBoard.h"

namespace checkers::compact {

// The 32 playable squares are numbered 0..31 in board-index order
// (index = square / 2), so turning the board by 180 degrees
// (square s <-> 63 - s) is a reversal of the 32 bits.
constexpr int kPlayable = 32;
constexpr int kDirections = 4;
// (file step, rank step) in generation order.
constexpr std::array<int, kDirections> kFileStep = {-1, -1, +1, +1};
constexpr std::array<int, kDirections> kRankStep = {-1, +1, -1, +1};
constexpr int kUpLeft = 1;
constexpr int kUpRight = 3;
constexpr int kDownLeft = 0;
constexpr int kDownRight = 2;

constexpr int BoardSquareOf(int compact) {
  const int file = compact / 4;
  return SquareIndex(file, 2 * (compact % 4) + file % 2);
}
constexpr int CompactOf(int square) { return square / 2; }

struct TGeometry {
  // Squares along each diagonal, nearest first, up to the edge.
  std::array<std::array<std::array<std::int8_t, 7>, kDirections>, kPlayable> Ray{};
  std::array<std::array<std::int8_t, kDirections>, kPlayable> RayLength{};
  std::array<std::int8_t, kPlayable> File{};
  std::array<std::int8_t, kPlayable> Rank{};
  // Generation visits rank 1 to rank 8, files a to h within a rank.
  std::array<std::int8_t, kPlayable> Order{};
};

const TGeometry& Geometry();

constexpr std::uint32_t Bit(int compact) { return std::uint32_t{1} << compact; }

inline std::uint32_t Reverse(std::uint32_t x) {
  x = ((x >> 1) & 0x55555555u) | ((x & 0x55555555u) << 1);
  x = ((x >> 2) & 0x33333333u) | ((x & 0x33333333u) << 2);
  x = ((x >> 4) & 0x0F0F0F0Fu) | ((x & 0x0F0F0F0Fu) << 4);
  return __builtin_bswap32(x);
}

// The sum of a table's values over the squares of `squares`.
template <typename TTable>
int SumOver(std::uint32_t squares, const TTable& table) {
  int sum = 0;
  for (; squares != 0; squares &= squares - 1) sum += table[std::countr_zero(squares)];
  return sum;
}

// Own and Other are the pieces of the side to move and of the other side;
// Kings marks the kings of both.
struct TBits {
  std::uint32_t Own = 0;
  std::uint32_t Other = 0;
  std::uint32_t Kings = 0;
  bool operator==(const TBits&) const = default;
};

inline TBits Flipped(const TBits& bits) {
  return {Reverse(bits.Other), Reverse(bits.Own), Reverse(bits.Kings)};
}

TBits ToBits(const TCheckersPosition& position);
TCheckersPosition ToPosition(const TBits& bits);

struct TFastMove {
  std::uint32_t Captured;
  std::uint8_t From;
  std::uint8_t To;
  bool EndsAsKing;
  std::uint16_t Index;  // position in generation order
  std::int32_t Key;     // ordering key
};

// The board after the move, seen by the side to move next.
inline TBits Play(const TBits& bits, const TFastMove& move) {
  const std::uint32_t from = Bit(move.From), to = Bit(move.To);
  TBits next;
  next.Own = (bits.Own & ~from) | to;
  next.Other = bits.Other & ~move.Captured;
  next.Kings = (bits.Kings & ~from & ~move.Captured) | (move.EndsAsKing ? to : 0);
  return Flipped(next);
}

// Appends the moves of `bits` to `moves` in generation order; returns
// whether they are captures.
bool GenerateFast(const TBits& bits, std::vector<TFastMove>& moves);
// The same, with the move texts appended to `texts` in the same order.
bool GenerateWithTexts(const TBits& bits, std::vector<TFastMove>& moves, TCheckersMoveArray& texts);
// Whether the side to move has a capture, without listing the moves.
bool HasCapture(const TBits& bits);
// Whether the side to move has a move that is not a capture.
bool HasQuietMove(const TBits& bits);

}  // namespace checkers::compact
