#include "tools/engine/UciLimits.h"

#include <algorithm>

namespace engine {

namespace {

using std::chrono::milliseconds;

// The most moves a clock's time is ever shared between.
constexpr int kMostMovesToGo = 50;

// The limits a level starts from before "go" narrows them. Levels 1 and 2
// play the move they find best, so that it is the first of the principal
// variation they report.
chess::TSearchLimits LevelBase(int level) {
  chess::TSearchLimits limits;
  if (level > chess::kLowestLevel) {
    limits = chess::LevelLimits(level);
    limits.VarietyMargin = 0;
    return limits;
  }
  limits.MaxDepth = kBeginnerDepth;
  limits.VarietyMargin = kBeginnerVarietyMargin;
  return limits;
}

// The tighter of two limits where zero means none.
template <typename T>
T Tighter(T current, T wanted) {
  return current == T{} ? wanted : std::min(current, wanted);
}

void LimitTime(chess::TSearchLimits& limits, milliseconds soft, milliseconds hard) {
  limits.SoftTime = Tighter(limits.SoftTime, soft);
  limits.HardTime = Tighter(limits.HardTime, hard);
  limits.SoftTime = std::min(limits.SoftTime, limits.HardTime);
}

}  // namespace

TMoveTime TimeForMove(milliseconds remaining, milliseconds increment, int movesToGo) {
  const milliseconds available = std::max(milliseconds{0}, remaining - kMoveOverhead);
  const int moves = movesToGo > 0 ? std::min(movesToGo, kMostMovesToGo) : kDefaultMovesToGo;
  const milliseconds share = available / moves + std::max(milliseconds{0}, increment) * 3 / 4;
  const milliseconds hard = std::max(milliseconds{1}, std::min(share * 4, available * 4 / 5));
  // The search ends with the first depth it completes past the soft limit,
  // and a depth takes about as long as all before it: two thirds of the
  // share end, on the whole, at about the share.
  return {std::clamp(share * 2 / 3, milliseconds{1}, hard), hard};
}

chess::TSearchLimits LimitsForGo(const TGoRequest& go, int level, bool whiteToMove) {
  chess::TSearchLimits limits = LevelBase(level);
  const std::optional<milliseconds>& clock = whiteToMove ? go.WhiteTime : go.BlackTime;
  if (!go.Infinite && !go.Depth && !go.Nodes && !go.MoveTime && !clock) return limits;
  // The strongest level takes the time the host gives; the others keep
  // their own limits as a ceiling.
  if (level >= chess::kHighestLevel) limits.SoftTime = limits.HardTime = milliseconds{0};
  if (go.Depth) limits.MaxDepth = std::clamp(*go.Depth, 1, limits.MaxDepth);
  if (go.Nodes)
    limits.MaxNodes =
        Tighter<std::uint64_t>(limits.MaxNodes, std::max<std::uint64_t>(*go.Nodes, 1));
  if (go.Infinite) return limits;
  if (go.MoveTime) {
    const milliseconds time = std::max(milliseconds{0}, *go.MoveTime);
    const milliseconds hard = std::max(milliseconds{1}, time - std::min(kMoveOverhead, time / 2));
    LimitTime(limits, hard, hard);
  }
  if (clock) {
    const TMoveTime time =
        TimeForMove(*clock, whiteToMove ? go.WhiteIncrement : go.BlackIncrement, go.MovesToGo);
    LimitTime(limits, time.Soft, time.Hard);
  }
  return limits;
}

}  // namespace engine
