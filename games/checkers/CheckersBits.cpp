#include "games/checkers/CheckersBits.h"

#include <algorithm>
#include <bit>
#include <string>

namespace checkers::compact {
namespace {

TGeometry BuildGeometry() {
  TGeometry geometry;
  for (int compact = 0; compact < kPlayable; ++compact) {
    const int square = BoardSquareOf(compact);
    const int file = FileOf(square), rank = RankOf(square);
    geometry.File[compact] = static_cast<std::int8_t>(file);
    geometry.Rank[compact] = static_cast<std::int8_t>(rank);
    for (int direction = 0; direction < kDirections; ++direction) {
      int length = 0;
      for (int f = file + kFileStep[direction], r = rank + kRankStep[direction];
           f >= 0 && f < 8 && r >= 0 && r < 8; f += kFileStep[direction], r += kRankStep[direction])
        geometry.Ray[compact][direction][length++] =
            static_cast<std::int8_t>(CompactOf(SquareIndex(f, r)));
      geometry.RayLength[compact][direction] = static_cast<std::int8_t>(length);
    }
  }
  int next = 0;
  for (int rank = 0; rank < 8; ++rank)
    for (int file = 0; file < 8; ++file)
      if (IsPlayable(file, rank))
        geometry.Order[next++] = static_cast<std::int8_t>(CompactOf(SquareIndex(file, rank)));
  return geometry;
}

void AppendName(std::string& text, int compact) {
  const int square = BoardSquareOf(compact);
  text += static_cast<char>('a' + FileOf(square));
  text += static_cast<char>('1' + RankOf(square));
}

template <bool kWithTexts>
class TGenerator {
 public:
  TGenerator(const TBits& bits, std::vector<TFastMove>& moves, TCheckersMoveArray* texts)
      : Board(bits), Moves(moves), Texts(texts), First(moves.size()) {}

  // Returns whether the moves are captures.
  bool Generate() {
    const TGeometry& g = Geometry();
    for (const std::int8_t square : g.Order) {
      if (!(Board.Own & Bit(square))) continue;
      const bool king = (Board.Kings & Bit(square)) != 0;
      Start(square, king);
      for (int direction = 0; direction < kDirections; ++direction) {
        if (!HasTwoSquares(square, direction)) continue;
        if (king)
          KingCaptures(square, direction);
        else
          ManCaptures(square, direction);
      }
    }
    if (CaptureFound) return true;
    for (const std::int8_t square : g.Order) {
      if (!(Board.Own & Bit(square))) continue;
      const bool king = (Board.Kings & Bit(square)) != 0;
      Start(square, king);
      if (king) {
        for (int direction = 0; direction < kDirections; ++direction) KingSlides(square, direction);
      } else if (g.Rank[square] <= 6) {
        ManStep(square, kUpLeft);
        ManStep(square, kUpRight);
      }
    }
    return false;
  }

 private:
  struct TSaved {
    TBits Board;
    std::uint32_t Captured;
    bool Promoted;
  };

  bool Empty(int square) const { return !((Board.Own | Board.Other) & Bit(square)); }
  static bool HasTwoSquares(int square, int direction) {
    return Geometry().RayLength[square][direction] >= 2;
  }
  TSaved Save() const { return {Board, Captured, Promoted}; }
  void Restore(const TSaved& saved) {
    Board = saved.Board;
    Captured = saved.Captured;
    Promoted = saved.Promoted;
  }
  // The captured piece stays on the board as an own man until the move ends:
  // it cannot be taken twice and it blocks the way.
  void TakeAsBlocker(int victim) {
    Board.Other &= ~Bit(victim);
    Board.Kings &= ~Bit(victim);
    Board.Own |= Bit(victim);
    Captured |= Bit(victim);
  }

  void Start(int square, bool king) {
    From = square;
    StartsAsKing = king;
    Captured = 0;
    Promoted = false;
    if constexpr (kWithTexts) {
      Path.clear();
      AppendName(Path, square);
    }
  }

  void Add(int to, bool promotes) {
    Moves.push_back(
        {Captured, static_cast<std::uint8_t>(From), static_cast<std::uint8_t>(to),
         StartsAsKing || promotes,
         static_cast<std::uint16_t>(std::min<std::size_t>(Moves.size() - First, 0xFFFE)), 0});
    if constexpr (kWithTexts) {
      PushLanding(to);
      Texts->push_back(Path);
      PopLanding();
    }
  }

  void PushLanding(int square) {
    if constexpr (kWithTexts) {
      Path += '-';
      AppendName(Path, square);
    }
  }
  void PopLanding() {
    if constexpr (kWithTexts) Path.resize(Path.size() - 3);
  }

  void ManCaptures(int square, int direction) {
    const TGeometry& g = Geometry();
    const int neighbour = g.Ray[square][direction][0];
    const int landing = g.Ray[square][direction][1];
    if (!(Board.Other & Bit(neighbour)) || !Empty(landing)) return;
    CaptureFound = true;
    const TSaved saved = Save();
    TakeAsBlocker(neighbour);
    if (g.Rank[landing] == 7) {
      // Promotion: the capture goes on as a king when it can.
      Promoted = true;
      PushLanding(landing);
      bool found = false;
      if (g.File[landing] >= 2) found = KingCaptures(landing, kDownLeft);
      if (!found && g.File[landing] <= 5) found = KingCaptures(landing, kDownRight);
      PopLanding();
      if (!found) Add(landing, true);
    } else {
      Add(landing, false);
      PushLanding(landing);
      for (int next = 0; next < kDirections; ++next)
        if (HasTwoSquares(landing, next)) ManCaptures(landing, next);
      PopLanding();
    }
    Restore(saved);
  }

  bool KingCaptures(int square, int direction) {
    const auto& ray = Geometry().Ray[square][direction];
    const int length = Geometry().RayLength[square][direction];
    int at = 0;
    while (at < length && Empty(ray[at])) ++at;
    if (at == length || !(Board.Other & Bit(ray[at]))) return false;
    const int victim = ray[at];
    const int firstLanding = at + 1;
    bool found = false;
    bool continued = false;
    for (int land = firstLanding; land < length && Empty(ray[land]); ++land) {
      found = true;
      CaptureFound = true;
      if (continued) continue;
      const TSaved saved = Save();
      TakeAsBlocker(victim);
      PushLanding(ray[land]);
      for (int next = 0; next < kDirections && !continued; ++next)
        continued = HasTwoSquares(ray[land], next) && KingCaptures(ray[land], next);
      PopLanding();
      Restore(saved);
    }
    if (!continued) {
      const std::uint32_t before = Captured;
      Captured |= Bit(victim);
      for (int land = firstLanding; land < length && Empty(ray[land]); ++land)
        Add(ray[land], Promoted);
      Captured = before;
    }
    return found;
  }

  void KingSlides(int square, int direction) {
    const auto& ray = Geometry().Ray[square][direction];
    const int length = Geometry().RayLength[square][direction];
    for (int at = 0; at < length && Empty(ray[at]); ++at) Add(ray[at], false);
  }

  void ManStep(int square, int direction) {
    if (Geometry().RayLength[square][direction] == 0) return;
    const int target = Geometry().Ray[square][direction][0];
    if (Empty(target)) Add(target, Geometry().Rank[target] == 7);
  }

  TBits Board;
  std::vector<TFastMove>& Moves;
  TCheckersMoveArray* Texts;
  std::size_t First;
  bool CaptureFound = false;
  int From = 0;
  bool StartsAsKing = false;
  std::uint32_t Captured = 0;
  bool Promoted = false;
  std::string Path;
};

// Whether `check` holds for a piece of the side to move in a direction.
template <typename TCheck>
bool AnyPieceDirection(const TBits& bits, TCheck check) {
  for (std::uint32_t pieces = bits.Own; pieces != 0; pieces &= pieces - 1) {
    const int square = std::countr_zero(pieces);
    const bool king = (bits.Kings & Bit(square)) != 0;
    for (int direction = 0; direction < kDirections; ++direction)
      if (check(square, king, direction)) return true;
  }
  return false;
}

}  // namespace

const TGeometry& Geometry() {
  static const TGeometry geometry = BuildGeometry();
  return geometry;
}

TBits ToBits(const TCheckersPosition& position) {
  TBits bits;
  for (int compact = 0; compact < kPlayable; ++compact) {
    const std::int8_t code = position.Squares[BoardSquareOf(compact)];
    if (code == kOwnMan || code == kOwnKing) bits.Own |= Bit(compact);
    if (code == kOtherMan || code == kOtherKing) bits.Other |= Bit(compact);
    if (code == kOwnKing || code == kOtherKing) bits.Kings |= Bit(compact);
  }
  return bits;
}

TCheckersPosition ToPosition(const TBits& bits) {
  TCheckersPosition position;
  position.Squares.fill(kEmpty);
  for (int compact = 0; compact < kPlayable; ++compact) {
    const bool king = (bits.Kings & Bit(compact)) != 0;
    std::int8_t& code = position.Squares[BoardSquareOf(compact)];
    if (bits.Own & Bit(compact)) code = king ? kOwnKing : kOwnMan;
    if (bits.Other & Bit(compact)) code = king ? kOtherKing : kOtherMan;
  }
  return position;
}

bool GenerateFast(const TBits& bits, std::vector<TFastMove>& moves) {
  return TGenerator<false>(bits, moves, nullptr).Generate();
}

bool GenerateWithTexts(const TBits& bits, std::vector<TFastMove>& moves,
                       TCheckersMoveArray& texts) {
  return TGenerator<true>(bits, moves, &texts).Generate();
}

bool HasCapture(const TBits& bits) {
  const std::uint32_t empty = ~(bits.Own | bits.Other);
  return AnyPieceDirection(bits, [&](int square, bool king, int direction) {
    const auto& ray = Geometry().Ray[square][direction];
    const int length = Geometry().RayLength[square][direction];
    int at = 0;
    if (king)
      while (at < length && (empty & Bit(ray[at]))) ++at;
    return at + 1 < length && (bits.Other & Bit(ray[at])) && (empty & Bit(ray[at + 1]));
  });
}

bool HasQuietMove(const TBits& bits) {
  const std::uint32_t empty = ~(bits.Own | bits.Other);
  return AnyPieceDirection(bits, [&](int square, bool king, int direction) {
    if (!king && direction != kUpLeft && direction != kUpRight) return false;
    return Geometry().RayLength[square][direction] > 0 &&
           (empty & Bit(Geometry().Ray[square][direction][0])) != 0;
  });
}

}  // namespace checkers::compact
