#include "games/checkers/CheckersEngine.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "app/MultiLog.h"
#include "app/Random.h"
#include "games/checkers/CheckersBits.h"
#include "games/checkers/CheckersSearcher.h"
#include "games/checkers/CheckersThinker.h"

namespace checkers {
namespace {

// Moves scored within this many hundredths of a man of the best are all
// good enough to play.
constexpr int kVarietyMargin = 6;

// The original six plies.
constexpr int kBeginnerDepth = kSearchDepth + 1;

std::chrono::milliseconds Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start);
}

// The moves of the last iteration worth playing: all within the margin of
// the best, but only the best when the game's end is in sight.
std::vector<const search::TRootMove*> Candidates(const search::TResult& result) {
  std::vector<const search::TRootMove*> candidates;
  for (const search::TRootMove& move : result.Moves) {
    if (!candidates.empty() && std::abs(result.Score) >= search::kWinBound) break;
    if (move.Exact && move.Score >= result.Score - kVarietyMargin) candidates.push_back(&move);
  }
  return candidates;
}

}  // namespace

struct TCheckersEngine::TImpl {
  search::TSearcher Searcher;
  TCheckersSearchInfo Info;
};

TCheckersEngine::TCheckersEngine() : impl_(std::make_unique<TImpl>()) {}
TCheckersEngine::~TCheckersEngine() = default;

void TCheckersEngine::NewGame() { impl_->Searcher.Clear(); }

const TCheckersSearchInfo& TCheckersEngine::LastInfo() const { return impl_->Info; }

TCheckersSearchLimits TCheckersEngine::LimitsOf(int level) {
  using std::chrono::milliseconds;
  // Well inside the promised 50 and 250 milliseconds, so that a busy
  // machine does not carry a reply past them.
  if (level <= 1) return {milliseconds(12), milliseconds(30)};
  return {milliseconds(100), milliseconds(170)};
}

std::string TCheckersEngine::ChooseMove(const TCheckersPosition& position,
                                        std::span<const TCheckersPosition> earlier, int level) {
  return ChooseMove(position, earlier, level, LimitsOf(level));
}

std::string TCheckersEngine::ChooseMove(const TCheckersPosition& position,
                                        std::span<const TCheckersPosition> earlier, int level,
                                        const TCheckersSearchLimits& limits) {
  const auto start = std::chrono::steady_clock::now();
  TCheckersSearchInfo& info = impl_->Info;
  info = {};
  if (level <= kLowestLevel) {
    TCheckersThinker thinker;
    thinker.Position = position;
    std::string move = thinker.GetBestMove();
    info.Depth = kBeginnerDepth;
    info.Time = Since(start);
    return move;
  }

  const compact::TBits root = compact::ToBits(position);
  std::vector<compact::TFastMove> moves;
  TCheckersMoveArray texts;
  compact::GenerateWithTexts(root, moves, texts);
  std::vector<compact::TBits> earlierBits;
  earlierBits.reserve(earlier.size());
  for (const TCheckersPosition& before : earlier) earlierBits.push_back(compact::ToBits(before));

  const search::TResult result = impl_->Searcher.Run(
      root, earlierBits, {limits.Soft, limits.Hard, limits.MaxDepth}, kVarietyMargin);
  info.Depth = result.Depth;
  info.Score = result.Score;
  info.Nodes = result.Nodes;
  info.Time = Since(start);
  if (texts.empty()) return {};

  const std::vector<const search::TRootMove*> candidates = Candidates(result);
  const int pick =
      candidates.size() > 1 ? app::RandomBelow(static_cast<int>(candidates.size())) : 0;
  const std::size_t index =
      candidates.empty() ? 0 : candidates[static_cast<std::size_t>(pick)]->Move.Index;
  app::Log("TCheckersEngine.ChooseMove:Level=" + std::to_string(std::min(level, kHighestLevel)) +
           " Depth=" + std::to_string(info.Depth) + " Score=" + std::to_string(info.Score));
  return texts[std::min(index, texts.size() - 1)];
}

}  // namespace checkers
