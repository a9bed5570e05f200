#include "games/boards/ChessBoardCtl.h"

#include <algorithm>

#include "app/Entities.h"
#include "app/MultiLog.h"
#include "games/chess/ChessGame.h"
#include "games/chess/ChessThinker.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "skin/AlphaImage.h"

namespace boards {

using chess::PieceColour;
using chess::PieceType;
using chess::TChessMove;
using platform::TPoint;

namespace {

constexpr int kPieceTypes = 6;

TPoint TargetOf(const TChessMove& move) { return {move.ToX, move.ToY}; }

}  // namespace

TChessBoardControl::TChessBoardControl(controls::TKestControl& owner) : TKestControl(owner) {
  DragImages.reserve(2 * kPieceTypes);
}

TChessBoardControl::~TChessBoardControl() = default;

void TChessBoardControl::LoadFromXML(const skin::TXMLNode& element) {
  TKestControl::LoadFromXML(element);
  FiguresPack = ReadPack(ResManager, element, "figures");
  SquaresPack = ReadPack(ResManager, element, "squares");
  BuildDragImages();
  Draggable = false;
  SetControlEnabled(true);
  SetHint("");
}

void TChessBoardControl::BuildDragImages() {
  DragImages.clear();
  if (!FiguresPack) return;
  platform::TBitmap work(kSquareSize, kSquareSize);
  platform::TCanvas canvas(work);
  for (int column = 0; column < 2; ++column) {
    for (int row = 0; row < kPieceTypes; ++row) {
      work.Fill(kDragKeyColor);
      skin::DrawImage(FiguresPack->Item(row * 4 + column), canvas,
                      platform::Bounds(0, 0, kSquareSize, kSquareSize));
      DragImages.push_back(work);
      DragImages.back().SetTransparentColor(kDragKeyColor);
    }
  }
}

void TChessBoardControl::EntityChanged(app::TEntityHolder& sender) {
  TKestControl::EntityChanged(sender);
  // A skin may link the board to any name: only a chess board counts.
  auto* entity = Holder ? dynamic_cast<chess::TChessBoardEntity*>(Holder->Entity) : nullptr;
  // The lifted piece belongs to the position it was lifted from; when that
  // position is gone (a new game, another entity) the drag ends with it.
  if (DraggingPiece && (!entity || entity != BoardEntity || entity->Position != liftedPosition_))
    EndPieceDrag(false);
  BoardEntity = entity;
}

// ---- painting -----------------------------------------------------------

void TChessBoardControl::Paint(platform::TCanvas& canvas) {
  TKestControl::Paint(canvas);
  HoverSquare = SquareUnderCursor();
  if (!FiguresPack || !BoardEntity) return;
  for (int rank = 0; rank < 8; ++rank) {
    for (int file = 0; file < 8; ++file) PaintSquare(canvas, TPoint{file, rank});
  }
}

void TChessBoardControl::PaintSquare(platform::TCanvas& canvas, TPoint square) {
  const platform::TRect rect = SquareRect(square.X, square.Y);
  if (SquaresPack && DraggingPiece) {
    for (const TChessMove& move : Targets) {
      if (TargetOf(move) == square)
        skin::DrawImage(SquaresPack->Item((square.X + square.Y) % 2), canvas, rect);
    }
  }
  const std::uint16_t value = BoardEntity->Position.GetSquare(square);
  const int type = PieceType(value);
  if (type == chess::kEmpty) return;
  const int cell = (type - 1) * 4 + (PieceColour(value) == chess::kSideToMove ? 1 : 0) +
                   (IsHighlighted(square, value) ? 2 : 0);
  skin::DrawImage(FiguresPack->Item(cell), canvas, rect);
}

bool TChessBoardControl::IsHighlighted(TPoint square, std::uint16_t value) const {
  const bool hovered =
      square == HoverSquare && PieceColour(value) == chess::kSideToMove && !DraggingPiece;
  return hovered || square == TargetOf(BoardEntity->LastMove);
}

// ---- mouse --------------------------------------------------------------

void TChessBoardControl::MouseDown(const platform::TMouseEvent& event) {
  TKestControl::MouseDown(event);
  if (event.Button == platform::TMouseButton::Left) BeginPieceDrag(event.Client.X, event.Client.Y);
  // A right press ends a drag like a release.
  if (event.Button == platform::TMouseButton::Right) DropPiece();
}

void TChessBoardControl::MouseMove(const platform::TMouseEvent& event) {
  TKestControl::MouseMove(event);
  if (DraggingPiece) {
    dragImage_.Move(event.Client.X, event.Client.Y);
  } else if (SquareUnderCursor() != HoverSquare) {
    Invalidate();
  }
  // The hover highlight must go when the mouse leaves the board.
  TrackMouseLeave();
}

void TChessBoardControl::MouseUp(const platform::TMouseEvent& event) {
  TKestControl::MouseUp(event);
  const platform::TLifeWatch life = Watch();
  DropPiece();
  if (!life.Alive()) return;
  Invalidate();
}

void TChessBoardControl::MouseLeft() { Invalidate(); }

// ---- dragging -----------------------------------------------------------

void TChessBoardControl::ComputeTargets() {
  Targets.clear();
  chess::TChessThinker thinker;
  thinker.SetPosition(BoardEntity->Position);
  thinker.GenerateLegalMoves();
  std::copy_if(thinker.Moves.begin(), thinker.Moves.end(), std::back_inserter(Targets),
               [&](const TChessMove& move) {
                 return TPoint{move.FromX, move.FromY} == DragFrom;
               });
}

void TChessBoardControl::BeginPieceDrag(int x, int y) {
  // A drag never dropped (no release reached the board) gives its piece
  // back before another is lifted.
  if (DraggingPiece) EndPieceDrag(true);
  const TPoint square = SquareUnderCursor();
  if (!BoardEntity || !IsBoardSquare(square)) return;
  DragFrom = square;
  ComputeTargets();
  DragPiece = BoardEntity->Position.GetSquare(DragFrom);
  const int type = PieceType(DragPiece);
  DraggingPiece = type != chess::kEmpty && PieceColour(DragPiece) == chess::kSideToMove;
  if (!DraggingPiece) return;
  BoardEntity->Position.ClearSquare(DragFrom);
  liftedPosition_ = BoardEntity->Position;
  Repaint();
  const std::size_t picture = static_cast<std::size_t>(type + kPieceTypes - 1);
  if (picture < DragImages.size()) dragImage_.Begin(DragImages[picture], kDragHotSpot, *this, x, y);
}

const TChessMove* TChessBoardControl::TargetMove() const {
  const auto found = std::find_if(Targets.begin(), Targets.end(), [&](const TChessMove& move) {
    return TargetOf(move) == HoverSquare;
  });
  return found != Targets.end() ? &*found : nullptr;
}

bool TChessBoardControl::IsTarget() const { return TargetMove() != nullptr; }

void TChessBoardControl::EndPieceDrag(bool putBack) {
  dragImage_.End();
  DraggingPiece = false;
  if (putBack && BoardEntity) BoardEntity->Position.SetSquare(DragFrom, DragPiece);
}

void TChessBoardControl::DropPiece() {
  if (!DraggingPiece) return;
  EndPieceDrag(true);
  HoverSquare = SquareUnderCursor();
  // The move as generated, so that it carries its Capture flag.
  const TChessMove* move = TargetMove();
  if (move && BoardEntity) PlayMove(*move);
}

void TChessBoardControl::PlayMove(TChessMove move) {
  app::Log("=WhiteMove: " + chess::TChessPosition::MoveToText(move));
  BoardEntity->Position.ApplyMove(move);
  BoardEntity->LastMove = move;
  // The human's move must be on the screen while the game searches.
  Repaint();
  platform::FlushDisplay();
  if (BoardEntity->OnMove) BoardEntity->OnMove();
}

}  // namespace boards
