#include "games/checkers/CheckersThinker.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <climits>

#include "app/Random.h"

namespace checkers {
namespace {

// ---------------------------------------------------------------------------
// Compact board. The 32 playable squares are numbered 0..31 in board-index
// order (index = square / 2), so turning the board by 180 degrees
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
  // Evaluation terms of one piece, for the side to move and for the other.
  std::array<std::int16_t, kPlayable> OwnMan{}, OwnKing{}, OtherMan{}, OtherKing{};
};

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
    geometry.OwnMan[compact] = static_cast<std::int16_t>(kManValue + ManTable[square]);
    geometry.OwnKing[compact] = static_cast<std::int16_t>(kKingValue + KingTable[square]);
    geometry.OtherMan[compact] = static_cast<std::int16_t>(kManValue + ManTable[63 - square]);
    geometry.OtherKing[compact] = static_cast<std::int16_t>(kKingValue + KingTable[63 - square]);
  }
  int next = 0;
  for (int rank = 0; rank < 8; ++rank)
    for (int file = 0; file < 8; ++file)
      if (IsPlayable(file, rank))
        geometry.Order[next++] = static_cast<std::int8_t>(CompactOf(SquareIndex(file, rank)));
  return geometry;
}

const TGeometry& Geometry() {
  static const TGeometry geometry = BuildGeometry();
  return geometry;
}

constexpr std::uint32_t Bit(int compact) { return std::uint32_t{1} << compact; }

std::uint32_t Reverse(std::uint32_t x) {
  x = ((x >> 1) & 0x55555555u) | ((x & 0x55555555u) << 1);
  x = ((x >> 2) & 0x33333333u) | ((x & 0x33333333u) << 2);
  x = ((x >> 4) & 0x0F0F0F0Fu) | ((x & 0x0F0F0F0Fu) << 4);
  return __builtin_bswap32(x);
}

// Own and Other are the pieces of the side to move and of the other side;
// Kings marks the kings of both.
struct TBits {
  std::uint32_t Own = 0;
  std::uint32_t Other = 0;
  std::uint32_t Kings = 0;
  bool operator==(const TBits&) const = default;
};

TBits Flipped(const TBits& bits) {
  return {Reverse(bits.Other), Reverse(bits.Own), Reverse(bits.Kings)};
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

int SumTerms(std::uint32_t pieces, const std::array<std::int16_t, kPlayable>& terms) {
  int sum = 0;
  for (; pieces != 0; pieces &= pieces - 1) sum += terms[std::countr_zero(pieces)];
  return sum;
}

int Evaluate(const TBits& bits) {
  const TGeometry& g = Geometry();
  return SumTerms(bits.Own & ~bits.Kings, g.OwnMan) + SumTerms(bits.Own & bits.Kings, g.OwnKing) -
         SumTerms(bits.Other & ~bits.Kings, g.OtherMan) -
         SumTerms(bits.Other & bits.Kings, g.OtherKing);
}

// ---------------------------------------------------------------------------
// Moves as the search needs them: the board change, not the text.

struct TFastMove {
  std::uint32_t Captured;
  std::uint8_t From;
  std::uint8_t To;
  bool EndsAsKing;
  std::uint16_t Index;  // position in generation order
  std::int32_t Key;     // ordering key
};

// The board after the move, seen by the side to move next.
TBits Play(const TBits& bits, const TFastMove& move) {
  const std::uint32_t from = Bit(move.From), to = Bit(move.To);
  TBits next;
  next.Own = (bits.Own & ~from) | to;
  next.Other = bits.Other & ~move.Captured;
  next.Kings = (bits.Kings & ~from & ~move.Captured) | (move.EndsAsKing ? to : 0);
  return Flipped(next);
}

// Change of the mover's evaluation made by the move.
int EvaluationGain(const TBits& bits, const TFastMove& move) {
  const TGeometry& g = Geometry();
  const bool wasKing = (bits.Kings & Bit(move.From)) != 0;
  int gain = (move.EndsAsKing ? g.OwnKing[move.To] : g.OwnMan[move.To]) -
             (wasKing ? g.OwnKing[move.From] : g.OwnMan[move.From]);
  gain += SumTerms(move.Captured & ~bits.Kings, g.OtherMan);
  gain += SumTerms(move.Captured & bits.Kings, g.OtherKing);
  return gain;
}

void AppendName(std::string& text, int compact) {
  const int square = BoardSquareOf(compact);
  text += static_cast<char>('a' + FileOf(square));
  text += static_cast<char>('1' + RankOf(square));
}

// The move generator on the compact board. It follows the rule book step by
// step: captures first (a man may stop after any jump, a king follows only
// its first continuation, captured pieces block as own men until the move
// ends, a man promoted mid-capture goes on as a king), simple moves only when
// no capture exists. With texts it also writes the move texts in order.
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

// Appends the moves of `bits` to `moves`; returns whether they are captures.
bool GenerateFast(const TBits& bits, std::vector<TFastMove>& moves) {
  return TGenerator<false>(bits, moves, nullptr).Generate();
}

bool GenerateWithTexts(const TBits& bits, std::vector<TFastMove>& moves,
                       TCheckersMoveArray& texts) {
  return TGenerator<true>(bits, moves, &texts).Generate();
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::uint64_t CountSequences(const TBits& bits, int depth, std::vector<TFastMove>& stack) {
  if (depth <= 0) return 1;
  const std::size_t begin = stack.size();
  GenerateFast(bits, stack);
  const std::size_t end = stack.size();
  std::uint64_t count = 0;
  if (depth == 1) {
    count = end - begin;
  } else {
    for (std::size_t i = begin; i < end; ++i)
      count += CountSequences(Play(bits, stack[i]), depth - 1, stack);
  }
  stack.resize(begin);
  return count;
}

constexpr int kInfinity = -kNoMoveScore + 1;
constexpr int kWinScore = -kNoMoveScore;

}  // namespace

// ---------------------------------------------------------------------------
// The search. A position and the remaining depth fully determine a value of
// the full-width negamax (the scores do not depend on the path or on the
// distance to the end of the game), so bounds proven for (board, depth) stay
// true for the life of the cache and are kept across searches.

class TCheckersSearchCache {
 public:
  TCheckersSearchCache() : Table(kBuckets * 2) { MoveStack.reserve(4096); }

  int Search(const TBits& bits, int depth, int alpha, int beta) {
    if (depth <= 0) return Evaluate(bits);
    if (depth == 1) return SearchOnePly(bits);
    TEntry* entry = Find(bits, depth);
    int lower = kNoMoveScore, upper = kWinScore;
    std::uint16_t hint = kNoHint;
    if (entry) {
      lower = entry->Lower;
      upper = entry->Upper;
      hint = entry->Best;
      if (lower >= beta) return lower;
      if (upper <= alpha || lower == upper) return upper;
      alpha = std::max(alpha, lower);
      beta = std::min(beta, upper);
    }
    const std::size_t begin = MoveStack.size();
    GenerateFast(bits, MoveStack);
    const std::size_t end = MoveStack.size();
    if (begin == end) {
      Store(bits, depth, kNoMoveScore, kNoMoveScore, kNoHint);
      return kNoMoveScore;
    }
    for (std::size_t i = begin; i < end; ++i)
      MoveStack[i].Key = MoveStack[i].Index == hint ? INT_MAX : EvaluationGain(bits, MoveStack[i]);
    int best = kNoMoveScore - 1;
    std::uint16_t bestIndex = kNoHint;
    for (std::size_t i = begin; i < end; ++i) {
      BringBestForward(i, end);
      const TFastMove move = MoveStack[i];
      const int value = -Search(Play(bits, move), depth - 1, -beta, -std::max(alpha, best));
      if (value > best) {
        best = value;
        bestIndex = move.Index;
        if (best >= beta || best >= kWinScore) break;
      }
    }
    MoveStack.resize(begin);
    if (best <= alpha) {
      upper = std::min(upper, best);
      bestIndex = hint;
    } else if (best >= beta) {
      lower = std::max(lower, best);
    } else {
      lower = upper = best;
    }
    Store(bits, depth, lower, upper, bestIndex);
    return best;
  }

 private:
  static constexpr std::size_t kBuckets = std::size_t{1} << 15;
  static constexpr std::uint16_t kNoHint = 0xFFFF;

  struct TEntry {
    TBits Board;
    std::int16_t Lower = 0;
    std::int16_t Upper = 0;
    std::uint16_t Best = kNoHint;
    std::uint8_t Depth = 0;  // 0: unused
  };

  // One ply: the best evaluation the mover can reach, without building the
  // positions.
  int SearchOnePly(const TBits& bits) {
    const std::size_t begin = MoveStack.size();
    GenerateFast(bits, MoveStack);
    const std::size_t end = MoveStack.size();
    if (begin == end) return kNoMoveScore;
    int gain = INT_MIN;
    for (std::size_t i = begin; i < end; ++i)
      gain = std::max(gain, EvaluationGain(bits, MoveStack[i]));
    MoveStack.resize(begin);
    return Evaluate(bits) + gain;
  }

  void BringBestForward(std::size_t from, std::size_t end) {
    std::size_t best = from;
    for (std::size_t i = from + 1; i < end; ++i)
      if (MoveStack[i].Key > MoveStack[best].Key) best = i;
    std::swap(MoveStack[from], MoveStack[best]);
  }

  static std::size_t Bucket(const TBits& bits, int depth) {
    std::uint64_t h = (std::uint64_t{bits.Own} << 32 | bits.Other) * 0x9E3779B97F4A7C15ull;
    h ^= (std::uint64_t{bits.Kings} << 8 | static_cast<std::uint64_t>(depth)) *
         0xC2B2AE3D27D4EB4Full;
    h ^= h >> 31;
    h *= 0xD6E8FEB86659FD93ull;
    h ^= h >> 32;
    return static_cast<std::size_t>(h & (kBuckets - 1)) * 2;
  }

  TEntry* Find(const TBits& bits, int depth) {
    const std::size_t at = Bucket(bits, depth);
    for (std::size_t slot = at; slot < at + 2; ++slot)
      if (Table[slot].Depth == depth && Table[slot].Board == bits) return &Table[slot];
    return nullptr;
  }

  // The first slot keeps the deeper result, the second always takes the
  // newest.
  void Store(const TBits& bits, int depth, int lower, int upper, std::uint16_t best) {
    const std::size_t at = Bucket(bits, depth);
    TEntry* entry = Find(bits, depth);
    if (!entry) entry = depth >= Table[at].Depth ? &Table[at] : &Table[at + 1];
    *entry = {bits, static_cast<std::int16_t>(lower), static_cast<std::int16_t>(upper), best,
              static_cast<std::uint8_t>(depth)};
  }

  std::vector<TEntry> Table;
  std::vector<TFastMove> MoveStack;
};

// ---------------------------------------------------------------------------

void SortScores(std::vector<TCheckersScore>& records) {
  for (std::size_t a = 0; a + 1 < records.size(); ++a)
    for (std::size_t j = a + 1; j < records.size(); ++j)
      if (records[a].Score < records[j].Score) std::swap(records[a], records[j]);
}

int PickRank(const std::vector<TCheckersScore>& sorted, int r) {
  const std::size_t n = sorted.size();
  if (n > 1 && sorted[0].Score - sorted[1].Score > kClearBestGap) r = 0;
  // Upper end of the draws that pick rank k.
  constexpr std::array<int, 5> kRankEnds = {50, 80, 90, 95, 99};
  std::size_t rank = 0;
  while (rank + 1 < kRankEnds.size() && r > kRankEnds[rank]) ++rank;
  return rank < n ? static_cast<int>(rank) : 0;
}

namespace {
int liveThinkers = 0;
}  // namespace

TCheckersThinker::TCheckersThinker() { ++liveThinkers; }
TCheckersThinker::~TCheckersThinker() { --liveThinkers; }
int TCheckersThinker::LiveCount() { return liveThinkers; }

TCheckersSearchCache& TCheckersThinker::Cache() {
  if (!SearchCache) SearchCache = std::make_unique<TCheckersSearchCache>();
  return *SearchCache;
}

void TCheckersThinker::GenerateMoves() {
  Moves.clear();
  std::vector<TFastMove> moves;
  CaptureFound = GenerateWithTexts(ToBits(Position), moves, Moves);
}

bool TCheckersThinker::IsLegalMove(std::string_view text) const {
  return std::any_of(Moves.begin(), Moves.end(),
                     [&](const std::string& move) { return EqualIgnoringCase(move, text); });
}

bool TCheckersThinker::IsMovePrefix(std::string_view text) const {
  return std::any_of(Moves.begin(), Moves.end(), [&](const std::string& move) {
    return move.size() >= text.size() && EqualIgnoringCase(move.substr(0, text.size()), text);
  });
}

bool TCheckersThinker::HasNoMoves() {
  GenerateMoves();
  return Moves.empty();
}

int TCheckersThinker::Search(int depth) {
  return Cache().Search(ToBits(Position), depth, -kInfinity, kInfinity);
}

int TCheckersThinker::SearchFlipped(int depth) {
  return -Cache().Search(Flipped(ToBits(Position)), depth, -kInfinity, kInfinity);
}

std::vector<TCheckersScore> TCheckersThinker::ScoreRootMoves() {
  const TBits root = ToBits(Position);
  std::vector<TFastMove> moves;
  Moves.clear();
  CaptureFound = GenerateWithTexts(root, moves, Moves);
  std::vector<TCheckersScore> records;
  records.reserve(moves.size());
  for (const TFastMove& move : moves) {
    const int score = -Cache().Search(Play(root, move), kSearchDepth, -kInfinity, kInfinity);
    records.push_back({score, static_cast<std::int32_t>(records.size())});
  }
  return records;
}

std::string TCheckersThinker::GetBestMove() {
  std::vector<TCheckersScore> records = ScoreRootMoves();
  if (records.empty()) return {};
  SortScores(records);
  const int rank = PickRank(records, app::RandomBelow(100));
  return Moves[static_cast<std::size_t>(records[static_cast<std::size_t>(rank)].Index)];
}

std::uint64_t TCheckersThinker::CountMoveSequences(int depth) {
  std::vector<TFastMove> stack;
  return CountSequences(ToBits(Position), depth, stack);
}

}  // namespace checkers
