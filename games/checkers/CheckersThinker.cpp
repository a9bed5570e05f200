#include "games/checkers/CheckersThinker.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <climits>

#include "app/Random.h"
#include "games/checkers/CheckersBits.h"

namespace checkers {
namespace {

using compact::Bit;
using compact::BoardSquareOf;
using compact::Flipped;
using compact::GenerateFast;
using compact::GenerateWithTexts;
using compact::kPlayable;
using compact::Play;
using compact::SumOver;
using compact::TBits;
using compact::TFastMove;
using compact::ToBits;

// Evaluation terms of one piece, for the side to move and for the other.
struct TTerms {
  std::array<std::int16_t, kPlayable> OwnMan{}, OwnKing{}, OtherMan{}, OtherKing{};
};

TTerms BuildTerms() {
  TTerms terms;
  for (int compact = 0; compact < kPlayable; ++compact) {
    const int square = BoardSquareOf(compact);
    terms.OwnMan[compact] = static_cast<std::int16_t>(kManValue + ManTable[square]);
    terms.OwnKing[compact] = static_cast<std::int16_t>(kKingValue + KingTable[square]);
    terms.OtherMan[compact] = static_cast<std::int16_t>(kManValue + ManTable[63 - square]);
    terms.OtherKing[compact] = static_cast<std::int16_t>(kKingValue + KingTable[63 - square]);
  }
  return terms;
}

const TTerms& Terms() {
  static const TTerms terms = BuildTerms();
  return terms;
}

int Evaluate(const TBits& bits) {
  const TTerms& g = Terms();
  return SumOver(bits.Own & ~bits.Kings, g.OwnMan) + SumOver(bits.Own & bits.Kings, g.OwnKing) -
         SumOver(bits.Other & ~bits.Kings, g.OtherMan) -
         SumOver(bits.Other & bits.Kings, g.OtherKing);
}

// Change of the mover's evaluation made by the move.
int EvaluationGain(const TBits& bits, const TFastMove& move) {
  const TTerms& g = Terms();
  const bool wasKing = (bits.Kings & Bit(move.From)) != 0;
  int gain = (move.EndsAsKing ? g.OwnKing[move.To] : g.OwnMan[move.To]) -
             (wasKing ? g.OwnKing[move.From] : g.OwnMan[move.From]);
  gain += SumOver(move.Captured & ~bits.Kings, g.OtherMan);
  gain += SumOver(move.Captured & bits.Kings, g.OtherKing);
  return gain;
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
