#include "games/checkers/CheckersBoard.h"

#include <cstdlib>
#include <utility>

namespace checkers {
namespace {

// The tables as they read on a diagram, rank 8 first, files a to h.
using TDiagram = std::array<std::array<std::int32_t, 8>, 8>;

constexpr TDiagram kManDiagram = {{
    {0, 0, 0, 0, 0, 0, 0, 0},
    {90, 75, 75, 75, 75, 75, 75, 90},
    {50, 34, 34, 34, 34, 34, 34, 50},
    {30, 13, 13, 13, 13, 13, 13, 30},
    {10, 7, 7, 7, 7, 7, 7, 10},
    {5, 4, 4, 4, 4, 4, 4, 5},
    {3, 2, 2, 2, 2, 2, 2, 3},
    {1, 1, 1, 1, 1, 1, 1, 1},
}};

constexpr TDiagram kKingDiagram = {{
    {0, 0, 0, 0, 0, 0, 0, 0},
    {0, 5, 5, 5, 5, 5, 5, 0},
    {0, 5, 10, 10, 10, 10, 5, 0},
    {0, 5, 10, 15, 15, 10, 5, 0},
    {0, 5, 10, 15, 15, 10, 5, 0},
    {0, 5, 10, 10, 10, 10, 5, 0},
    {0, 5, 5, 5, 5, 5, 5, 0},
    {0, 0, 0, 0, 0, 0, 0, 0},
}};

constexpr std::array<std::int32_t, 64> BoardOrder(const TDiagram& diagram) {
  std::array<std::int32_t, 64> table{};
  for (int file = 0; file < 8; ++file)
    for (int rank = 0; rank < 8; ++rank) table[SquareIndex(file, rank)] = diagram[7 - rank][file];
  return table;
}

struct TSquareRef {
  int File;
  int Rank;
};

// Reads a square name at text[at], letters in either case.
bool ReadSquare(std::string_view text, std::size_t at, TSquareRef& square) {
  if (at + 2 > text.size()) return false;
  const char letter = static_cast<char>(text[at] | 0x20);
  const char digit = text[at + 1];
  if (letter < 'a' || letter > 'h' || digit < '1' || digit > '8') return false;
  square = {letter - 'a', digit - '1'};
  return true;
}

bool IsDiagonalStep(TSquareRef from, TSquareRef to) {
  const int files = std::abs(to.File - from.File);
  return files != 0 && files == std::abs(to.Rank - from.Rank);
}

}  // namespace

const std::array<std::int32_t, 64> ManTable = BoardOrder(kManDiagram);
const std::array<std::int32_t, 64> KingTable = BoardOrder(kKingDiagram);

void TCheckersPosition::SetStartPosition() {
  Squares.fill(kEmpty);
  for (int file = 0; file < 8; ++file) {
    for (int rank = 0; rank < 8; ++rank) {
      if (!IsPlayable(file, rank)) continue;
      if (rank <= 2) Squares[SquareIndex(file, rank)] = kOwnMan;
      if (rank >= 5) Squares[SquareIndex(file, rank)] = kOtherMan;
    }
  }
}

void TCheckersPosition::Flip() {
  for (int square = 0; square < 32; ++square) std::swap(Squares[square], Squares[63 - square]);
  for (auto& code : Squares)
    if (code != kEmpty) code = static_cast<std::int8_t>(code ^ kOtherSideBit);
}

bool TCheckersPosition::ApplyMove(std::string_view text) {
  // The whole text is checked first so that a malformed one changes nothing.
  if (text.size() < 5 || (text.size() - 2) % 3 != 0) return false;
  std::vector<TSquareRef> path;
  for (std::size_t at = 0; at < text.size(); at += 3) {
    TSquareRef square{};
    if (!ReadSquare(text, at, square)) return false;
    if (!path.empty() && !IsDiagonalStep(path.back(), square)) return false;
    path.push_back(square);
  }
  for (std::size_t step = 1; step < path.size(); ++step) {
    const TSquareRef from = path[step - 1];
    const TSquareRef to = path[step];
    const int fromIndex = SquareIndex(from.File, from.Rank);
    const int toIndex = SquareIndex(to.File, to.Rank);
    Squares[toIndex] = to.Rank == 7 ? kOwnKing : Squares[fromIndex];
    Squares[fromIndex] = kEmpty;
    // Empties whatever lies between: the jumped piece, or a king's stretch.
    const int fileStep = to.File > from.File ? 1 : -1;
    const int rankStep = to.Rank > from.Rank ? 1 : -1;
    for (int file = from.File + fileStep, rank = from.Rank + rankStep; file != to.File;
         file += fileStep, rank += rankStep)
      Squares[SquareIndex(file, rank)] = kEmpty;
  }
  return true;
}

std::string TCheckersPosition::TurnedMoveText(std::string_view text) {
  std::string turned(text);
  for (char& c : turned) {
    if (c >= 'a' && c <= 'h')
      c = static_cast<char>('h' - (c - 'a'));
    else if (c >= '1' && c <= '8')
      c = static_cast<char>('8' - (c - '1'));
  }
  return turned;
}

std::string TCheckersPosition::SquareName(int file, int rank) {
  return {static_cast<char>('a' + file), static_cast<char>('1' + rank)};
}

int TCheckersPosition::SideScore() const {
  int score = 0;
  for (int square = 0; square < 64; ++square) {
    if (Squares[square] == kOwnMan) score += kManValue + ManTable[square];
    if (Squares[square] == kOwnKing) score += kKingValue + KingTable[square];
  }
  return score;
}

int TCheckersPosition::OpponentScore() const {
  // The other side's pieces scored from its own side of the board.
  int score = 0;
  for (int square = 0; square < 64; ++square) {
    if (Squares[square] == kOtherMan) score += kManValue + ManTable[63 - square];
    if (Squares[square] == kOtherKing) score += kKingValue + KingTable[63 - square];
  }
  return score;
}

}  // namespace checkers
