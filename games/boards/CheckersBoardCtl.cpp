#include "games/boards/CheckersBoardCtl.h"

#include <chrono>
#include <thread>

#include "app/Entities.h"
#include "games/checkers/CheckersGame.h"
#include "games/checkers/CheckersThinker.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "skin/AlphaImage.h"

namespace boards {

using checkers::TCheckersPosition;

int CheckersFigureCell(std::int8_t code) {
  const auto bits = static_cast<std::uint8_t>(code);
  if ((bits & 1) == 0) return -1;
  const int king = (bits & checkers::kKingBit) != 0 ? 4 : 0;
  const int white = (bits & checkers::kOtherSideBit) == 0 ? 1 : 0;
  return king + white;
}

void TCheckersBoardControl::LoadFromXML(const skin::TXMLNode& element) {
  TKestControl::LoadFromXML(element);
  FiguresPack = ReadPack(ResManager, element, "figures");
  SquaresPack = ReadPack(ResManager, element, "squares");
  SetHint("");
}

void TCheckersBoardControl::EntityChanged(app::TEntityHolder& sender) {
  TKestControl::EntityChanged(sender);
  // A skin may link the board to any name: only a checkers board counts.
  BoardEntity = Holder ? dynamic_cast<checkers::TCheckersBoardEntity*>(Holder->Entity) : nullptr;
}

bool TCheckersBoardControl::InPath(int file, int rank) const {
  const std::string name = TCheckersPosition::SquareName(file, rank);
  for (std::size_t at = 0; at + 2 <= Path.size(); at += 3) {
    if (Path.compare(at, 2, name) == 0) return true;
  }
  return false;
}

// ---- painting -----------------------------------------------------------

void TCheckersBoardControl::Paint(platform::TCanvas& canvas) {
  TKestControl::Paint(canvas);
  if (!FiguresPack || !BoardEntity) return;
  HoverSquare = SquareUnderCursor();
  for (int rank = 0; rank < 8; ++rank) {
    for (int file = 0; file < 8; ++file) PaintSquare(canvas, file, rank);
  }
}

void TCheckersBoardControl::PaintSquare(platform::TCanvas& canvas, int file, int rank) {
  const platform::TRect rect = SquareRect(file, rank);
  if (SquaresPack && InPath(file, rank))
    skin::DrawImage(SquaresPack->Item((file + rank) % 2), canvas, rect);
  const std::int8_t code = BoardEntity->Position.Squares[checkers::SquareIndex(file, rank)];
  int cell = CheckersFigureCell(code);
  if (cell < 0) return;
  const bool white = (code & checkers::kOtherSideBit) == 0;
  if (white && HoverSquare == platform::TPoint{file, rank}) cell += 2;
  skin::DrawImage(FiguresPack->Item(cell), canvas, rect);
}

// ---- mouse --------------------------------------------------------------

void TCheckersBoardControl::MouseDown(const platform::TMouseEvent& event) {
  if (event.Button != platform::TMouseButton::Left) {
    TKestControl::MouseDown(event);
    return;
  }
  const platform::TLifeWatch life = Watch();
  // The square under the cursor now: a paint may not have followed the
  // last mouse move yet.
  HoverSquare = SquareUnderCursor();
  ClickSquare(HoverSquare.X, HoverSquare.Y);
  if (!life.Alive()) return;
  Invalidate();
}

void TCheckersBoardControl::MouseMove(const platform::TMouseEvent& event) {
  TKestControl::MouseMove(event);
  if (SquareUnderCursor() != HoverSquare) Invalidate();
}

// ---- building and playing the move --------------------------------------

void TCheckersBoardControl::ClickSquare(int file, int rank) {
  if (!BoardEntity) return;
  checkers::TCheckersThinker thinker;
  thinker.Position.Squares = BoardEntity->Position.Squares;
  thinker.GenerateMoves();
  if (InPath(file, rank)) {
    // A selected start square stays selected: only a complete move plays.
    if (thinker.IsLegalMove(Path)) CommitMove();
    return;
  }
  const std::string name = TCheckersPosition::SquareName(file, rank);
  const std::string candidate = Path.empty() ? name : Path + "-" + name;
  if (thinker.IsMovePrefix(candidate)) {
    Path = candidate;
    return;
  }
  // Not a continuation: a click on another piece starts a new selection
  // there, a click on a useless square drops the selection.
  if (Path.empty()) return;
  Path.clear();
  if (thinker.IsMovePrefix(name)) Path = name;
}

void TCheckersBoardControl::CommitMove() {
  BoardEntity->Position.ApplyMove(Path);
  Path.clear();
  // The human's move must be on the screen during the pause and the search.
  Repaint();
  platform::FlushDisplay();
  std::this_thread::sleep_for(std::chrono::milliseconds(kAnswerPauseMs));
  if (BoardEntity->OnMove) BoardEntity->OnMove();
}

}  // namespace boards
