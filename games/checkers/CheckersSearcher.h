#pragma once

// The search of the stronger levels: iterative deepening over principal
// variation search with a transposition table, killer and history move
// ordering, late-move reductions, capture sequences searched past the
// horizon, wins scored by their distance and repetitions scored as draws,
// within a soft and a hard time limit.

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "games/checkers/CheckersBits.h"
#include "games/checkers/CheckersTable.h"

namespace checkers::search {

constexpr int kWin = 30000;
// Scores beyond this are wins or losses found by the search.
constexpr int kWinBound = kWin - 1000;
constexpr int kDraw = 0;

struct TLimits {
  // No new iteration starts after Soft; the search stops at Hard.
  std::chrono::milliseconds Soft{0};
  std::chrono::milliseconds Hard{0};
  int MaxDepth = 64;
};

struct TRootMove {
  compact::TFastMove Move;  // Move.Index: its place in the generated list
  int Score = 0;
  // Scores within the variety margin of the best are exact, the others are
  // upper bounds.
  bool Exact = false;
};

struct TResult {
  int Depth = 0;
  int Score = 0;
  std::uint64_t Nodes = 0;
  // The root moves of the last completed iteration, best first.
  std::vector<TRootMove> Moves;
};

class TSearcher {
 public:
  TSearcher();
  ~TSearcher();
  TSearcher(const TSearcher&) = delete;
  TSearcher& operator=(const TSearcher&) = delete;

  // Searches `root` for its side to move; `earlier` are positions of the
  // same side's earlier turns, which score as draws when met again. Moves
  // scoring within `margin` of the best are scored exactly.
  TResult Run(const compact::TBits& root, std::span<const compact::TBits> earlier,
              const TLimits& limits, int margin);
  // Forgets the table, the killers and the history.
  void Clear();

 private:
  static constexpr int kMaxPly = 128;

  bool SearchRoot(int depth, int margin);
  int Search(const compact::TBits& bits, int depth, int alpha, int beta, int ply);
  int Horizon(const compact::TBits& bits, int ply) const;
  void OrderMoves(std::size_t begin, std::size_t end, const compact::TBits& bits, int ply,
                  int tableMove);
  void PickNext(std::size_t at, std::size_t end);
  void RewardQuietMove(const compact::TFastMove& move, int depth, int ply);
  bool IsRepetition(int ply) const;
  bool EnterNode();
  TTranspositionTable& Table();

  std::unique_ptr<TTranspositionTable> table_;
  std::vector<compact::TFastMove> stack_;
  std::vector<TRootMove> rootMoves_;
  std::vector<compact::TBits> earlier_;
  compact::TBits root_;
  std::array<compact::TBits, kMaxPly + 1> path_{};
  // Whether the move into ply p was a king's move without a capture, which
  // can be undone and so lead back to an earlier position.
  std::array<bool, kMaxPly + 1> reversible_{};
  std::array<std::array<std::uint16_t, 2>, kMaxPly + 1> killers_{};
  std::array<std::array<std::int32_t, compact::kPlayable>, compact::kPlayable> history_{};

  std::chrono::steady_clock::time_point start_;
  TLimits limits_;
  std::uint64_t nodes_ = 0;
  int completedDepth_ = 0;
  bool stopped_ = false;
};

}  // namespace checkers::search
