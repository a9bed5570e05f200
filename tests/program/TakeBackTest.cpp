// Taking moves back, the move lists and the computer's level.

#include "ProgramFixture.h"
#include "app/Random.h"
#include "controls/KestListBox.h"
#include "games/checkers/CheckersGame.h"
#include "games/checkers/CheckersThinker.h"
#include "games/chess/ChessGame.h"
#include "games/chess/ChessThinker.h"
#include "tests/controls/ControlInput.h"

namespace program_test {
namespace {

using chess::PositionFromText;

// Plays White's move as the board control does: on the entity's position,
// remembered as the last move, then handed to the game.
void PlayChess(chess::TChessGame& game, const std::string& text) {
  chess::TChessBoardEntity& board = game.BoardEntity();
  chess::TChessThinker thinker;
  thinker.SetPosition(board.Position);
  thinker.GenerateLegalMoves();
  for (const chess::TChessMove& move : thinker.Moves) {
    if (chess::TChessPosition::MoveToText(move) != text) continue;
    board.Position.ApplyMove(move);
    board.LastMove = move;
    board.OnMove();
    return;
  }
  FAIL() << text << " is not legal in " << chess::PositionToText(board.Position);
}

void PlayCheckers(checkers::TCheckersGame& game, const std::string& text) {
  checkers::TCheckersBoardEntity& board = *game.BoardEntity();
  checkers::TCheckersThinker thinker;
  thinker.Position = board.Position;
  thinker.GenerateMoves();
  ASSERT_TRUE(thinker.IsLegalMove(text)) << text;
  board.Position.ApplyMove(text);
  board.OnMove();
}

// "1. <first> <answer>" with an answer of the form "Xr-Xr" or "Xr:Xr" whose
// first square lies on a rank of answerFrom and its second on any rank.
bool IsTurn(const std::string& item, const std::string& first, const std::string& answerFrom) {
  const std::string head = "1. " + first + " ";
  if (!item.starts_with(head) || item.size() != head.size() + 5) return false;
  const std::string answer = item.substr(head.size());
  const auto file = [](char c) { return (c >= 'a' && c <= 'h') || (c >= 'A' && c <= 'H'); };
  return file(answer[0]) && answerFrom.find(answer[1]) != std::string::npos &&
         (answer[2] == '-' || answer[2] == ':') && file(answer[3]) && answer[4] >= '1' &&
         answer[4] <= '8';
}

bool NoLastMove(const chess::TChessMove& move) { return move.FromX == -1 && move.ToX == -1; }

class TakeBack : public Program {
 protected:
  void SetUp() override { Start(); }

  chess::TChessGame& Chess() { return *App().ChessGame(); }
  checkers::TCheckersGame& Checkers() { return *App().CheckersGame(); }
  const std::vector<std::string>& ChessList() {
    return dynamic_cast<app::TStringListEntity&>(*Bus().GetHolder("Chess.Moves").Entity).Items;
  }
  const std::vector<std::string>& CheckersList() {
    return dynamic_cast<app::TStringListEntity&>(*Bus().GetHolder("Checkers.Moves").Entity).Items;
  }
  bool UndoEnabled() { return Bus().GetHolder("Application.Undo").Entity->Enabled; }
  // Chooses a page of the built-in skin's tabs: 0 chess, 1 checkers.
  void ShowPage(int index) {
    auto& pages =
        dynamic_cast<app::TStringListEntity&>(*Bus().GetHolder("Application.Game").Entity);
    pages.ItemIndex = index;
    Bus().GetHolder("Application.Game").NotifyOwner();
  }

  // Black answers with its best move.
  app::TFixedRandom bestAnswer_{0};
};

TEST_F(TakeBack, RestoresTheExactChessPositionAfterEveryKindOfMove) {
  struct TCase {
    const char* What;
    const char* Position;
    const char* Move;
  };
  const TCase cases[] = {
      {"a capture", "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR KQkq -", "E4:D5"},
      {"a promotion", "k7/1P6/8/8/8/8/8/K7 - -", "B7-B8"},
      {"a short castling", "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R KQkq -", "E1-G1"},
      {"a long castling", "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R KQkq -", "E1-C1"},
      {"an en-passant capture", "rnbqkbnr/ppp1pppp/8/3pP3/8/8/PPPP1PPP/RNBQKBNR KQkq d6", "E5-D6"},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.What);
    const chess::TChessPosition start = PositionFromText(test.Position);
    Chess().StartFrom(start);
    PlayChess(Chess(), test.Move);
    ASSERT_EQ(ChessList().size(), 1u);
    EXPECT_NE(Chess().BoardEntity().Position, start);
    EXPECT_TRUE(UndoEnabled());

    Bus().Execute("Application.Undo");
    EXPECT_EQ(PositionToText(Chess().BoardEntity().Position), test.Position);
    EXPECT_TRUE(NoLastMove(Chess().BoardEntity().LastMove));
    EXPECT_TRUE(ChessList().empty());
    EXPECT_FALSE(UndoEnabled());
  }
}

TEST_F(TakeBack, GoesBackOneTurnAtATimeWithTheHighlightOfThatTurn) {
  PlayChess(Chess(), "E2-E4");
  const chess::TChessPosition afterFirst = Chess().BoardEntity().Position;
  const chess::TChessMove firstAnswer = Chess().BoardEntity().LastMove;
  PlayChess(Chess(), "D2-D4");
  ASSERT_EQ(ChessList().size(), 2u);
  EXPECT_TRUE(IsTurn(ChessList()[0], "E2-E4", "78")) << ChessList()[0];
  EXPECT_EQ(ChessList()[0].substr(9), chess::TChessPosition::MoveToText(firstAnswer));
  EXPECT_TRUE(ChessList()[1].starts_with("2. D2-D4 ")) << ChessList()[1];
  const auto& list = dynamic_cast<app::TStringListEntity&>(*Bus().GetHolder("Chess.Moves").Entity);
  EXPECT_EQ(list.ItemIndex, 1) << "the last turn is selected";

  Bus().Execute("Application.Undo");
  EXPECT_EQ(Chess().BoardEntity().Position, afterFirst);
  EXPECT_EQ(Chess().BoardEntity().LastMove, firstAnswer) << "the highlight of that turn";
  EXPECT_EQ(ChessList().size(), 1u);
  Bus().Execute("Application.Undo");
  EXPECT_EQ(Chess().BoardEntity().Position, chess::TChessPosition());
  EXPECT_FALSE(UndoEnabled());

  // At the start there is nothing to take back.
  Bus().Execute("Application.Undo");
  EXPECT_FALSE(Chess().TakeBack());
  EXPECT_EQ(Chess().BoardEntity().Position, chess::TChessPosition());
  EXPECT_TRUE(ChessList().empty());
}

TEST_F(TakeBack, AfterAGameEndedOnTheHumansMoveOnlyThatMoveGoes) {
  const char* before = "k7/8/1K6/8/8/8/8/7Q - -";
  Chess().StartFrom(PositionFromText(before));
  PlayChess(Chess(), "H1-H8");
  EXPECT_EQ(App().Alerts, std::vector<std::string>{"White win!"});
  EXPECT_EQ(ChessList(), std::vector<std::string>{"1. H1-H8"}) << "no answer";
  Bus().Execute("Application.Undo");
  EXPECT_EQ(PositionToText(Chess().BoardEntity().Position), before);
  EXPECT_TRUE(ChessList().empty());
}

TEST_F(TakeBack, NewGameEmptiesBothListsAndDisablesTakingBack) {
  PlayChess(Chess(), "E2-E4");
  PlayCheckers(Checkers(), "c3-d4");
  EXPECT_FALSE(ChessList().empty());
  EXPECT_FALSE(CheckersList().empty());
  Bus().Execute("Application.NewGame");
  EXPECT_TRUE(ChessList().empty());
  EXPECT_TRUE(CheckersList().empty());
  EXPECT_FALSE(UndoEnabled());
  EXPECT_FALSE(Chess().CanTakeBack());
  EXPECT_FALSE(Checkers().CanTakeBack());
}

TEST_F(TakeBack, CheckersMultiJumpTakenBackAndWrittenInWhitesSquareNames) {
  using checkers::kOtherMan;
  using checkers::kOwnMan;
  checkers::TCheckersPosition start;
  start.Squares.fill(checkers::kEmpty);
  auto put = [&](const char* name, std::int8_t code) {
    start.Squares[checkers::SquareIndex(name[0] - 'a', name[1] - '1')] = code;
  };
  put("c3", kOwnMan);
  put("d4", kOtherMan);
  put("f6", kOtherMan);
  put("b6", kOtherMan);
  put("a1", kOwnMan);
  ShowPage(1);
  Checkers().StartFrom(start);
  PlayCheckers(Checkers(), "c3-e5-g7");
  ASSERT_EQ(CheckersList().size(), 1u);
  // Black's only man left, on b6, answers towards rank 1.
  EXPECT_TRUE(CheckersList()[0] == "1. c3-e5-g7 b6-a5" || CheckersList()[0] == "1. c3-e5-g7 b6-c5")
      << CheckersList()[0];

  Bus().Execute("Application.Undo");
  EXPECT_EQ(Checkers().BoardEntity()->Position, start) << "both jumped men are back";
  EXPECT_TRUE(CheckersList().empty());
}

TEST_F(TakeBack, TakesBackInTheGameShownOrElseTheGameLastPlayed) {
  PlayChess(Chess(), "E2-E4");
  PlayCheckers(Checkers(), "c3-d4");
  EXPECT_TRUE(UndoEnabled()) << "the chess page is shown";
  ShowPage(1);
  EXPECT_TRUE(UndoEnabled()) << "the checkers page is shown";
  Bus().Execute("Application.Undo");
  EXPECT_FALSE(Checkers().CanTakeBack());
  EXPECT_TRUE(Chess().CanTakeBack()) << "chess is not shown";
  EXPECT_FALSE(UndoEnabled()) << "nothing left in checkers";
  ShowPage(0);
  EXPECT_TRUE(UndoEnabled()) << "chess has a move";

  // A skin without pages: the game last played is meant.
  WriteSkin("Plain", R"(<SKIN><WINDOW id="Main" size="200,120"/></SKIN>)");
  App().Settings().WriteString("Application.Skin", "Plain");
  Bus().Execute("Application.ReloadSkin");
  PlayCheckers(Checkers(), "c3-d4");
  Bus().Execute("Application.Undo");
  EXPECT_FALSE(Checkers().CanTakeBack());
  EXPECT_TRUE(Chess().CanTakeBack());
  PlayChess(Chess(), "D2-D4");
  Bus().Execute("Application.Undo");
  EXPECT_EQ(ChessList().size(), 1u) << "chess was played last";
}

TEST_F(TakeBack, TheLevelIsClampedHandedToBothGamesAndNamed) {
  EXPECT_EQ(Bus().GetValue("Application.Level"), 0);
  EXPECT_EQ(Bus().GetString("Application.LevelName"), "Beginner");
  auto& level = dynamic_cast<app::TBasicEntity&>(*Bus().GetHolder("Application.Level").Entity);
  level.Value = 7;
  Bus().GetHolder("Application.Level").NotifyOwner();
  EXPECT_EQ(Bus().GetValue("Application.Level"), 2);
  EXPECT_EQ(Bus().GetString("Application.LevelName"), "Strong");
  EXPECT_EQ(Chess().Level(), 2);
  EXPECT_EQ(Checkers().Level(), 2);
  level.Value = 1;
  Bus().GetHolder("Application.Level").NotifyOwner();
  EXPECT_EQ(Bus().GetString("Application.LevelName"), "Club");

  // A stronger answer is still a legal one, in the program's coordinates.
  PlayChess(Chess(), "E2-E4");
  ASSERT_EQ(ChessList().size(), 1u);
  EXPECT_TRUE(IsTurn(ChessList()[0], "E2-E4", "78")) << ChessList()[0];
  PlayCheckers(Checkers(), "c3-d4");
  EXPECT_TRUE(IsTurn(CheckersList()[0], "c3-d4", "6")) << CheckersList()[0];
}

TEST_F(TakeBack, TheShippedSkinsListTheMovesAndTakeThemBackWithTheirButton) {
  for (const std::string skin : {"Walnut", "Midnight.zip"}) {
    SCOPED_TRACE(skin);
    std::filesystem::create_directories(SkinsFolder());
    std::filesystem::copy(std::string(LUDEX_BINARY_DIR "/Skins/") + skin,
                          SkinsFolder() + "/" + skin,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    App().Settings().WriteString("Application.Skin", skin);
    Bus().Execute("Application.ReloadSkin");
    ShowPage(0);
    auto* button =
        const_cast<controls::TKestControl*>(FindLinked(*MainWindow(), "Application.Undo"));
    const auto* list =
        dynamic_cast<const controls::TKestListBox*>(FindLinked(*MainWindow(), "Chess.Moves"));
    ASSERT_NE(button, nullptr);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(FindLinked(*MainWindow(), "Application.Level"), nullptr);
    ASSERT_NE(FindLinked(*MainWindow(), "Application.LevelName"), nullptr);
    EXPECT_FALSE(button->Enabled());

    PlayChess(Chess(), "E2-E4");
    ASSERT_EQ(list->List()->Count(), 1);
    EXPECT_TRUE(list->List()->Item(0).starts_with("1. E2-E4 ")) << list->List()->Item(0);
    EXPECT_TRUE(button->Enabled());
    controls_test::Press(*button, 5, 5);
    controls_test::Release(*button, 5, 5);
    EXPECT_EQ(list->List()->Count(), 0);
    EXPECT_FALSE(button->Enabled());
    EXPECT_EQ(Chess().BoardEntity().Position, chess::TChessPosition());
  }
}

}  // namespace
}  // namespace program_test
