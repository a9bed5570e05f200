#include "games/chess/ChessEngineSearch.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/Random.h"
#include "games/chess/ChessEval.h"

namespace chess::engine {

namespace {

constexpr std::size_t kTableMegabytes = 16;
constexpr int kHistoryLimit = 16384;
constexpr int kTableMoveOrder = 1 << 30;
constexpr int kGoodCaptureOrder = 1 << 28;
constexpr int kKillerOrder = 1 << 27;
constexpr int kBadCaptureOrder = -(1 << 24);
constexpr int kUnderPromotionOrder = -(1 << 25);

bool IsMateScore(int score) { return std::abs(score) >= kMateBound; }

// Mate scores are stored relative to the node, so that they stay true when
// the position is met again at another distance from the root.
int ToTableScore(int score, int ply) {
  if (score >= kMateBound) return score + ply;
  if (score <= -kMateBound) return score - ply;
  return score;
}

int FromTableScore(int score, int ply) {
  if (score >= kMateBound) return score - ply;
  if (score <= -kMateBound) return score + ply;
  return score;
}

// Late-move reductions by remaining depth and move number.
const std::array<std::array<int, 64>, 64>& ReductionTable() {
  static const auto table = [] {
    std::array<std::array<int, 64>, 64> reductions{};
    for (int depth = 1; depth < 64; ++depth)
      for (int count = 1; count < 64; ++count)
        reductions[depth][count] =
            static_cast<int>(0.75 + std::log(depth) * std::log(count) / 2.25);
    return reductions;
  }();
  return table;
}

int Reduction(int depth, int moveNumber) {
  return ReductionTable()[std::min(depth, 63)][std::min(moveNumber, 63)];
}

// Without pawns, rooks or queens and with at most one minor piece on the
// board, nobody can mate.
bool InsufficientMaterial(const TPosition& position) {
  if (position.PiecesOfType(kPawn) | position.PiecesOfType(kRook) | position.PiecesOfType(kQueen))
    return false;
  const TBitboard minors = position.PiecesOfType(kKnight) | position.PiecesOfType(kBishop);
  return (minors & (minors - 1)) == 0;
}

int MateIn(int score) {
  if (score >= kMateBound) return (kMateScore - score + 1) / 2;
  if (score <= -kMateBound) return -(kMateScore + score) / 2;
  return 0;
}

void PickNext(TMoveList& list, std::array<int, TMoveList::kCapacity>& scores, int index) {
  int best = index;
  for (int i = index + 1; i < list.Count; ++i)
    if (scores[i] > scores[best]) best = i;
  std::swap(list.Moves[index], list.Moves[best]);
  std::swap(scores[index], scores[best]);
}

}  // namespace

TEngineMove ToEngineMove(TMove move) {
  return {static_cast<std::uint8_t>(MoveFrom(move)), static_cast<std::uint8_t>(MoveTo(move)),
          static_cast<std::uint8_t>(MovePromotion(move))};
}

TMove FromEngineMove(TEngineMove move) {
  if (move.From > 63 || move.To > 63 || move.Promotion > kKing) return kNoMove;
  return PackMove(move.From, move.To, move.Promotion);
}

TSearcher::TSearcher() : table_(kTableMegabytes) {}

void TSearcher::Clear() {
  table_.Clear();
  killers_ = {};
  history_ = {};
}

std::chrono::milliseconds TSearcher::Elapsed() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start_);
}

void TSearcher::CountNode() {
  ++nodes_;
  const std::uint64_t maxNodes = limits_->MaxNodes;
  if ((nodes_ & 1023) != 0 && (maxNodes == 0 || nodes_ < maxNodes)) return;
  if (limits_->Stop && limits_->Stop->load(std::memory_order_relaxed)) stopped_ = true;
  if (limits_->HardTime.count() > 0 && Elapsed() >= limits_->HardTime) stopped_ = true;
  if (maxNodes && nodes_ >= maxNodes) stopped_ = true;
}

// A position repeated since the last irreversible move, one met earlier
// in the game, and under the standard rules the fifty-move rule and bare
// material, are draws.
bool TSearcher::IsDraw(const TPosition& position, int ply) const {
  const int clock = position.HalfMoveClock();
  if (position.Rules() == TRules::Standard && clock >= 100) return true;
  if (InsufficientMaterial(position)) return true;
  const std::uint64_t key = position.Hash();
  for (int back = 4; back <= std::min(clock, ply); back += 2)
    if (pathKeys_[ply - back] == key) return true;
  return clock >= ply && std::binary_search(earlierKeys_.begin(), earlierKeys_.end(), key);
}

void TSearcher::UpdatePv(int ply, TMove move) {
  pv_[ply][ply] = move;
  const int childLength = pvLength_[ply + 1];
  for (int i = ply + 1; i < childLength; ++i) pv_[ply][i] = pv_[ply + 1][i];
  pvLength_[ply] = std::max(childLength, ply + 1);
}

void TSearcher::ScoreMoves(const TPosition& position, const TMoveList& list, TMove tableMove,
                           int ply, std::array<int, TMoveList::kCapacity>& scores) const {
  const int side = position.SideToMove();
  for (int i = 0; i < list.Count; ++i) {
    const TMove move = list.Moves[i];
    if (move == tableMove) {
      scores[i] = kTableMoveOrder;
    } else if (position.IsTactical(move)) {
      const int victim = position.CapturedType(move);
      const int gained = ExchangeValue(victim) + (MovePromotion(move) ? ExchangeValue(kQueen) : 0);
      const int order = gained * 16 - ExchangeValue(position.TypeAt(MoveFrom(move))) / 16;
      scores[i] =
          (ExchangeAtLeast(position, move, 0) ? kGoodCaptureOrder : kBadCaptureOrder) + order;
    } else if (MovePromotion(move)) {
      scores[i] = kUnderPromotionOrder;
    } else if (move == killers_[ply][0]) {
      scores[i] = kKillerOrder;
    } else if (move == killers_[ply][1]) {
      scores[i] = kKillerOrder - 1;
    } else {
      scores[i] = history_[side][MoveFrom(move)][MoveTo(move)];
    }
  }
}

void TSearcher::RewardQuiet(const TPosition& position, TMove move, int depth, int ply,
                            std::span<const TMove> failed) {
  if (killers_[ply][0] != move) {
    killers_[ply][1] = killers_[ply][0];
    killers_[ply][0] = move;
  }
  const int side = position.SideToMove();
  const int bonus = std::min(depth * depth, 400);
  auto update = [&](TMove m, int delta) {
    int& value = history_[side][MoveFrom(m)][MoveTo(m)];
    value += delta - value * std::abs(delta) / kHistoryLimit;
  };
  update(move, bonus);
  for (TMove other : failed)
    if (other != move) update(other, -bonus);
}

int TSearcher::Quiesce(const TPosition& position, int alpha, int beta, int ply) {
  pvLength_[ply] = ply;
  CountNode();
  if (stopped_) return 0;
  if (ply >= kMaxPly) return Evaluate(position);
  if (InsufficientMaterial(position)) return 0;

  const TTableEntry* entry = table_.Probe(position.Hash());
  if (entry) {
    const int score = FromTableScore(entry->Score, ply);
    if ((entry->Bound == kExactBound) || (entry->Bound == kLowerBound && score >= beta) ||
        (entry->Bound == kUpperBound && score <= alpha))
      return score;
  }

  const bool inCheck = position.InCheck();
  int best = -kMateScore + ply;
  int standPat = 0;
  if (!inCheck) {
    standPat = Evaluate(position);
    if (standPat >= beta) return standPat;
    alpha = std::max(alpha, standPat);
    best = standPat;
  }

  TMoveList list;
  position.Generate(list, inCheck ? kAllMoves : kTactical);
  std::array<int, TMoveList::kCapacity> scores;
  ScoreMoves(position, list, entry ? entry->Move : kNoMove, ply, scores);
  for (int i = 0; i < list.Count; ++i) {
    PickNext(list, scores, i);
    const TMove move = list.Moves[i];
    if (!inCheck) {
      // Captures that lose material, or cannot lift the score near alpha.
      if (scores[i] < kGoodCaptureOrder && scores[i] != kTableMoveOrder) continue;
      const int gain = ExchangeValue(position.CapturedType(move)) +
                       (MovePromotion(move) ? ExchangeValue(kQueen) - ExchangeValue(kPawn) : 0);
      if (standPat + gain + 200 < alpha) continue;
    }
    TPosition after;
    if (!position.Play(move, after)) continue;
    const int score = -Quiesce(after, -beta, -alpha, ply + 1);
    if (stopped_) return 0;
    if (score > best) {
      best = score;
      if (score > alpha) {
        alpha = score;
        if (alpha >= beta) break;
      }
    }
  }
  return best;
}

int TSearcher::Search(const TPosition& position, int depth, int alpha, int beta, int ply,
                      bool allowNull) {
  pvLength_[ply] = ply;
  const bool pvNode = beta - alpha > 1;
  if (IsDraw(position, ply)) return 0;
  alpha = std::max(alpha, -kMateScore + ply);
  beta = std::min(beta, kMateScore - ply - 1);
  if (alpha >= beta) return alpha;

  const bool inCheck = position.InCheck();
  if (inCheck) ++depth;
  if (depth <= 0) return Quiesce(position, alpha, beta, ply);
  if (ply >= kMaxPly) return Evaluate(position);
  CountNode();
  if (stopped_) return 0;

  const std::uint64_t key = position.Hash();
  const TTableEntry* entry = table_.Probe(key);
  TMove tableMove = kNoMove;
  if (entry) {
    if (position.IsPseudoLegal(entry->Move)) tableMove = entry->Move;
    const int score = FromTableScore(entry->Score, ply);
    if (!pvNode && entry->Depth >= depth &&
        ((entry->Bound == kExactBound) || (entry->Bound == kLowerBound && score >= beta) ||
         (entry->Bound == kUpperBound && score <= alpha)))
      return score;
  }

  const int staticEval = inCheck ? -kInfinity : Evaluate(position);
  evals_[ply] = staticEval;
  const bool improving = !inCheck && ply >= 2 && staticEval > evals_[ply - 2];

  if (!pvNode && !inCheck && !IsMateScore(beta)) {
    if (depth <= 7 && staticEval - 80 * depth + (improving ? 30 : 0) >= beta) return staticEval;
    if (allowNull && depth >= 3 && staticEval >= beta &&
        position.HasPieces(position.SideToMove())) {
      const int reduction = 3 + depth / 4 + std::min(2, (staticEval - beta) / 200);
      TPosition after;
      position.PlayNull(after);
      pathKeys_[ply + 1] = after.Hash();
      const int score = -Search(after, depth - 1 - reduction, -beta, -beta + 1, ply + 1, false);
      if (stopped_) return 0;
      if (score >= beta) return IsMateScore(score) ? beta : score;
    }
  }
  // Without a stored move the node is searched shallower: it is likely
  // new and not worth a full-depth look.
  if (depth >= 4 && tableMove == kNoMove) --depth;

  TMoveList list;
  position.Generate(list, kAllMoves);
  std::array<int, TMoveList::kCapacity> scores;
  ScoreMoves(position, list, tableMove, ply, scores);
  std::array<TMove, TMoveList::kCapacity> quietsTried;
  int quietCount = 0;
  int legalCount = 0;
  int best = -kInfinity;
  TMove bestMove = kNoMove;
  const int originalAlpha = alpha;

  for (int i = 0; i < list.Count; ++i) {
    PickNext(list, scores, i);
    const TMove move = list.Moves[i];
    const bool quiet = !position.IsTactical(move);
    const bool pruning = legalCount > 0 && !inCheck && !IsMateScore(best) && !pvNode;
    if (pruning && quiet && depth <= 4 && quietCount >= 3 + depth * depth * (improving ? 2 : 1))
      continue;
    if (pruning && !quiet && depth <= 4 && scores[i] < kGoodCaptureOrder &&
        !ExchangeAtLeast(position, move, -100 * depth))
      continue;
    TPosition after;
    if (!position.Play(move, after)) continue;
    ++legalCount;
    const bool givesCheck = after.InCheck();
    if (pruning && quiet && !givesCheck && depth <= 3 && staticEval + 120 * depth <= alpha)
      continue;
    if (quiet) quietsTried[quietCount++] = move;
    pathKeys_[ply + 1] = after.Hash();

    const int newDepth = depth - 1;
    int score = 0;
    if (legalCount == 1) {
      score = -Search(after, newDepth, -beta, -alpha, ply + 1, true);
    } else {
      int reduction = 0;
      if (depth >= 3 && quiet && !givesCheck && !inCheck) {
        reduction = Reduction(depth, legalCount);
        if (pvNode) --reduction;
        if (!improving) ++reduction;
        if (scores[i] >= kKillerOrder - 1) --reduction;
        if (std::abs(scores[i]) <= kHistoryLimit) reduction -= scores[i] / 6000;
        reduction = std::clamp(reduction, 0, newDepth - 1);
      }
      score = -Search(after, newDepth - reduction, -alpha - 1, -alpha, ply + 1, true);
      if (score > alpha && reduction > 0)
        score = -Search(after, newDepth, -alpha - 1, -alpha, ply + 1, true);
      if (score > alpha && score < beta)
        score = -Search(after, newDepth, -beta, -alpha, ply + 1, true);
    }
    if (stopped_) return 0;

    if (score > best) {
      best = score;
      if (score > alpha) {
        alpha = score;
        bestMove = move;
        UpdatePv(ply, move);
        if (alpha >= beta) {
          if (quiet)
            RewardQuiet(position, move, depth, ply,
                        std::span<const TMove>(quietsTried.data(), quietCount));
          break;
        }
      }
    }
  }

  if (legalCount == 0) return inCheck ? -kMateScore + ply : 0;
  const TBound bound = best >= beta           ? kLowerBound
                       : best > originalAlpha ? kExactBound
                                              : kUpperBound;
  table_.Store(key, bestMove, ToTableScore(best, ply), depth, bound);
  return best;
}

int TSearcher::SearchRoot(const TPosition& root, int depth, int alpha, int beta) {
  const int margin = limits_->VarietyMargin;
  int best = -kInfinity;
  candidates_.clear();
  for (std::size_t i = 0; i < rootMoves_.size(); ++i) {
    const TMove move = rootMoves_[i].Move;
    TPosition after;
    root.Play(move, after);
    pathKeys_[1] = after.Hash();
    int score = 0;
    // Moves after the first are tried against a null window, at the best
    // score less the variety margin when a random pick is wanted, so that
    // the moves within the margin are known.
    const bool variety = i > 0 && margin > 0 && !IsMateScore(best);
    if (i == 0) {
      score = -Search(after, depth - 1, -beta, -alpha, 1, true);
    } else {
      const int threshold = variety ? best - margin : alpha;
      score = -Search(after, depth - 1, -threshold - 1, -threshold, 1, true);
      if (score > threshold && threshold < alpha && !stopped_)
        score = -Search(after, depth - 1, -alpha - 1, -alpha, 1, true);
      if (score > alpha && score < beta && !stopped_)
        score = -Search(after, depth - 1, -beta, -alpha, 1, true);
    }
    if (stopped_) return best;
    rootMoves_[i].Score = score;
    candidates_.push_back({move, score});
    if (score > best) {
      best = score;
      if (score > alpha) {
        alpha = score;
        UpdatePv(0, move);
        std::rotate(rootMoves_.begin(), rootMoves_.begin() + static_cast<std::ptrdiff_t>(i),
                    rootMoves_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        if (alpha >= beta) break;
      }
    }
  }
  return best;
}

TSearchInfo TSearcher::MakeInfo(int depth, int score) const {
  TSearchInfo info;
  info.Depth = depth;
  info.Score = score;
  info.MateIn = MateIn(score);
  info.Nodes = nodes_;
  info.Time = Elapsed();
  for (int i = 0; i < pvLength_[0]; ++i) info.Pv.push_back(ToEngineMove(pv_[0][i]));
  return info;
}

TSearchResult TSearcher::Run(const TPosition& root, std::span<const std::uint64_t> earlier,
                             const TSearchLimits& limits) {
  start_ = std::chrono::steady_clock::now();
  limits_ = &limits;
  nodes_ = 0;
  stopped_ = false;
  earlierKeys_.assign(earlier.begin(), earlier.end());
  std::sort(earlierKeys_.begin(), earlierKeys_.end());
  pathKeys_[0] = root.Hash();
  table_.NextSearch();
  killers_ = {};

  TSearchResult result;
  TMoveList list;
  root.Generate(list, kAllMoves);
  const TTableEntry* entry = table_.Probe(root.Hash());
  std::array<int, TMoveList::kCapacity> scores;
  ScoreMoves(root, list, entry ? entry->Move : kNoMove, 0, scores);
  rootMoves_.clear();
  for (int i = 0; i < list.Count; ++i) {
    PickNext(list, scores, i);
    TPosition after;
    if (root.Play(list.Moves[i], after)) rootMoves_.push_back({list.Moves[i], -kInfinity});
  }
  if (rootMoves_.empty()) {
    result.Info.Score = root.InCheck() ? -kMateScore : 0;
    return result;
  }

  std::vector<TRootMove> lastCandidates;
  int lastScore = 0;
  const int maxDepth = std::clamp(limits.MaxDepth, 1, kMaxPly - 1);
  for (int depth = 1; depth <= maxDepth; ++depth) {
    int window = 30;
    int alpha = -kInfinity;
    int beta = kInfinity;
    if (depth >= 5 && !IsMateScore(lastScore)) {
      alpha = lastScore - window;
      beta = lastScore + window;
    }
    int score = 0;
    for (;;) {
      score = SearchRoot(root, depth, alpha, beta);
      if (stopped_) break;
      if (score <= alpha && alpha > -kInfinity) {
        beta = (alpha + beta) / 2;
        alpha = std::max(-kInfinity, score - window);
      } else if (score >= beta && beta < kInfinity) {
        beta = std::min(kInfinity, score + window);
      } else {
        break;
      }
      window *= 2;
      if (window > 500) {
        alpha = -kInfinity;
        beta = kInfinity;
      }
    }
    if (stopped_) break;
    lastScore = score;
    lastCandidates = candidates_;
    result.Info = MakeInfo(depth, score);
    if (limits.OnInfo) limits.OnInfo(result.Info);
    table_.Store(root.Hash(), rootMoves_[0].Move, ToTableScore(score, 0), depth, kExactBound);
    if (limits.Stop && limits.Stop->load(std::memory_order_relaxed)) break;
    if (limits.SoftTime.count() > 0 && Elapsed() >= limits.SoftTime) break;
    // A mate found with plies to spare will not change with more depth.
    if (limits.SoftTime.count() > 0 && IsMateScore(score) &&
        depth > 2 * std::abs(MateIn(score)) + 4)
      break;
  }

  // An unfinished depth may have found a better first move; otherwise a
  // move within the margin of the best may be played instead.
  result.Best = ToEngineMove(rootMoves_[0].Move);
  const bool sameBest = !result.Info.Pv.empty() && result.Info.Pv.front() == *result.Best;
  if (!sameBest) {
    result.Info.Pv = {*result.Best};
  } else if (limits.VarietyMargin > 0 && !IsMateScore(lastScore)) {
    std::vector<TMove> choices;
    for (const TRootMove& candidate : lastCandidates)
      if (candidate.Score > lastScore - limits.VarietyMargin) choices.push_back(candidate.Move);
    if (choices.size() > 1)
      result.Best = ToEngineMove(choices[app::RandomBelow(static_cast<int>(choices.size()))]);
  }
  result.Info.Nodes = nodes_;
  result.Info.Time = Elapsed();
  return result;
}

}  // namespace chess::engine
