// Games kept between runs, and saved and opened by the player.
#include "ProgramFixture.h"
#include "app/Random.h"
#include "games/checkers/CheckersGame.h"
#include "games/chess/ChessGame.h"
#include "platform/Files.h"
#include "tests/app/LogCapture.h"

namespace program_test {
namespace {

class GameFiles : public Program {
 protected:
  chess::TChessGame& Chess() { return *App().ChessGame(); }
  checkers::TCheckersGame& Checkers() { return *App().CheckersGame(); }
  const std::vector<std::string>& List(const char* name) {
    return dynamic_cast<app::TStringListEntity&>(*Bus().GetHolder(name).Entity).Items;
  }
  void PlayChess(const std::string& uci) {
    const chess::TEngineBoard board =
        chess::TEngineBoard::FromPosition(Chess().BoardEntity().Position, chess::TRules::Program);
    const std::optional<chess::TEngineMove> move = board.ParseUci(uci);
    ASSERT_TRUE(move) << uci;
    const chess::TChessMove shown = board.ToPositionMove(*move);
    Chess().BoardEntity().Position.ApplyMove(shown);
    Chess().BoardEntity().LastMove = shown;
    Chess().BoardEntity().OnMove();
  }
  void PlayCheckers(const std::string& move) {
    Checkers().BoardEntity()->Position.ApplyMove(move);
    Checkers().BoardEntity()->OnMove();
  }
  std::string KeptFile(const char* name) { return Folder() + "/config/ludex/" + name; }

  app::TFixedRandom bestAnswer_{0};
};

TEST_F(GameFiles, TheGamesInProgressArePlayedAgainAtTheNextStart) {
  StartWithSettings();
  PlayChess("e2e4");
  PlayChess("d2d4");
  PlayCheckers("c3-d4");
  const std::string chess = PositionToText(Chess().BoardEntity().Position);
  const chess::TChessMove highlight = Chess().BoardEntity().LastMove;
  const checkers::TCheckersPosition checkers = Checkers().BoardEntity()->Position;
  const std::vector<std::string> chessList = List("Chess.Moves");
  const std::vector<std::string> checkersList = List("Checkers.Moves");
  // Kept after every move: a program killed now loses nothing.
  EXPECT_TRUE(platform::FileExists(KeptFile("chess.pgn")));
  Stop();

  StartWithSettings();
  // (Empty squares may differ in their meaningless colour byte.)
  EXPECT_EQ(PositionToText(Chess().BoardEntity().Position), chess);
  EXPECT_EQ(Chess().BoardEntity().LastMove, highlight);
  EXPECT_EQ(Checkers().BoardEntity()->Position, checkers);
  EXPECT_EQ(List("Chess.Moves"), chessList);
  EXPECT_EQ(List("Checkers.Moves"), checkersList);
  Bus().Execute("Application.Undo");
  EXPECT_EQ(List("Chess.Moves").size(), 1u) << "taking back works on a game played again";
}

TEST_F(GameFiles, AKeptGameThatDoesNotReplayGivesANewGameAndOneLogLine) {
  std::filesystem::create_directories(Folder() + "/config/ludex");
  WriteFile(KeptFile("chess.pgn"), "1. e4 e5 2. Ke3 *\n");
  WriteFile(KeptFile("checkers.pdn"), std::string("\x01\x02 binary \0 junk", 17));
  TLogCapture log;
  StartWithSettings();
  EXPECT_EQ(Chess().BoardEntity().Position, chess::TChessPosition());
  EXPECT_EQ(Checkers().BoardEntity()->Position, checkers::TCheckersPosition());
  EXPECT_TRUE(List("Chess.Moves").empty());
  int notes = 0;
  for (const std::string& line : log.Messages()) notes += line.starts_with("TGameFiles.Restore: ");
  EXPECT_EQ(notes, 2) << "one per game";
}

TEST_F(GameFiles, SavedAndOpenedByThePlayer) {
  Start();
  PlayChess("e2e4");
  App().ChosenFile = Folder() + "/mine.pgn";
  Bus().Execute("Application.SaveGame");
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(App().ChosenFile, 1 << 20, text));
  EXPECT_NE(text.find("[White \"Player\"]"), std::string::npos) << text;
  EXPECT_NE(text.find("1. e4 "), std::string::npos) << text;
  const std::string played = PositionToText(Chess().BoardEntity().Position);

  Bus().Execute("Application.NewGame");
  Bus().Execute("Application.OpenGame");
  EXPECT_EQ(PositionToText(Chess().BoardEntity().Position), played);
  EXPECT_TRUE(App().Alerts.empty());

  // A game that ends with White's move gets Black's answer.
  WriteFile(Folder() + "/white.pgn", "[Event \"?\"]\r\n\r\n1. d4 d5 2. c4 *\r\n");
  App().ChosenFile = Folder() + "/white.pgn";
  Bus().Execute("Application.OpenGame");
  ASSERT_EQ(List("Chess.Moves").size(), 2u);
  EXPECT_TRUE(List("Chess.Moves")[1].starts_with("2. C2-C4 ")) << List("Chess.Moves")[1];
}

TEST_F(GameFiles, AGameThatCannotBeOpenedIsNamedInAnAlertAndTheBoardStays) {
  Start();
  PlayChess("e2e4");
  const chess::TChessPosition before = Chess().BoardEntity().Position;
  struct TCase {
    const char* What;
    std::string Text;
    const char* Expected;
  };
  const TCase cases[] = {
      {"an illegal move", "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Bxc6 Qxh8 *", "Qxh8"},
      {"binary junk", std::string("\x89PNG\r\n\x1a\n\0\0\0", 11), "cannot be opened"},
      {"a file far too large", std::string((1 << 20) + 10, '['), "larger than"},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.What);
    App().Alerts.clear();
    WriteFile(Folder() + "/bad.pgn", test.Text);
    App().ChosenFile = Folder() + "/bad.pgn";
    Bus().Execute("Application.OpenGame");
    ASSERT_EQ(App().Alerts.size(), 1u);
    EXPECT_NE(App().Alerts[0].find(test.Expected), std::string::npos) << App().Alerts[0];
    EXPECT_EQ(Chess().BoardEntity().Position, before);
    EXPECT_EQ(List("Chess.Moves").size(), 1u);
  }
  // Cancelling the dialog does nothing.
  App().Alerts.clear();
  App().ChosenFile.clear();
  Bus().Execute("Application.OpenGame");
  EXPECT_TRUE(App().Alerts.empty());
}

TEST_F(GameFiles, CheckersGamesGoThroughPdnWithTheirCaptures) {
  Start();
  auto& pages = dynamic_cast<app::TStringListEntity&>(*Bus().GetHolder("Application.Game").Entity);
  pages.ItemIndex = 1;
  Bus().GetHolder("Application.Game").NotifyOwner();
  PlayCheckers("c3-d4");
  PlayCheckers("b2-c3");
  App().ChosenFile = Folder() + "/mine.pdn";
  Bus().Execute("Application.SaveGame");
  const checkers::TCheckersPosition played = Checkers().BoardEntity()->Position;
  const std::vector<std::string> list = List("Checkers.Moves");
  Bus().Execute("Application.NewGame");
  Bus().Execute("Application.OpenGame");
  EXPECT_TRUE(App().Alerts.empty()) << App().Alerts[0];
  EXPECT_EQ(Checkers().BoardEntity()->Position, played);
  EXPECT_EQ(List("Checkers.Moves"), list);
}

}  // namespace
}  // namespace program_test
