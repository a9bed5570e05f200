#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "games/chess/ChessEngine.h"

// How long and how deep a UCI "go" lets the engine search: the parameters a
// host sends turned into search limits, capped by the strength level chosen.
namespace engine {

// What a "go" command asked for; unset fields were not given.
struct TGoRequest {
  std::optional<int> Depth;
  std::optional<std::uint64_t> Nodes;
  std::optional<std::chrono::milliseconds> MoveTime;
  // The clocks and increments of both sides.
  std::optional<std::chrono::milliseconds> WhiteTime;
  std::optional<std::chrono::milliseconds> BlackTime;
  std::chrono::milliseconds WhiteIncrement{0};
  std::chrono::milliseconds BlackIncrement{0};
  // Moves until the next time control; 0 when the clock runs to the end.
  int MovesToGo = 0;
  // Search until "stop" (also while pondering).
  bool Infinite = false;
};

// The levels over UCI. Level 0 searches three plies with a wide random
// pick, as the original search does; level 1 never longer than its limits
// in the program; level 2 as long as the host's clock or "go" allows. Both
// play the best move they find, without the program's random pick.
constexpr int kUciDefaultLevel = chess::kHighestLevel;
// Level 0's depth and the margin of its random pick, in centipawns.
constexpr int kBeginnerDepth = 3;
constexpr int kBeginnerVarietyMargin = 25;
// What a move costs beyond the search (the host reading the answer, the
// operating system's scheduling): kept off the clock's time.
constexpr std::chrono::milliseconds kMoveOverhead{20};
// Moves the remaining time is shared between when the host does not say.
constexpr int kDefaultMovesToGo = 25;

// The limits of a search for the side to move at the given level. A "go"
// with no limit at all searches as the level does in the program.
chess::TSearchLimits LimitsForGo(const TGoRequest& go, int level, bool whiteToMove);

// The time one move may take from a clock showing `remaining` with
// `increment` per move and `movesToGo` moves to the control (0: unknown):
// a share of the remaining time plus most of the increment is spent on the
// whole, the hard limit is a few times that but never most of the clock.
// Both limits are at least one millisecond.
struct TMoveTime {
  std::chrono::milliseconds Soft{0};
  std::chrono::milliseconds Hard{0};
};
TMoveTime TimeForMove(std::chrono::milliseconds remaining, std::chrono::milliseconds increment,
                      int movesToGo);

}  // namespace engine
