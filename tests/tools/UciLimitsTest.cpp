#include <gtest/gtest.h>

#include <chrono>

#include "tools/engine/UciLimits.h"

namespace {

using engine::LimitsForGo;
using engine::TGoRequest;
using engine::TimeForMove;
using std::chrono::milliseconds;

TEST(UciLimits, ShareTheClockAndNeverSpendMostOfIt) {
  // A move of a long game takes a small share of the clock.
  EXPECT_LT(TimeForMove(milliseconds{60000}, milliseconds{0}, 0).Soft, milliseconds{3000});
  EXPECT_LT(TimeForMove(milliseconds{60000}, milliseconds{0}, 0).Hard, milliseconds{10000});
  // The last move before the control, a big increment notwithstanding,
  // gets at most four fifths of what the clock shows beyond the overhead.
  for (const int movesToGo : {0, 1, 40}) {
    const engine::TMoveTime time = TimeForMove(milliseconds{1000}, milliseconds{5000}, movesToGo);
    EXPECT_LE(time.Soft, time.Hard);
    EXPECT_LE(time.Hard, milliseconds{(1000 - 20) * 4 / 5}) << movesToGo;
  }
  // A clock at or past zero still gives a search of a millisecond, never
  // none (zero would mean no limit).
  for (const long long left : {0, 5, 20, -100}) {
    const engine::TMoveTime time = TimeForMove(milliseconds{left}, milliseconds{0}, 30);
    EXPECT_EQ(time.Soft, milliseconds{1}) << left;
    EXPECT_EQ(time.Hard, milliseconds{1}) << left;
  }
  // A long game on a clock with an increment, every move taking its hard
  // limit, never runs the clock out.
  milliseconds clock{10000};
  for (int move = 0; move < 300; ++move) {
    clock += milliseconds{100} - TimeForMove(clock, milliseconds{100}, 0).Hard;
    ASSERT_GT(clock, engine::kMoveOverhead) << move;
  }
}

TEST(UciLimits, GoNarrowsTheLevelsOwnLimits) {
  // A bare go searches as the level does in the program, but always plays
  // the best move found.
  for (int level : {1, 2}) {
    const chess::TSearchLimits own = chess::LevelLimits(level);
    const chess::TSearchLimits bare = LimitsForGo(TGoRequest{}, level, true);
    EXPECT_EQ(bare.SoftTime, own.SoftTime);
    EXPECT_EQ(bare.HardTime, own.HardTime);
    EXPECT_EQ(bare.MaxDepth, own.MaxDepth);
    EXPECT_EQ(bare.VarietyMargin, 0);
  }
  const chess::TSearchLimits beginner = LimitsForGo(TGoRequest{}, 0, true);
  EXPECT_EQ(beginner.MaxDepth, engine::kBeginnerDepth);
  EXPECT_EQ(beginner.VarietyMargin, engine::kBeginnerVarietyMargin);

  TGoRequest go;
  go.MoveTime = milliseconds{5000};
  // Level 2 takes the time the host gives, less what answering costs;
  // level 1 keeps its own ceiling.
  chess::TSearchLimits limits = LimitsForGo(go, 2, true);
  EXPECT_EQ(limits.HardTime, milliseconds{5000} - engine::kMoveOverhead);
  EXPECT_EQ(limits.SoftTime, limits.HardTime);
  limits = LimitsForGo(go, 1, true);
  EXPECT_EQ(limits.HardTime, chess::LevelLimits(1).HardTime);
  go.MoveTime = milliseconds{0};
  EXPECT_EQ(LimitsForGo(go, 2, true).HardTime, milliseconds{1});

  // Depth and nodes alone leave the time open at level 2.
  go = TGoRequest{};
  go.Depth = 5;
  go.Nodes = 0;
  limits = LimitsForGo(go, 2, true);
  EXPECT_EQ(limits.MaxDepth, 5);
  EXPECT_EQ(limits.MaxNodes, 1u);
  EXPECT_EQ(limits.HardTime, milliseconds{0});
  EXPECT_EQ(LimitsForGo(go, 0, true).MaxDepth, engine::kBeginnerDepth);
  go.Depth = 0;
  EXPECT_EQ(LimitsForGo(go, 2, true).MaxDepth, 1);

  // Infinite: no time at all at level 2.
  go = TGoRequest{};
  go.Infinite = true;
  limits = LimitsForGo(go, 2, true);
  EXPECT_EQ(limits.SoftTime, milliseconds{0});
  EXPECT_EQ(limits.HardTime, milliseconds{0});
  EXPECT_EQ(limits.MaxNodes, 0u);
}

TEST(UciLimits, TheSideToMoveReadsItsOwnClock) {
  TGoRequest go;
  go.WhiteTime = milliseconds{100000};
  go.BlackTime = milliseconds{1000};
  go.BlackIncrement = milliseconds{40};
  const engine::TMoveTime black = TimeForMove(milliseconds{1000}, milliseconds{40}, 0);
  chess::TSearchLimits limits = LimitsForGo(go, 2, false);
  EXPECT_EQ(limits.SoftTime, black.Soft);
  EXPECT_EQ(limits.HardTime, black.Hard);
  limits = LimitsForGo(go, 2, true);
  EXPECT_EQ(limits.HardTime, TimeForMove(milliseconds{100000}, milliseconds{0}, 0).Hard);
  // Level 1 keeps its ceiling under a long clock.
  EXPECT_EQ(LimitsForGo(go, 1, true).HardTime, chess::LevelLimits(1).HardTime);
  // Only the other side's clock given: the level's own limits.
  go.WhiteTime.reset();
  EXPECT_EQ(LimitsForGo(go, 2, true).HardTime, chess::LevelLimits(2).HardTime);
}

}  // namespace
