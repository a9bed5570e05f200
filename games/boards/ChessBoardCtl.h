#pragma once

#include <cstdint>
#include <vector>

#include "controls/KestCtl.h"
#include "games/boards/BoardGeometry.h"
#include "games/chess/ChessBoard.h"
#include "platform/Bitmap.h"
#include "platform/Drag.h"

namespace chess {
class TChessBoardEntity;
}

namespace boards {

// The chess board: shows the position of the linked board entity with the
// target square of the last move highlighted, and lets the human play
// White by dragging a piece onto one of its legal targets; the game
// answers.
class TChessBoardControl : public controls::TKestControl {
 public:
  // The colour the drag pictures are filled with before a piece is drawn
  // on them; it stays see-through while the picture follows the mouse.
  static constexpr platform::TColor kDragKeyColor = platform::RGB(12, 8, 4);
  // The drag picture's hot spot: its centre follows the mouse.
  static constexpr platform::TPoint kDragHotSpot{13, 13};

  explicit TChessBoardControl(controls::TKestControl& owner);
  ~TChessBoardControl() override;

  // Reads "figures" and "squares" after the generic attributes and builds
  // the drag pictures; a press never moves the window and the board shows
  // no tooltip.
  void LoadFromXML(const skin::TXMLNode& element) override;

  platform::TPoint SquareUnderCursor() const { return boards::SquareUnderCursor(*this); }
  // Targets := the legal moves of the piece on DragFrom, in generation order.
  void ComputeTargets();
  // Lifts the White piece under the mouse; (x, y) is the press in client
  // pixels, where the drag picture starts.
  void BeginPieceDrag(int x, int y);
  // Whether a move of Targets lands on HoverSquare.
  bool IsTarget() const;
  // Puts the lifted piece down on the square under the mouse: a legal
  // target plays the move and lets the game answer (the control may be gone
  // when it returns); anywhere else the piece goes back.
  void DropPiece();

  skin::TImagePack* SquaresPack = nullptr;
  skin::TImagePack* FiguresPack = nullptr;
  // Not owned: the game's entity, taken from the linked holder.
  chess::TChessBoardEntity* BoardEntity = nullptr;
  // The square under the mouse at the last paint, or the last drop square.
  platform::TPoint HoverSquare = kNoSquare;
  platform::TPoint DragFrom = kNoSquare;
  std::uint16_t DragPiece = 0;
  bool DraggingPiece = false;
  chess::TChessMoveArray Targets;
  // Entry colour x 6 + type - 1: the Black pieces pawn to king, then the
  // White ones.
  std::vector<platform::TBitmap> DragImages;

 protected:
  void Paint(platform::TCanvas& canvas) override;
  void EntityChanged(app::TEntityHolder& sender) override;
  void MouseDown(const platform::TMouseEvent& event) override;
  void MouseMove(const platform::TMouseEvent& event) override;
  void MouseUp(const platform::TMouseEvent& event) override;
  void MouseLeft() override;

 private:
  void BuildDragImages();
  void PaintSquare(platform::TCanvas& canvas, platform::TPoint square);
  bool IsHighlighted(platform::TPoint square, std::uint16_t value) const;
  // Ends the drag; with putBack the lifted piece returns to DragFrom (a
  // drag whose position was replaced under it, by a new game, puts nothing
  // back).
  void EndPieceDrag(bool putBack);
  // The move of Targets that lands on HoverSquare, or null.
  const chess::TChessMove* TargetMove() const;
  // Plays the human's move, shows it and lets the game answer; the control
  // may be gone when it returns.
  void PlayMove(chess::TChessMove move);

  platform::TDragImage dragImage_;
  // The entity's position as the lift left it: a change notice that finds
  // another position ends the drag.
  chess::TChessPosition liftedPosition_;
};

}  // namespace boards
