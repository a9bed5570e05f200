#include "games/checkers/CheckersEngine.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "app/Random.h"
#include "games/checkers/CheckersThinker.h"
#include "tests/checkers/CheckersTestPositions.h"

namespace checkers {
namespace {

using fixtures::Board;
using std::chrono::milliseconds;

constexpr int kWin = 30000;

TCheckersSearchLimits Depth(int plies) {
  return {milliseconds(60'000), milliseconds(60'000), plies};
}

TCheckersMoveArray MovesOf(const TCheckersPosition& position) {
  TCheckersThinker thinker;
  thinker.Position = position;
  thinker.GenerateMoves();
  return thinker.Moves;
}

// The move is one of the generator's texts, or empty when there is none.
void ExpectLegal(const TCheckersPosition& position, const std::string& move) {
  const TCheckersMoveArray legal = MovesOf(position);
  if (legal.empty()) {
    EXPECT_EQ(move, "");
    return;
  }
  EXPECT_NE(std::find(legal.begin(), legal.end(), move), legal.end()) << move;
}

TCheckersPosition After(TCheckersPosition position, const std::string& move) {
  position.ApplyMove(move);
  position.Flip();
  return position;
}

TEST(CheckersEngine, ChoosesAMoveOfTheGeneratorsListAndLeavesThePositionAlone) {
  std::vector<TCheckersPosition> positions = fixtures::RandomPlayPositions(5, 60, 3);
  std::mt19937 random(8);
  for (int i = 0; i < 20; ++i)
    positions.push_back(fixtures::RandomEndgame(random, 1 + i % 3, 1 + i % 2, i % 4, i % 3));
  TCheckersEngine engine;
  for (std::size_t i = 0; i < positions.size(); ++i) {
    const TCheckersPosition before = positions[i];
    const int level = 1 + static_cast<int>(i % 2);
    const std::string move = engine.ChooseMove(before, {}, level, Depth(1 + i % 5));
    EXPECT_EQ(positions[i], before);
    ExpectLegal(before, move);
    if (!move.empty()) {
      EXPECT_GE(engine.LastInfo().Depth, 1) << i;
    }
  }
  // Within a budget of a few milliseconds too.
  const TCheckersSearchLimits quick = {milliseconds(1), milliseconds(3)};
  for (std::size_t i = 0; i < positions.size(); i += 7)
    ExpectLegal(positions[i], engine.ChooseMove(positions[i], {}, 2, quick));
}

TEST(CheckersEngine, BoardsNoGameReachesAreStillAnswered) {
  // Men on the crowning rank, a full board of kings, no pieces at all.
  TCheckersEngine engine;
  TCheckersPosition crowded;
  for (int square = 0; square < 64; ++square)
    if (IsPlayable(FileOf(square), RankOf(square)))
      crowded.Squares[square] = square % 3 == 0 ? kOwnKing : square % 3 == 1 ? kOtherKing : kOwnMan;
  const TCheckersPosition odd = Board({{"b8", kOwnMan}, {"a1", kOtherMan}, {"d4", kOtherKing}});
  for (const TCheckersPosition& position : {crowded, odd, Board({})}) {
    const TCheckersMoveArray legal = MovesOf(position);
    const std::string move =
        engine.ChooseMove(position, {}, 2, {milliseconds(5), milliseconds(20)});
    if (legal.empty())
      EXPECT_EQ(move, "");
    else
      EXPECT_NE(std::find(legal.begin(), legal.end(), move), legal.end());
  }
}

TEST(CheckersEngine, LevelZeroIsTheOriginalSearchWithItsDraw) {
  const std::vector<TCheckersPosition> positions = fixtures::RandomPlayPositions(11, 8, 7);
  TCheckersEngine engine;
  for (const TCheckersPosition& position : positions) {
    for (int r : {0, 60, 85, 99}) {
      app::TFixedRandom draw(r);
      TCheckersThinker thinker;
      thinker.Position = position;
      EXPECT_EQ(engine.ChooseMove(position, {}, 0), thinker.GetBestMove()) << r;
    }
  }
}

TEST(CheckersEngine, DrawsAmongMovesOfEqualScore) {
  // Kings only, placed symmetrically about the long diagonal: the king on
  // d4 takes either b6 or f2, mirror images of the same score (two plies
  // reduce no move, so the search treats both alike), and the draw decides.
  TCheckersEngine engine;
  const TCheckersPosition position =
      Board({{"d4", kOwnKing}, {"b6", kOtherKing}, {"f2", kOtherKing}});
  std::set<std::string> chosen;
  for (int r : {0, 99}) {
    app::TFixedRandom draw(r);
    chosen.insert(engine.ChooseMove(position, {}, 2, Depth(2)));
  }
  EXPECT_EQ(chosen, (std::set<std::string>{"d4-a7", "d4-g1"}));
}

TEST(CheckersEngine, TakesTheWinThatLeavesTheOpponentNoMove) {
  // e3-g1 shuts the black man on h2 in; the win comes on the next move.
  TCheckersEngine engine;
  const TCheckersPosition position = Board({{"e3", kOwnKing}, {"h2", kOtherMan}});
  for (int r : {0, 99}) {
    app::TFixedRandom draw(r);
    EXPECT_EQ(engine.ChooseMove(position, {}, 2, Depth(6)), "e3-g1");
    EXPECT_EQ(engine.LastInfo().Score, kWin - 1);
  }
}

TEST(CheckersEngine, PrefersTheQuickerWin) {
  // h4-d8 takes Black's last man on e7 and shuts the f2 man in behind g1
  // and e1: won at once. e1-g3 wins two moves later, within the variety
  // margin, and is still never played.
  TCheckersEngine engine;
  const TCheckersPosition position = Board(
      {{"e1", kOwnKing}, {"e7", kOtherMan}, {"f2", kOtherMan}, {"g1", kOwnMan}, {"h4", kOwnKing}});
  for (int r : {0, 50, 99}) {
    app::TFixedRandom draw(r);
    EXPECT_EQ(engine.ChooseMove(position, {}, 2, Depth(8)), "h4-d8");
    EXPECT_EQ(engine.LastInfo().Score, kWin - 1);
  }
}

TEST(CheckersEngine, FindsTheShotThatWinsMaterial) {
  // c3-d4 gives a man: e5xc3 is forced (a1 shuts the way on), and b2xd4xb6
  // takes two back.
  TCheckersEngine engine;
  const TCheckersPosition position = Board({{"a1", kOwnMan},
                                            {"b2", kOwnMan},
                                            {"c3", kOwnMan},
                                            {"e3", kOwnMan},
                                            {"c5", kOtherMan},
                                            {"e5", kOtherMan},
                                            {"g7", kOtherMan},
                                            {"h8", kOtherMan}});
  for (int r : {0, 99}) {
    app::TFixedRandom draw(r);
    EXPECT_EQ(engine.ChooseMove(position, {}, 1, Depth(5)), "c3-d4");
    EXPECT_GT(engine.LastInfo().Score, 60);
  }
}

TEST(CheckersEngine, AvoidsTheMoveThatLosesTheGame) {
  // d6-c7 lets the king on a5 take the last man; d6-e7 loses only
  // material.
  TCheckersEngine engine;
  const TCheckersPosition position =
      Board({{"a5", kOtherKing}, {"d6", kOwnMan}, {"f2", kOtherMan}});
  for (int r : {0, 99}) {
    app::TFixedRandom draw(r);
    EXPECT_EQ(engine.ChooseMove(position, {}, 1, Depth(6)), "d6-e7");
    EXPECT_GT(engine.LastInfo().Score, -kWin + 100);
  }
}

TEST(CheckersEngine, ReturnToAnEarlierPositionScoresAsADraw) {
  // A king against two: lost, unless every line leads back to a position
  // of an earlier turn.
  TCheckersEngine engine;
  const TCheckersPosition position =
      Board({{"a1", kOwnKing}, {"h4", kOtherKing}, {"h6", kOtherKing}});
  engine.ChooseMove(position, {}, 2, Depth(2));
  EXPECT_LT(engine.LastInfo().Score, -100);
  std::vector<TCheckersPosition> earlier;
  for (const std::string& move : MovesOf(position)) {
    const TCheckersPosition next = After(position, move);
    for (const std::string& reply : MovesOf(next)) earlier.push_back(After(next, reply));
  }
  // The table's scores of the first search know nothing of the earlier
  // positions.
  engine.NewGame();
  engine.ChooseMove(position, earlier, 2, Depth(2));
  EXPECT_EQ(engine.LastInfo().Score, 0);
  // Earlier positions with other men cannot come back and change nothing.
  engine.NewGame();
  const TCheckersPosition other = Board({{"a1", kOwnKing}, {"h4", kOtherKing}, {"h6", kOtherMan}});
  const std::vector<TCheckersPosition> unrelated(3, other);
  engine.ChooseMove(position, unrelated, 2, Depth(2));
  EXPECT_LT(engine.LastInfo().Score, -100);
}

TEST(CheckersEngine, ReportsTheSearchAndAnswersNothingWithoutAMove) {
  TCheckersEngine engine;
  const TCheckersPosition start;
  const std::string move = engine.ChooseMove(start, {}, 2, Depth(6));
  EXPECT_FALSE(move.empty());
  EXPECT_EQ(engine.LastInfo().Depth, 6);
  EXPECT_GT(engine.LastInfo().Nodes, 100u);
  EXPECT_LT(std::abs(engine.LastInfo().Score), 100);
  // A man blocked by the edge and an enemy king: no move, a lost game.
  const TCheckersPosition blocked = Board({{"a7", kOwnMan}, {"b8", kOtherKing}});
  engine.NewGame();
  EXPECT_EQ(engine.ChooseMove(blocked, {}, 1), "");
  EXPECT_EQ(engine.LastInfo().Score, -kWin);
}

}  // namespace
}  // namespace checkers
