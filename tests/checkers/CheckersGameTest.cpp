#include <gtest/gtest.h>

#include <stdexcept>

#include "app/Random.h"
#include "games/checkers/CheckersGame.h"
#include "games/checkers/CheckersThinker.h"
#include "tests/checkers/CheckersTestPositions.h"
#include "tests/checkers/PlainCheckersSearch.h"
#include "tests/support/TestApplication.h"

namespace checkers {
namespace {

using fixtures::Board;

struct TNotifications {
  void Changed(app::TEntityHolder& holder) {
    ++Count;
    LastEntity = holder.Entity;
  }
  int Count = 0;
  app::TEntity* LastEntity = nullptr;
};

TEST(CheckersGame, RegistersTheBoardAndUnregistersItWhenDone) {
  testing_support::TTestApplication application;
  TNotifications clients;
  application.Entities().AddClient(TCheckersGame::kEntityName,
                                   app::MakeCallback<&TNotifications::Changed>(&clients));
  {
    auto game = app::MakeAppObject<TCheckersGame>(application);
    app::TEntityHolder& holder = application.Entities().GetHolder("application.checkersboard");
    ASSERT_NE(game->BoardEntity(), nullptr);
    EXPECT_EQ(holder.Entity, game->BoardEntity());
    EXPECT_EQ(clients.Count, 1);
    EXPECT_EQ(clients.LastEntity, game->BoardEntity());
    EXPECT_EQ(game->BoardEntity()->Position, TCheckersPosition());
    EXPECT_TRUE(game->BoardEntity()->Enabled);
    EXPECT_FALSE(game->BoardEntity()->OwnerCallback.IsAssigned());

    // NewGame puts the start position back and tells the clients.
    game->BoardEntity()->Position.ApplyMove("c3-d4");
    game->NewGame();
    EXPECT_EQ(game->BoardEntity()->Position, TCheckersPosition());
    EXPECT_EQ(clients.Count, 2);
  }
  EXPECT_EQ(clients.Count, 3);
  EXPECT_EQ(clients.LastEntity, nullptr);
  EXPECT_EQ(application.Entities().GetHolder(TCheckersGame::kEntityName).Entity, nullptr);
}

TEST(CheckersGame, ComputerAnswersThroughTheEntityWithTheSearchsMove) {
  testing_support::TTestApplication application;
  auto game = app::MakeAppObject<TCheckersGame>(application);
  TCheckersBoardEntity& board = *game->BoardEntity();
  board.Position.ApplyMove("c3-d4");
  const TCheckersPosition humanMoved = board.Position;

  app::OverrideRandom(0);
  board.OnMove();
  plain::TPlainThinker expected;
  expected.Position = humanMoved;
  expected.Position.Flip();
  expected.Position.ApplyMove(expected.GetBestMove());
  expected.Position.Flip();
  app::ClearRandomOverride();

  EXPECT_EQ(board.Position, expected.Position);
  EXPECT_NE(board.Position, humanMoved);
  EXPECT_TRUE(application.Alerts.empty());
  EXPECT_EQ(TCheckersThinker::LiveCount(), 0);
}

TEST(CheckersGame, AnnouncesTheEndOfTheGame) {
  testing_support::TTestApplication application;
  auto game = app::MakeAppObject<TCheckersGame>(application);
  TCheckersBoardEntity& board = *game->BoardEntity();

  // The human took Black's last man: Black cannot move, the board stays.
  board.Position = Board({{"e5", kOwnMan}});
  game->ComputerMove();
  EXPECT_EQ(application.Alerts, std::vector<std::string>{"White win!"});
  EXPECT_EQ(board.Position, Board({{"e5", kOwnMan}}));
  // Black's only man, on h2, is blocked by a White king on g1.
  board.Position = Board({{"g1", kOwnKing}, {"h2", kOtherMan}, {"a1", kOwnMan}});
  game->ComputerMove();
  EXPECT_EQ(application.Alerts.back(), "White win!");
  EXPECT_EQ(TCheckersThinker::LiveCount(), 0);

  // Black takes White's last man: the answer is on the board, then the alert.
  application.Alerts.clear();
  board.Position = Board({{"d4", kOwnMan}, {"e5", kOtherMan}});
  game->ComputerMove();
  EXPECT_EQ(application.Alerts, std::vector<std::string>{"Black win!"});
  EXPECT_EQ(board.Position, Board({{"c3", kOtherMan}}));
  EXPECT_EQ(TCheckersThinker::LiveCount(), 0);
}

class TThrowingAlerts : public testing_support::TTestApplication {
 public:
  void Alert(const std::string& text) override { throw std::runtime_error(text); }
};

TEST(CheckersGame, ThinkerIsReleasedWhenTheAlertThrows) {
  TThrowingAlerts application;
  auto game = app::MakeAppObject<TCheckersGame>(application);
  game->BoardEntity()->Position = Board({{"e5", kOwnMan}});
  EXPECT_THROW(game->ComputerMove(), std::runtime_error);
  EXPECT_EQ(TCheckersThinker::LiveCount(), 0);
  game->BoardEntity()->Position = Board({{"d4", kOwnMan}, {"e5", kOtherMan}});
  EXPECT_THROW(game->ComputerMove(), std::runtime_error);
  EXPECT_EQ(TCheckersThinker::LiveCount(), 0);
  EXPECT_EQ(game->BoardEntity()->Position, Board({{"c3", kOtherMan}}));
}

}  // namespace
}  // namespace checkers
