#include <gtest/gtest.h>

#include <random>

#include "app/Random.h"
#include "games/checkers/CheckersThinker.h"
#include "tests/checkers/CheckersTestPositions.h"
#include "tests/checkers/PlainCheckersSearch.h"

namespace checkers {
namespace {

using fixtures::Board;

std::vector<int> Scores(const std::vector<TCheckersScore>& records) {
  std::vector<int> scores;
  for (const TCheckersScore& record : records) scores.push_back(record.Score);
  return scores;
}

std::vector<int> Scores(const std::vector<plain::TPlainScore>& records) {
  std::vector<int> scores;
  for (const plain::TPlainScore& record : records) scores.push_back(record.Score);
  return scores;
}

std::vector<int> Indices(const std::vector<TCheckersScore>& records) {
  std::vector<int> indices;
  for (const TCheckersScore& record : records) indices.push_back(record.Index);
  return indices;
}

// Every root score, hence every pick, equals the plain search's. One fast
// thinker is reused so that bounds cached for earlier positions are put to
// the test as well.
void ExpectSameRootScores(const std::vector<TCheckersPosition>& positions) {
  TCheckersThinker reused;
  for (const TCheckersPosition& position : positions) {
    plain::TPlainThinker slow;
    slow.Position = position;
    const std::vector<int> expected = Scores(slow.ScoreRootMoves());
    reused.Position = position;
    ASSERT_EQ(Scores(reused.ScoreRootMoves()), expected);
    ASSERT_EQ(reused.Moves, slow.Moves);
    ASSERT_EQ(reused.Position, position);
    TCheckersThinker fresh;
    fresh.Position = position;
    ASSERT_EQ(Scores(fresh.ScoreRootMoves()), expected);
  }
}

// Endings with one king among men: the full six plies stay cheap for the
// plain search. Bigger king endings are compared at lower depths here and
// at full depth by the benchmark's comparison run.
std::vector<TCheckersPosition> KingAndMenEndings(unsigned seed, int count) {
  std::mt19937 random(seed);
  std::vector<TCheckersPosition> positions;
  for (int i = 0; i < count; ++i) {
    if (i % 2 == 0) positions.push_back(fixtures::RandomEndgame(random, 0, 1, 3, 2));
    if (i % 2 == 1) positions.push_back(fixtures::RandomEndgame(random, 1, 0, 2, 3));
  }
  return positions;
}

TEST(CheckersSearch, RootScoresEqualThePlainSearch) {
  ExpectSameRootScores(fixtures::RandomPlayPositions(17, 6, 9));
  ExpectSameRootScores(KingAndMenEndings(23, 12));
}

TEST(CheckersSearch, SearchValuesEqualThePlainSearchAtEveryDepth) {
  std::mt19937 random(29);
  std::vector<TCheckersPosition> positions = fixtures::RandomPlayPositions(31, 1500);
  for (int i = 0; i < 1500; ++i)
    positions.push_back(fixtures::RandomEndgame(random, 1 + i % 3, 1 + (i / 3) % 3, i % 3, i % 2));
  TCheckersThinker fast;
  plain::TPlainThinker slow;
  for (std::size_t i = 0; i < positions.size(); ++i) {
    const int depth = 1 + static_cast<int>(i % 3);
    fast.Position = slow.Position = positions[i];
    ASSERT_EQ(fast.Search(depth), slow.Search(depth)) << i;
    ASSERT_EQ(fast.SearchFlipped(depth), slow.SearchFlipped(depth)) << i;
    ASSERT_EQ(fast.Search(0), positions[i].Evaluate());
  }
  // A depth below zero is treated as the horizon instead of recursing on.
  fast.Position = Board({{"a7", kOwnMan}});
  EXPECT_EQ(fast.Search(-3), 190);
  EXPECT_EQ(fast.SearchFlipped(-1), 190);
  for (std::size_t i = 0; i < 200; ++i) {
    fast.Position = slow.Position = positions[i * 15];
    ASSERT_EQ(fast.Search(4), slow.Search(4)) << i;
  }
}

TEST(CheckersSearch, ExchangeSortOrderOfEqualScores) {
  std::vector<TCheckersScore> records = {{5, 0}, {7, 1}, {6, 2}, {7, 3}};
  SortScores(records);
  EXPECT_EQ(Indices(records), (std::vector<int>{1, 3, 2, 0}));
  // Equal scores are not kept in list order: 2 ends before 0 here.
  records = {{2, 0}, {1, 1}, {2, 2}, {3, 3}};
  SortScores(records);
  EXPECT_EQ(Indices(records), (std::vector<int>{3, 2, 0, 1}));
}

TEST(CheckersSearch, PickRankOddsGapAndMissingRanks) {
  const std::vector<TCheckersScore> five = {{100, 0}, {90, 1}, {80, 2}, {70, 3}, {60, 4}};
  const std::vector<std::pair<int, int>> drawsAndRanks = {
      {0, 0}, {50, 0}, {51, 1}, {80, 1}, {81, 2}, {90, 2}, {91, 3}, {95, 3}, {96, 4}, {99, 4}};
  for (const auto& [r, rank] : drawsAndRanks) EXPECT_EQ(PickRank(five, r), rank) << r;
  // A lead of more than 70 always takes the best; exactly 70 does not.
  EXPECT_EQ(PickRank({{200, 0}, {129, 1}}, 60), 0);
  EXPECT_EQ(PickRank({{200, 0}, {130, 1}}, 60), 1);
  // A drawn rank that does not exist falls back to the best, not the next.
  EXPECT_EQ(PickRank({{10, 0}, {10, 1}}, 85), 0);
  EXPECT_EQ(PickRank({{10, 0}, {10, 1}, {10, 2}}, 97), 0);
  EXPECT_EQ(PickRank({{10, 0}, {10, 1}, {10, 2}, {10, 3}}, 92), 3);
  EXPECT_EQ(PickRank({{10, 0}}, 99), 0);
}

TEST(CheckersSearch, BestMoveFollowsTheDrawAndLeavesThePositionAlone) {
  // Two moves: after c3-d4 Black takes; after c3-b4 it cannot.
  TCheckersThinker thinker;
  thinker.Position = Board({{"c3", kOwnMan}, {"e5", kOtherMan}, {"h8", kOtherMan}});
  const TCheckersPosition before = thinker.Position;
  plain::TPlainThinker slow;
  slow.Position = before;
  for (int r = 0; r < 100; ++r) {
    app::TFixedRandom draw(r);
    const std::string move = thinker.GetBestMove();
    EXPECT_EQ(move, slow.GetBestMove()) << r;
    EXPECT_EQ(thinker.Position, before);
  }
  // A single legal move is played whatever the draw.
  thinker.Position = Board({{"a1", kOwnMan}, {"b2", kOtherMan}});
  for (int r : {0, 51, 81, 91, 99}) {
    app::TFixedRandom draw(r);
    EXPECT_EQ(thinker.GetBestMove(), "a1-c3");
  }
  // No legal move: empty result, board untouched.
  thinker.Position = Board({{"a7", kOwnMan}, {"b8", kOtherMan}});
  const TCheckersPosition blocked = thinker.Position;
  EXPECT_EQ(thinker.GetBestMove(), "");
  EXPECT_EQ(thinker.Position, blocked);
}

TEST(CheckersSearch, MoveThatLeavesTheOpponentNoMoveScoresTheMaximum) {
  // e3-g1 blocks the black man on h2 for good; nothing else wins at once.
  TCheckersThinker thinker;
  thinker.Position = Board({{"e3", kOwnKing}, {"h2", kOtherMan}});
  const std::vector<TCheckersScore> records = thinker.ScoreRootMoves();
  int wins = 0;
  std::string winning;
  for (const TCheckersScore& record : records) {
    if (record.Score == 10000) {
      ++wins;
      winning = thinker.Moves[record.Index];
    }
  }
  ASSERT_EQ(wins, 1);
  EXPECT_EQ(winning, "e3-g1");
  for (int r = 0; r < 100; r += 7) {
    app::TFixedRandom draw(r);
    EXPECT_EQ(thinker.GetBestMove(), "e3-g1") << r;
  }
}

}  // namespace
}  // namespace checkers
