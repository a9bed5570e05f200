#include "games/checkers/CheckersSearcher.h"

#include <algorithm>
#include <bit>

#include "games/checkers/CheckersEvaluation.h"

namespace checkers::search {
namespace {

using compact::Bit;
using compact::TBits;
using compact::TFastMove;

constexpr int kInfinity = kWin + 1;
constexpr std::size_t kTableMegabytes = 8;
constexpr std::uint64_t kClockInterval = 1024;

// Ordering keys: the table's move, captures by what they take, killers,
// crowning moves, then the history of quiet moves.
constexpr int kTableMoveKey = 1 << 30;
constexpr int kCaptureKey = 1 << 24;
constexpr int kKillerKey = 1 << 22;
constexpr int kCrowningKey = 1 << 21;
constexpr int kHistoryCap = (1 << 21) - 1;

std::uint16_t QuietId(const TFastMove& move) {
  return static_cast<std::uint16_t>(move.From | move.To << 5 | 1 << 10);
}

int CaptureKey(const TBits& bits, const TFastMove& move) {
  const bool crowns = move.EndsAsKing && !(bits.Kings & Bit(move.From));
  return kCaptureKey + 1000 * std::popcount(move.Captured) +
         1500 * std::popcount(move.Captured & bits.Kings) + (crowns ? 500 : 0);
}

// Wins are stored in the table by their distance from the stored node.
int ToTable(int score, int ply) {
  if (score >= kWinBound) return score + ply;
  if (score <= -kWinBound) return score - ply;
  return score;
}

int FromTable(int score, int ply) {
  if (score >= kWinBound) return score - ply;
  if (score <= -kWinBound) return score + ply;
  return score;
}

}  // namespace

TSearcher::TSearcher() { stack_.reserve(4096); }
TSearcher::~TSearcher() = default;

TTranspositionTable& TSearcher::Table() {
  if (!table_) table_ = std::make_unique<TTranspositionTable>(kTableMegabytes);
  return *table_;
}

void TSearcher::Clear() {
  if (table_) table_->Clear();
  killers_ = {};
  history_ = {};
}

TResult TSearcher::Run(const TBits& root, std::span<const TBits> earlier, const TLimits& limits,
                       int margin) {
  start_ = std::chrono::steady_clock::now();
  limits_ = limits;
  nodes_ = 0;
  completedDepth_ = 0;
  stopped_ = false;
  root_ = root;
  path_[0] = root;
  reversible_[0] = false;
  Table().NextSearch();
  for (auto& row : history_)
    for (std::int32_t& value : row) value /= 4;
  killers_ = {};
  // Only a position with the same men can come back.
  earlier_.clear();
  for (const TBits& position : earlier)
    if ((position.Own & ~position.Kings) == (root.Own & ~root.Kings) &&
        (position.Other & ~position.Kings) == (root.Other & ~root.Kings))
      earlier_.push_back(position);

  stack_.clear();
  compact::GenerateFast(root, stack_);
  rootMoves_.clear();
  for (const TFastMove& move : stack_) rootMoves_.push_back({move, 0, false});
  stack_.clear();
  TResult result;
  if (rootMoves_.empty()) {
    result.Score = -kWin;
    return result;
  }
  for (int depth = 1; depth <= std::max(limits.MaxDepth, 1); ++depth) {
    if (!SearchRoot(depth, margin)) break;
    completedDepth_ = depth;
    result.Depth = depth;
    result.Score = rootMoves_.front().Score;
    result.Moves = rootMoves_;
    // A win or loss within the horizon is final.
    if (std::abs(result.Score) >= kWinBound && kWin - std::abs(result.Score) < depth) break;
    if (rootMoves_.size() == 1 || std::chrono::steady_clock::now() - start_ >= limits.Soft) break;
  }
  result.Nodes = nodes_;
  return result;
}

bool TSearcher::SearchRoot(int depth, int margin) {
  int best = -kInfinity;
  for (std::size_t i = 0; i < rootMoves_.size(); ++i) {
    TRootMove& root = rootMoves_[i];
    const TBits child = compact::Play(root_, root.Move);
    reversible_[1] = root.Move.Captured == 0 && (root_.Kings & Bit(root.Move.From));
    int score;
    bool exact = true;
    if (i == 0) {
      score = -Search(child, depth - 1, -kInfinity, kInfinity, 1);
    } else {
      // Moves above the floor get exact scores, for the variety among them.
      const int floor = best - margin - 1;
      score = -Search(child, depth - 1, -floor - 1, -floor, 1);
      if (score > floor && !stopped_) score = -Search(child, depth - 1, -kInfinity, -floor, 1);
      exact = score > floor;
    }
    if (stopped_) return false;
    root.Score = score;
    root.Exact = exact;
    best = std::max(best, score);
  }
  std::stable_sort(rootMoves_.begin(), rootMoves_.end(),
                   [](const TRootMove& a, const TRootMove& b) { return a.Score > b.Score; });
  const TFastMove& bestMove = rootMoves_.front().Move;
  Table().Store(TTranspositionTable::KeyOf(root_), depth, rootMoves_.front().Score, TBound::Exact,
                bestMove.Index < kNoMove ? bestMove.Index : kNoMove);
  return true;
}

bool TSearcher::EnterNode() {
  if (++nodes_ % kClockInterval == 0 && completedDepth_ >= 1 &&
      std::chrono::steady_clock::now() - start_ >= limits_.Hard)
    stopped_ = true;
  return !stopped_;
}

bool TSearcher::IsRepetition(int ply) const {
  int at = ply;
  while (at >= 2 && reversible_[at] && reversible_[at - 1]) {
    at -= 2;
    if (path_[at] == path_[ply]) return true;
  }
  if (at != 0 || ply == 0) return false;
  return std::find(earlier_.begin(), earlier_.end(), path_[ply]) != earlier_.end();
}

int TSearcher::Search(const TBits& bits, int depth, int alpha, int beta, int ply) {
  if (!EnterNode()) return 0;
  path_[ply] = bits;
  if (IsRepetition(ply)) return kDraw;
  if (ply >= kMaxPly) return evaluation::Evaluate(bits);
  // No line can do better than a win on the next move.
  alpha = std::max(alpha, -kWin + ply);
  beta = std::min(beta, kWin - ply - 1);
  if (alpha >= beta) return alpha;

  const std::uint64_t key = TTranspositionTable::KeyOf(bits);
  int tableMove = kNoMove;
  if (const TTableEntry* entry = Table().Find(key)) {
    tableMove = entry->Move;
    const int score = FromTable(entry->Score, ply);
    if (entry->Depth >= std::max(depth, 0) &&
        (entry->Bound == TBound::Exact || (entry->Bound == TBound::Lower && score >= beta) ||
         (entry->Bound == TBound::Upper && score <= alpha)))
      return score;
  }
  if (depth <= 0 && !compact::HasCapture(bits)) return Horizon(bits, ply);

  const std::size_t begin = stack_.size();
  const bool captures = compact::GenerateFast(bits, stack_);
  const std::size_t end = stack_.size();
  if (begin == end) return -kWin + ply;
  // Captures go on past the horizon; a forced move costs no depth.
  const int childDepth = end - begin == 1 ? std::max(depth, 0) : std::max(depth - 1, 0);
  OrderMoves(begin, end, bits, ply, tableMove);

  const int originalAlpha = alpha;
  int best = -kInfinity;
  int bestMove = kNoMove;
  for (std::size_t i = begin; i < end; ++i) {
    PickNext(i, end);
    const TFastMove move = stack_[i];
    const TBits child = compact::Play(bits, move);
    reversible_[ply + 1] = !captures && (bits.Kings & Bit(move.From));
    int score;
    if (i == begin) {
      score = -Search(child, childDepth, -beta, -alpha, ply + 1);
    } else {
      const bool late = !captures && depth >= 3 && i - begin >= 3 && move.Key < kCrowningKey;
      const int reduction = late ? (i - begin >= 8 && depth >= 6 ? 2 : 1) : 0;
      score = -Search(child, childDepth - reduction, -alpha - 1, -alpha, ply + 1);
      if (score > alpha && reduction > 0)
        score = -Search(child, childDepth, -alpha - 1, -alpha, ply + 1);
      if (score > alpha && score < beta) score = -Search(child, childDepth, -beta, -alpha, ply + 1);
    }
    if (stopped_) break;
    if (score > best) {
      best = score;
      bestMove = move.Index < kNoMove ? move.Index : kNoMove;
      if (score > alpha) alpha = score;
      if (alpha >= beta) {
        if (!captures) RewardQuietMove(move, depth, ply);
        break;
      }
    }
  }
  stack_.resize(begin);
  if (stopped_) return 0;
  const TBound bound = best >= beta           ? TBound::Lower
                       : best > originalAlpha ? TBound::Exact
                                              : TBound::Upper;
  Table().Store(key, std::max(depth, 0), ToTable(best, ply), bound,
                bound == TBound::Upper ? kNoMove : bestMove);
  return best;
}

// A quiet position at the horizon: its evaluation, unless it has no move.
int TSearcher::Horizon(const TBits& bits, int ply) const {
  if (!compact::HasQuietMove(bits)) return -kWin + ply;
  return evaluation::Evaluate(bits);
}

void TSearcher::OrderMoves(std::size_t begin, std::size_t end, const TBits& bits, int ply,
                           int tableMove) {
  const auto& killers = killers_[static_cast<std::size_t>(ply)];
  for (std::size_t i = begin; i < end; ++i) {
    TFastMove& move = stack_[i];
    if (move.Index == tableMove) {
      move.Key = kTableMoveKey;
    } else if (move.Captured != 0) {
      move.Key = CaptureKey(bits, move);
    } else if (QuietId(move) == killers[0]) {
      move.Key = kKillerKey + 1;
    } else if (QuietId(move) == killers[1]) {
      move.Key = kKillerKey;
    } else if (move.EndsAsKing && !(bits.Kings & Bit(move.From))) {
      move.Key = kCrowningKey;
    } else {
      move.Key = std::min(history_[move.From][move.To], kHistoryCap);
    }
  }
}

void TSearcher::PickNext(std::size_t at, std::size_t end) {
  std::size_t best = at;
  for (std::size_t i = at + 1; i < end; ++i)
    if (stack_[i].Key > stack_[best].Key) best = i;
  std::swap(stack_[at], stack_[best]);
}

void TSearcher::RewardQuietMove(const TFastMove& move, int depth, int ply) {
  auto& killers = killers_[static_cast<std::size_t>(ply)];
  const std::uint16_t id = QuietId(move);
  if (killers[0] != id) {
    killers[1] = killers[0];
    killers[0] = id;
  }
  std::int32_t& value = history_[move.From][move.To];
  value = std::min(value + depth * depth, kHistoryCap);
}

}  // namespace checkers::search
