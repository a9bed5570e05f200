// The material balance skins chart with a DIAGRAM.
#include "program/Advantage.h"

#include "ProgramFixture.h"
#include "games/checkers/CheckersGame.h"
#include "games/chess/ChessBoard.h"
#include "games/chess/ChessGame.h"

namespace program_test {
namespace {

TEST(Advantage, WhitesShareOfTheMaterialInPercent) {
  using chess::PositionFromText;
  EXPECT_EQ(
      app::ChessAdvantage(PositionFromText("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR KQkq -")),
      50);
  // A queen up: 39 against 30.
  EXPECT_EQ(
      app::ChessAdvantage(PositionFromText("rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR KQkq -")),
      57);
  EXPECT_EQ(app::ChessAdvantage(PositionFromText("k7/8/8/8/8/8/8/K6R - -")), 100);
  EXPECT_EQ(app::ChessAdvantage(PositionFromText("k7/8/8/8/8/8/8/K7 - -")), 50) << "kings only";

  checkers::TCheckersPosition checkers;
  EXPECT_EQ(app::CheckersAdvantage(checkers), 50) << "the start";
  checkers.Squares.fill(0);
  EXPECT_EQ(app::CheckersAdvantage(checkers), 50) << "an empty board";
  checkers.Squares[0] = checkers::kOwnKing;
  checkers.Squares[9] = checkers::kOtherMan;
  EXPECT_EQ(app::CheckersAdvantage(checkers), 75) << "a king (3) against a man (1)";
}

TEST_F(Program, TheAdvantageFollowsTheBoardAndTheGameShown) {
  WriteSkin("Lists", R"(<SKIN><WINDOW id="Main" size="200,120">
      <PAGES link="Application.Game"><PAGE id="Game.Chess"/><PAGE id="Game.Checkers"/></PAGES>
    </WINDOW></SKIN>)");
  Start();
  App().Settings().WriteString("Application.Skin", "Lists");
  Bus().Execute("Application.ReloadSkin");
  EXPECT_EQ(Bus().GetValue("Game.Advantage"), 50);
  chess::TChessBoardEntity& board = App().ChessGame()->BoardEntity();
  board.Position = chess::PositionFromText("k7/8/8/8/8/8/8/K6R - -");
  Bus().Notify("Application.ChessBoard");
  EXPECT_EQ(Bus().GetValue("Game.Advantage"), 100);
  // A slider cannot move the balance: it gets the count again.
  dynamic_cast<app::TBasicEntity*>(Bus().GetHolder("Game.Advantage").Entity)->Value = 10;
  Bus().GetHolder("Game.Advantage").NotifyOwner();
  EXPECT_EQ(Bus().GetValue("Game.Advantage"), 100);

  // The checkers page is chosen: its board counts (both sides as at the
  // start), and a New Game brings chess back to even too.
  auto* pages = dynamic_cast<app::TStringListEntity*>(Bus().GetHolder("Application.Game").Entity);
  ASSERT_NE(pages, nullptr);
  pages->ItemIndex = 1;
  Bus().GetHolder("Application.Game").NotifyOwner();
  EXPECT_EQ(Bus().GetValue("Game.Advantage"), 50);
  App().CheckersGame()->BoardEntity()->Position.Squares.fill(0);
  App().CheckersGame()->BoardEntity()->Position.Squares[0] = checkers::kOwnMan;
  Bus().Notify("Application.CheckersBoard");
  EXPECT_EQ(Bus().GetValue("Game.Advantage"), 100);
}

}  // namespace
}  // namespace program_test
