#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/Random.h"
#include "games/chess/ChessGame.h"
#include "tests/app/LogCapture.h"
#include "tests/chess/ChessTestPositions.h"
#include "tests/support/TestApplication.h"

namespace {

using chess::TChessMove;
using chess::TChessPosition;
using chess_test::Pos;

// Counts the calls of a bus callback.
struct TCounter {
  void Count(app::TEntityHolder&) { ++Calls; }
  app::TCallback Callback() { return app::MakeCallback<&TCounter::Count>(this); }
  int Calls = 0;
};

class ChessGame : public ::testing::Test {
 protected:
  void SetUp() override {
    app::OverrideRandom(0);
    newGame_ = std::make_unique<app::TBasicEntity>(0, 0, 0, newGames_.Callback());
    bus().RegisterEntity("Chess.NewGame", newGame_.get());
    bus().AddClient("Application.ChessBoard", notified_.Callback());
    game_ = std::make_unique<chess::TChessGame>();
  }
  void TearDown() override {
    game_.reset();
    bus().RemoveClient("Application.ChessBoard", notified_.Callback());
    bus().UnregisterEntity("Chess.NewGame");
    app::ClearRandomOverride();
  }

  app::TEntityManager& bus() { return application_.Entities(); }
  chess::TChessBoardEntity& entity() { return game_->BoardEntity(); }

  // Plays White's move on the entity as the board control does, then hands over.
  void PlayHuman(const TChessPosition& position, const TChessMove& move) {
    entity().Position = position;
    entity().Position.ApplyMove(move);
    entity().LastMove = move;
    ASSERT_TRUE(entity().OnMove);
    entity().OnMove();
  }

  static bool HasLine(const TLogCapture& log, const std::string& line) {
    const std::vector<std::string> lines = log.Messages();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  testing_support::TTestApplication application_;
  TCounter newGames_;
  TCounter notified_;
  std::unique_ptr<app::TBasicEntity> newGame_;
  std::unique_ptr<chess::TChessGame> game_;
};

TEST_F(ChessGame, RegistersItsBoardAndResetsItOnNewGame) {
  EXPECT_EQ(bus().GetHolder("Application.ChessBoard").Entity, &entity());
  EXPECT_EQ(notified_.Calls, 1);
  EXPECT_EQ(entity().Position, TChessPosition());
  EXPECT_EQ(entity().LastMove, (TChessMove{-1, -1, -1, -1, false}));
  EXPECT_TRUE(entity().Enabled);

  entity().Position = Pos("k7/8/1K6/8/8/8/8/2Q5 - -");
  entity().LastMove = {2, 0, 2, 6, false};
  game_->NewGame();
  EXPECT_EQ(entity().Position, TChessPosition());
  EXPECT_EQ(entity().LastMove.ToX, -1);
  EXPECT_EQ(entity().LastMove.FromY, -1);
  EXPECT_EQ(notified_.Calls, 2);

  // Destruction unbinds the name and tells its clients.
  game_.reset();
  EXPECT_EQ(bus().GetHolder("Application.ChessBoard").Entity, nullptr);
  EXPECT_EQ(notified_.Calls, 3);
}

TEST_F(ChessGame, BlackAnswersWithALegalMoveAndTheBoardIsNotified) {
  TLogCapture log;
  const TChessPosition start;
  PlayHuman(start, {4, 1, 4, 3, false});
  const TChessMove answer = entity().LastMove;
  // Black's move in White's coordinates: from rank 7 or 8.
  EXPECT_GE(answer.FromY, 6);
  EXPECT_TRUE(HasLine(log, "=Black Move: " + TChessPosition::MoveToText(answer)));
  TChessPosition expected = start;
  expected.ApplyMove({4, 1, 4, 3, false});
  expected.Flip();
  expected.ApplyMove(TChessPosition::MirrorMove(answer));
  expected.Flip();
  EXPECT_EQ(entity().Position, expected);
  EXPECT_EQ(notified_.Calls, 2);
  EXPECT_TRUE(application_.Alerts.empty());
  EXPECT_EQ(newGames_.Calls, 0);

  // A capture is logged with ":"; the king takes the queen, its only move.
  PlayHuman(Pos("k7/8/8/8/8/8/8/1Q4K1 - -"), {1, 0, 1, 6, false});
  EXPECT_TRUE(HasLine(log, "=Black Move: A8:B7"));
  EXPECT_EQ(chess::PositionToText(entity().Position), "8/1k6/8/8/8/8/8/6K1 - -");
  EXPECT_EQ(notified_.Calls, 3);
}

TEST_F(ChessGame, StalematingBlackIsADrawAndNoBlackMove) {
  const TChessMove queenToC7{2, 0, 2, 6, false};
  PlayHuman(Pos("k7/8/1K6/8/8/8/8/2Q5 - -"), queenToC7);
  EXPECT_EQ(application_.Alerts, std::vector<std::string>{"Draw!"});
  EXPECT_EQ(newGames_.Calls, 1);
  EXPECT_EQ(entity().LastMove, queenToC7);
  EXPECT_EQ(chess::PositionToText(entity().Position), "k7/2Q5/1K6/8/8/8/8/8 - -");
  EXPECT_EQ(notified_.Calls, 1);
}

TEST_F(ChessGame, MatingBlackIsAWhiteWin) {
  const TChessMove queenToC8{2, 0, 2, 7, false};
  PlayHuman(Pos("k7/8/1K6/8/8/8/8/2Q5 - -"), queenToC8);
  EXPECT_EQ(application_.Alerts, std::vector<std::string>{"White win!"});
  EXPECT_EQ(newGames_.Calls, 1);
  EXPECT_EQ(entity().LastMove, queenToC8);
  EXPECT_EQ(chess::PositionToText(entity().Position), "k1Q5/8/1K6/8/8/8/8/8 - -");
}

TEST_F(ChessGame, BlackMatingWhiteIsLoggedStoredAndABlackWin) {
  TLogCapture log;
  PlayHuman(Pos("r5k1/5ppp/8/8/8/8/1P3PPP/6K1 - -"), {1, 1, 1, 2, false});
  EXPECT_TRUE(HasLine(log, "=Black Move: A8-A1"));
  EXPECT_EQ(entity().LastMove, (TChessMove{0, 7, 0, 0, false}));
  EXPECT_EQ(chess::PositionToText(entity().Position), "6k1/5ppp/8/8/8/1P6/5PPP/r5K1 - -");
  EXPECT_EQ(application_.Alerts, std::vector<std::string>{"Black win!"});
  EXPECT_EQ(newGames_.Calls, 1);
  // The end of the game leaves the clients to the control's own repaint.
  EXPECT_EQ(notified_.Calls, 1);
}

}  // namespace
