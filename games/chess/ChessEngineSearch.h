#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

#include "games/chess/ChessEngine.h"
#include "games/chess/ChessEngineTable.h"

// The iterative-deepening principal-variation search behind TChessEngine.
namespace chess::engine {

constexpr int kMaxPly = 96;
constexpr int kInfinity = 32000;
constexpr int kMateScore = 31000;
// Scores beyond this are mates found at some distance.
constexpr int kMateBound = kMateScore - 2 * kMaxPly;

TEngineMove ToEngineMove(TMove move);
TMove FromEngineMove(TEngineMove move);

class TSearcher {
 public:
  TSearcher();

  // Forgets the table, the killers and the history.
  void Clear();
  // Searches root. earlier holds the keys of positions met before it in the
  // game (returning to one scores as a draw).
  TSearchResult Run(const TPosition& root, std::span<const std::uint64_t> earlier,
                    const TSearchLimits& limits);

 private:
  struct TRootMove {
    TMove Move = kNoMove;
    int Score = -kInfinity;
  };

  int SearchRoot(const TPosition& root, int depth, int alpha, int beta);
  int Search(const TPosition& position, int depth, int alpha, int beta, int ply, bool allowNull);
  int Quiesce(const TPosition& position, int alpha, int beta, int ply);
  // The root move's value, searched with null windows first; records the
  // move as a candidate for variety when it lies within the margin.
  int SearchRootMove(const TPosition& after, int depth, int alpha, int beta, int best, bool first);
  bool IsDraw(const TPosition& position, int ply) const;
  void CountNode();
  void ScoreMoves(const TPosition& position, const TMoveList& list, TMove tableMove, int ply,
                  std::array<int, TMoveList::kCapacity>& scores) const;
  void RewardQuiet(const TPosition& position, TMove move, int depth, int ply,
                   std::span<const TMove> failed);
  void UpdatePv(int ply, TMove move);
  TSearchInfo MakeInfo(int depth, int score) const;
  std::chrono::milliseconds Elapsed() const;

  TTranspositionTable table_;
  std::array<std::array<TMove, 2>, kMaxPly + 1> killers_{};
  std::array<std::array<std::array<int, 64>, 64>, 2> history_{};
  std::array<std::uint64_t, kMaxPly + 2> pathKeys_{};
  std::array<int, kMaxPly + 2> evals_{};
  std::array<std::array<TMove, kMaxPly + 1>, kMaxPly + 1> pv_{};
  std::array<int, kMaxPly + 1> pvLength_{};
  std::vector<std::uint64_t> earlierKeys_;
  std::vector<TRootMove> rootMoves_;
  std::vector<TRootMove> candidates_;

  const TSearchLimits* limits_ = nullptr;
  std::chrono::steady_clock::time_point start_;
  std::uint64_t nodes_ = 0;
  bool stopped_ = false;
};

}  // namespace chess::engine
