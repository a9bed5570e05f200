// How long a player waits for Black: from the mouse event that completes
// White's move on the board until Black's answer is painted, measured in
// the program itself (its application object, the built-in skin, the real
// board controls and games) on the offscreen platform.
//
// Chess: the release of a dragged piece on a legal target. Checkers: the
// second click on the last square of a move, which includes the pause the
// program makes on purpose before it answers (reported apart).
//
// Every legal White move of each position is played once per round, from
// middlegames and king endgames set up in the board entities; moves that
// end the game are left out (they raise an alert instead of an answer).
// Prints, per position, the median and the slowest move (each move's time
// being its median over the rounds), and the slowest of all.
//
//   bench_MoveResponse [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/Entities.h"
#include "controls/KestCtl.h"
#include "controls/KestWnd.h"
#include "games/boards/BoardGeometry.h"
#include "games/boards/CheckersBoardCtl.h"
#include "games/boards/ChessBoardCtl.h"
#include "games/checkers/CheckersThinker.h"
#include "games/chess/ChessThinker.h"
#include "platform/Application.h"
#include "platform/Screen.h"
#include "program/PreparedApp.h"
#include "tests/checkers/CheckersTestPositions.h"
#include "tests/chess/ChessTestPositions.h"
#include "ui/UI.h"

namespace {

using TClock = std::chrono::steady_clock;

double Milliseconds(TClock::duration span) {
  return std::chrono::duration<double, std::milli>(span).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

template <class TControl>
TControl* FindBoard(controls::TKestControl& root) {
  if (auto* board = dynamic_cast<TControl*>(&root)) return board;
  for (const auto& child : root.Controls())
    if (TControl* found = FindBoard<TControl>(*child)) return found;
  return nullptr;
}

// The mouse over the middle of a square, as the platform reports it.
platform::TMouseEvent MouseOn(const platform::TWindowBase& board, int file, int rank) {
  const platform::TRect square = boards::SquareRect(file, rank);
  platform::TMouseEvent event;
  event.Button = platform::TMouseButton::Left;
  event.Client = {square.Left + boards::kSquareSize / 2, square.Top + boards::kSquareSize / 2};
  const platform::TRect screen = board.ScreenRect();
  event.Screen = {screen.Left + event.Client.X, screen.Top + event.Client.Y};
  platform::SetCursorPos(event.Screen);
  return event;
}

struct TPositionResult {
  std::string Name;
  std::vector<double> MoveTimes;  // each move's median over the rounds
};

void Report(const char* game, const std::vector<TPositionResult>& results, double subtract) {
  double worst = 0;
  for (const TPositionResult& result : results) {
    if (result.MoveTimes.empty()) continue;
    const double slowest = *std::max_element(result.MoveTimes.begin(), result.MoveTimes.end());
    worst = std::max(worst, slowest);
    std::printf("%-8s %-14s %3zu moves  median %7.2f ms  slowest %7.2f ms\n", game,
                result.Name.c_str(), result.MoveTimes.size(), Median(result.MoveTimes) - subtract,
                slowest - subtract);
  }
  std::printf("%-8s slowest of all: %.2f ms%s\n\n", game, worst - subtract,
              subtract > 0 ? " after the pause" : "");
}

// ---- chess ----------------------------------------------------------------

struct TChessCase {
  std::string Name;
  chess::TChessPosition Position;
};

std::vector<TChessCase> ChessCases() {
  std::vector<TChessCase> cases = {
      {"kiwipete", chess_test::Pos(chess_test::kKiwipete)},
      {"open-files", chess_test::Pos("r1b2rk1/pp3ppp/2n5/8/8/2N5/PP3PPP/R1B2RK1 - -")},
      {"king+pawn", chess_test::Pos("8/8/4k3/8/8/4K3/4P3/8 - -")},
      {"king+rook", chess_test::Pos("8/8/8/4k3/8/8/8/R3K3 - -")},
      {"pawn-ending", chess_test::Pos("8/p4k2/1p6/8/8/1P6/P4K2/8 - -")},
      {"queen-ending", chess_test::Pos("8/5k2/8/3q4/8/3Q4/5K2/8 - -")},
  };
  // Middlegames from random play with most pieces still on the board.
  int kept = 0;
  for (const chess::TChessPosition& position : chess_test::RandomPlayPositions(400, 31, 60)) {
    int pieces = 0;
    for (std::uint16_t value : position.Squares) pieces += chess::PieceType(value) != 0;
    if (pieces < 26) continue;
    cases.push_back({"random-" + std::to_string(++kept), position});
    if (kept == 4) break;
  }
  return cases;
}

// Whether the game goes on after White's move and Black's answer, found as
// the chess game finds it.
bool ChessGameGoesOn(chess::TChessPosition position, const chess::TChessMove& move) {
  position.ApplyMove(move);
  chess::TChessThinker thinker;
  thinker.SetPosition(position);
  thinker.Position.Flip();
  if (thinker.IsStalemate() || thinker.IsCheckmate()) return false;
  chess::TChessMove answer;
  thinker.SetPosition(position);
  thinker.Position.Flip();
  thinker.GetBestWhiteMove(answer);
  thinker.Position.ApplyMove(answer);
  thinker.Position.Flip();
  const chess::TChessPosition after = thinker.Position;
  thinker.SetPosition(after);
  return !thinker.IsStalemate() && !thinker.IsCheckmate();
}

class TChessDriver {
 public:
  TChessDriver(boards::TChessBoardControl& board, app::TEntityManager& entities)
      : board_(board), entities_(entities) {}

  // White's move dragged from its square to its target; the time from the
  // release to the end of the paint that shows Black's answer.
  double Play(const chess::TChessPosition& position, const chess::TChessMove& move) {
    SetUp(position);
    board_.OnMouseMove(MouseOn(board_, move.FromX, move.FromY));
    board_.OnMouseDown(MouseOn(board_, move.FromX, move.FromY));
    board_.OnMouseMove(MouseOn(board_, move.ToX, move.ToY));
    platform::ProcessMessages();
    const platform::TMouseEvent release = MouseOn(board_, move.ToX, move.ToY);
    const TClock::time_point start = TClock::now();
    board_.OnMouseUp(release);
    platform::ProcessMessages();
    const double time = Milliseconds(TClock::now() - start);
    const chess::TChessMove& last = board_.BoardEntity->LastMove;
    if (last.FromX == move.FromX && last.FromY == move.FromY && last.ToX == move.ToX &&
        last.ToY == move.ToY) {
      std::fprintf(stderr, "chess: no answer to %s\n",
                   chess::TChessPosition::MoveToText(move).c_str());
      std::exit(1);
    }
    return time;
  }

 private:
  void SetUp(const chess::TChessPosition& position) {
    board_.BoardEntity->Position = position;
    board_.BoardEntity->ClearLastMove();
    entities_.Notify("Application.ChessBoard");
    platform::ProcessMessages();
  }

  boards::TChessBoardControl& board_;
  app::TEntityManager& entities_;
};

// The chess moves of White that keep the game going.
std::vector<chess::TChessMove> ChessMoves(const chess::TChessPosition& position) {
  chess::TChessThinker thinker;
  thinker.SetPosition(position);
  thinker.GenerateLegalMoves();
  std::vector<chess::TChessMove> moves;
  for (const chess::TChessMove& move : thinker.Moves)
    if (ChessGameGoesOn(position, move)) moves.push_back(move);
  return moves;
}

// ---- checkers ---------------------------------------------------------------

struct TCheckersCase {
  std::string Name;
  checkers::TCheckersPosition Position;
};

std::vector<TCheckersCase> CheckersCases() {
  std::vector<TCheckersCase> cases = {{"start", checkers::TCheckersPosition()}};
  int kept = 0;
  for (const checkers::TCheckersPosition& position :
       checkers::fixtures::RandomPlayPositions(7, 200, 3)) {
    int pieces = 0;
    for (std::int8_t code : position.Squares) pieces += code != checkers::kEmpty;
    if (pieces < 16) continue;
    cases.push_back({"middle-" + std::to_string(++kept), position});
    if (kept == 3) break;
  }
  // King endgames where White has a choice.
  std::mt19937 random(11);
  const auto endgame = [&](const std::string& name, int kings, int men) {
    for (;;) {
      checkers::TCheckersThinker thinker;
      thinker.Position = checkers::fixtures::RandomEndgame(random, kings, kings, men, men);
      thinker.GenerateMoves();
      if (thinker.Moves.size() < 6) continue;
      cases.push_back({name, thinker.Position});
      return;
    }
  };
  endgame("kings-2v2", 2, 0);
  endgame("kings-3v3", 3, 0);
  endgame("kings-4v4", 4, 0);
  endgame("kings+men", 2, 2);
  return cases;
}

// The squares of a move text ("c3-e5-c7"), in click order.
std::vector<platform::TPoint> MoveSquares(const std::string& text) {
  std::vector<platform::TPoint> squares;
  for (std::size_t at = 0; at + 2 <= text.size(); at += 3)
    squares.push_back({text[at] - 'a', text[at + 1] - '1'});
  return squares;
}

bool CheckersGameGoesOn(checkers::TCheckersPosition position, const std::string& move) {
  checkers::TCheckersThinker thinker;
  thinker.Position = position;
  thinker.Position.ApplyMove(move);
  thinker.Position.Flip();
  if (thinker.HasNoMoves()) return false;
  thinker.Position.ApplyMove(thinker.GetBestMove());
  thinker.Position.Flip();
  return !thinker.HasNoMoves();
}

class TCheckersDriver {
 public:
  TCheckersDriver(boards::TCheckersBoardControl& board, app::TEntityManager& entities)
      : board_(board), entities_(entities) {}

  // The move's squares clicked in turn; the time from the press of the
  // second click on the last square to the end of the paint of the answer.
  double Play(const checkers::TCheckersPosition& position, const std::string& move) {
    board_.BoardEntity->Position = position;
    entities_.Notify("Application.CheckersBoard");
    platform::ProcessMessages();
    const std::vector<platform::TPoint> squares = MoveSquares(move);
    for (const platform::TPoint& square : squares) Click(square);
    const platform::TMouseEvent press = MouseOn(board_, squares.back().X, squares.back().Y);
    const TClock::time_point start = TClock::now();
    board_.OnMouseDown(press);
    board_.OnMouseUp(press);
    platform::ProcessMessages();
    const double time = Milliseconds(TClock::now() - start);
    if (board_.BoardEntity->Position.Squares == position.Squares) {
      std::fprintf(stderr, "checkers: %s was not played\n", move.c_str());
      std::exit(1);
    }
    return time;
  }

 private:
  void Click(platform::TPoint square) {
    const platform::TMouseEvent event = MouseOn(board_, square.X, square.Y);
    board_.OnMouseMove(event);
    board_.OnMouseDown(event);
    board_.OnMouseUp(event);
    platform::ProcessMessages();
  }

  boards::TCheckersBoardControl& board_;
  app::TEntityManager& entities_;
};

std::vector<std::string> CheckersMoves(const checkers::TCheckersPosition& position) {
  checkers::TCheckersThinker thinker;
  thinker.Position = position;
  thinker.GenerateMoves();
  std::vector<std::string> moves;
  for (const std::string& move : thinker.Moves)
    if (CheckersGameGoesOn(position, move)) moves.push_back(move);
  return moves;
}

// ---- measuring ------------------------------------------------------------

// Every move of every position played `rounds` times by the driver.
template <class TCase, class TMoves, class TDriver>
std::vector<TPositionResult> Measure(const std::vector<TCase>& cases, TMoves moves, TDriver& driver,
                                     int rounds) {
  std::vector<TPositionResult> results;
  for (const TCase& one : cases) {
    TPositionResult result{one.Name, {}};
    for (const auto& move : moves(one.Position)) {
      std::vector<double> times;
      for (int round = 0; round < rounds; ++round) times.push_back(driver.Play(one.Position, move));
      result.MoveTimes.push_back(Median(times));
    }
    results.push_back(std::move(result));
  }
  return results;
}

// ---- the program ----------------------------------------------------------

// Shows the page of a game, as a click on its tab does.
void ShowGame(app::TEntityManager& entities, int index) {
  app::TEntityHolder& holder = entities.GetHolder("Application.Game");
  auto* pages = dynamic_cast<app::TStringListEntity*>(holder.Entity);
  if (!pages) return;
  pages->ItemIndex = index;
  holder.NotifyOwner();
  holder.NotifyClients();
  platform::ProcessMessages();
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  app::TPreparedApp program;
  program.UI().ShowWindow("Main");
  controls::TSkinWindow* window = program.UI().GetWindow("Main");
  auto* chessBoard = window ? FindBoard<boards::TChessBoardControl>(*window) : nullptr;
  auto* checkersBoard = window ? FindBoard<boards::TCheckersBoardControl>(*window) : nullptr;
  if (!chessBoard || !chessBoard->BoardEntity || !checkersBoard || !checkersBoard->BoardEntity) {
    std::fprintf(stderr, "the main window lacks a board\n");
    return 1;
  }

  ShowGame(program.Entities(), 0);
  TChessDriver chess(*chessBoard, program.Entities());
  Report("chess", Measure(ChessCases(), ChessMoves, chess, rounds), 0);

  ShowGame(program.Entities(), 1);
  TCheckersDriver checkers(*checkersBoard, program.Entities());
  Report("checkers", Measure(CheckersCases(), CheckersMoves, checkers, rounds),
         boards::TCheckersBoardControl::kAnswerPauseMs);
  return 0;
}
